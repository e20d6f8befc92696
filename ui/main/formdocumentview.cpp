#include "ui/main/formdocumentview.h"

#include "ui/main/frmmain.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"

#include <QCheckBox>

::TextBox *FormDocumentView::textBox(TextBox box) const
{
    switch (box) {
    case TextBox::txtPattern:
        return m_form.txtPattern;
    case TextBox::txtSourceString:
        return m_form.txtSourceString;
    case TextBox::txtReplaceVar:
        return m_form.txtReplaceVar;
    case TextBox::txtResult:
        break;
    }
    return m_form.txtResult;
}

QCheckBox *FormDocumentView::checkBox(CheckBox box) const
{
    switch (box) {
    case CheckBox::chkGlobal:
        return m_form.chkGlobal;
    case CheckBox::chkIgnoreCase:
        return m_form.chkIgnoreCase;
    case CheckBox::chkMultiline:
        return m_form.chkMultiline;
    case CheckBox::chkIgnoreLineBreaks:
        break;
    }
    return m_form.chkIgnoreLineBreaks;
}

QString FormDocumentView::text(TextBox box) const
{
    return textBox(box)->Text();
}

void FormDocumentView::setText(TextBox box, const QString &text)
{
    textBox(box)->SetText(text);
}

int FormDocumentView::checkState(CheckBox box) const
{
    return checkBox(box)->isChecked() ? 1 : 0;
}

void FormDocumentView::setCheckState(CheckBox box, int state)
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
