#pragma once
// A stand-in for the main window: plain storage for the controls, and, like the real window,
// a change notification on every set of an input box or option box that calls MakeDirty.

#include "document/cdocument.h"
#include "document/documentview.h"
#include "support/mousepointer.h"

#include <QList>
#include <QMap>

class FakeView : public DocumentView
{
public:
    explicit FakeView(CDocument &document)
        : m_document(document)
    {}

    QString text(TextBox box) const override { return m_texts.value(box); }
    void setText(TextBox box, const QString &text) override
    {
        m_texts[box] = text;
        if (box != TextBox::txtResult)
            notify();
    }
    int checkState(CheckBox box) const override { return m_checks.value(box); }
    void setCheckState(CheckBox box, int state) override
    {
        m_checks[box] = state;
        notify();
    }
    void clearResults() override
    {
        m_resultNodes = 0;
        ++m_clears;
    }
    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    QWidget *dialogOwner() const override { return nullptr; }

    // A user's edit: the control changes and its notification fires as for any set.
    void type(TextBox box, const QString &text) { setText(box, text); }

    int m_resultNodes = 0; // nodes in tvResults
    int m_clears = 0;      // calls of clearResults
    int m_notifications = 0;
    QList<MousePointer> m_pointerAtNotify; // the mouse pointer at each notification
    QList<bool> m_dirtyAfterNotify;        // IsDirty right after each notification

private:
    void notify()
    {
        ++m_notifications;
        m_pointerAtNotify.append(mousePointer());
        m_document.MakeDirty();
        m_dirtyAfterNotify.append(m_document.IsDirty());
    }

    CDocument &m_document;
    QMap<TextBox, QString> m_texts;
    QMap<CheckBox, int> m_checks;
    QString m_caption;
};
