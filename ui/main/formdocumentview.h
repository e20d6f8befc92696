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

    QString text(TextBoxId box) const override;
    void setText(TextBoxId box, const QString &text) override;
    int checkState(CheckBoxId box) const override;
    void setCheckState(CheckBoxId box, int state) override;
    void clearResults() override;
    QString caption() const override;
    void setCaption(const QString &caption) override;
    QWidget *dialogOwner() const override;

private:
    ::TextBox *textBox(TextBoxId box) const;
    QCheckBox *checkBox(CheckBoxId box) const;

    frmMain &m_form;
};
