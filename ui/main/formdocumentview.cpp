#include "ui/main/formdocumentview.h"

#include "ui/main/frmmain.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QCheckBox>

::TextBox *FormDocumentView::textBox(TextBoxId box) const
{
    switch (box) {
    case TextBoxId::txtPattern:
        return m_form.txtPattern;
    case TextBoxId::txtSourceString:
        return m_form.txtSourceString;
    case TextBoxId::txtReplaceVar:
        return m_form.txtReplaceVar;
    case TextBoxId::txtResult:
        break;
    }
    return m_form.txtResult;
}

QCheckBox *FormDocumentView::checkBox(CheckBoxId box) const
{
    switch (box) {
    case CheckBoxId::chkGlobal:
        return m_form.chkGlobal;
    case CheckBoxId::chkIgnoreCase:
        return m_form.chkIgnoreCase;
    case CheckBoxId::chkMultiline:
        return m_form.chkMultiline;
    case CheckBoxId::chkIgnoreLineBreaks:
        break;
    }
    return m_form.chkIgnoreLineBreaks;
}

QString FormDocumentView::text(TextBoxId box) const
{
    return textBox(box)->Text();
}

void FormDocumentView::setText(TextBoxId box, const QString &text)
{
    textBox(box)->SetText(text);
}

int FormDocumentView::checkState(CheckBoxId box) const
{
    return checkBox(box)->isChecked() ? 1 : 0;
}

void FormDocumentView::setCheckState(CheckBoxId box, int state)
{
    checkBox(box)->setChecked(state == 1);
}

void FormDocumentView::clearResults()
{
    m_form.tvResults->clear();
}

QString FormDocumentView::caption() const
{
    return m_form.windowTitle();
}

void FormDocumentView::setCaption(const QString &caption)
{
    m_form.setWindowTitle(caption);
}

QWidget *FormDocumentView::dialogOwner() const
{
    return &m_form;
}
