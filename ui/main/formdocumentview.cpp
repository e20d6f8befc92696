#include "ui/main/formdocumentview.h"

#include "ui/main/frmmain.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QCheckBox>

::TextBox *FormDocumentView::textBox(TextBoxId box) const
{
    switch (box) {
    case TextBoxId::txtPattern:
        return m_form.controls().txtPattern;
    case TextBoxId::txtSourceString:
        return m_form.controls().txtSourceString;
    case TextBoxId::txtReplaceVar:
        return m_form.controls().txtReplaceVar;
    case TextBoxId::txtResult:
        break;
    }
    return m_form.controls().txtResult;
}

QCheckBox *FormDocumentView::checkBox(CheckBoxId box) const
{
    switch (box) {
    case CheckBoxId::chkGlobal:
        return m_form.controls().chkGlobal;
    case CheckBoxId::chkIgnoreCase:
        return m_form.controls().chkIgnoreCase;
    case CheckBoxId::chkMultiline:
        return m_form.controls().chkMultiline;
    case CheckBoxId::chkIgnoreLineBreaks:
        break;
    }
    return m_form.controls().chkIgnoreLineBreaks;
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
    m_form.controls().tvResults->clear();
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
