#pragma once
// A stand-in for the main window: plain storage for the controls, and, like the real window,
// a change notification on every set of an input box or option box that calls MakeDirty.

#include "document/cdocument.h"
#include "document/documentview.h"
#include "support/mousepointer.h"

#include <QList>
#include <QStringList>

class FakeView : public DocumentView
{
public:
    explicit FakeView(CDocument &document)
        : m_document(document)
    {}

    // The boxes' enumerators count the pattern file's fields: three texts, then four states.
    QString text(TextBoxId box) const override
    {
        return box == TextBoxId::txtResult ? m_result : m_fields.at(int(box));
    }
    void setText(TextBoxId box, const QString &text) override
    {
        if (box == TextBoxId::txtResult)
            m_result = text;
        else
            set(int(box), text);
    }
    int checkState(CheckBoxId box) const override { return m_fields.at(3 + int(box)).toInt(); }
    void setCheckState(CheckBoxId box, int state) override
    {
        set(3 + int(box), QString::number(state));
    }
    void clearResults() override { m_resultNodes = 0; }
    QString caption() const override { return m_caption; }
    void setCaption(const QString &caption) override { m_caption = caption; }
    QWidget *dialogOwner() const override { return nullptr; }

    // The user's edits of all seven controls, given as the fields of a pattern file.
    void edit(const QStringList &fields)
    {
        for (int i = 0; i < 7; ++i)
            set(i, fields.at(i));
    }

    QStringList m_fields{"", "", "", "0", "0", "0", "0"};
    QString m_result;      // txtResult
    int m_resultNodes = 0; // nodes in tvResults
    QList<bool> m_quiet;   // per notification: under the wait pointer, and the document still clean

private:
    void set(int field, const QString &value)
    {
        m_fields[field] = value;
        const bool busy = mousePointer() == MousePointer::Hourglass;
        m_document.MakeDirty();
        m_quiet.append(busy && !m_document.IsDirty());
    }

    CDocument &m_document;
    QString m_caption;
};
