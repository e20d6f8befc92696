#pragma once
// The main window as the document sees it: its four text boxes, its four option check boxes,
// the results tree and the caption.

#include "document/documentview.h"

class frmMain;
class QCheckBox;
class TextBox;

class FormDocumentView : public DocumentView
{
public:
    explicit FormDocumentView(frmMain &form)
        : m_form(form)
    {}

    QString text(TextBox box) const override;
    void setText(TextBox box, const QString &text) override;
    int checkState(CheckBox box) const override;
    void setCheckState(CheckBox box, int state) override;
    void clearResults() override;
    QString caption() const override;
    void setCaption(const QString &caption) override;
    QWidget *dialogOwner() const override;

private:
    ::TextBox *textBox(TextBox box) const;
    QCheckBox *checkBox(CheckBox box) const;

    frmMain &m_form;
};
