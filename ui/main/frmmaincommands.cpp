// The main window's commands: the four buttons, the code generator, the Esc key and the dirty
// marking of edits. The menu items' actions are in their rows of the menu tables (frmmain.cpp).

#include "document/cdocument.h"
#include "runner/codegenerator.h"
#include "runner/modregexp.h"
#include "runner/spreadsheet/exportmatches.h"
#include "support/suwindow.h"
#include "ui/main/frmmain.h"
#include "ui/main/imagelist.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"
#include "ui/main/treewidgetresults.h"

#include <QCheckBox>
#include <QPushButton>

void frmMain::connectCommands()
{
    connect(cmdExecute, &QPushButton::clicked, this, &frmMain::cmdExecute_Click);
    connect(cmdExecuteAndOpen, &QPushButton::clicked, this, &frmMain::cmdExecuteAndOpen_Click);
    connect(cmdReplace, &QPushButton::clicked, this, &frmMain::cmdReplace_Click);
    connect(cmdTest, &QPushButton::clicked, this, &frmMain::cmdTest_Click);

    // Every edit of the work marks the document changed; the document ignores what it causes
    // itself. The result box is output, not work.
    for (TextBox *box : {txtPattern, txtReplaceVar, txtSourceString})
        connect(box, &QPlainTextEdit::textChanged, this, [this] { document().MakeDirty(); });
    for (QCheckBox *box : {chkGlobal, chkIgnoreCase, chkMultiline, chkIgnoreLineBreaks})
        connect(box, &QCheckBox::toggled, this, [this] { document().MakeDirty(); });
}

CDocument &frmMain::document()
{
    if (!m_document)
        m_document = std::make_unique<CDocument>();
    return *m_document;
}

void frmMain::Form_KeyDown(int &keyCode, int shift)
{
    if (keyCode == Qt::Key_Escape && shift == 0)
        suUnloadForm(this);
}

QString frmMain::PreparePattern(const QString &Text) const
{
    return ::PreparePattern(Text, chkIgnoreLineBreaks->isChecked());
}

void frmMain::GenerateCode(bool ForExecute, bool ForReplace, bool ForTest)
{
    CodeInputs inputs;
    inputs.pattern = txtPattern->Text();
    inputs.replacement = txtReplaceVar->Text();
    inputs.global = chkGlobal->isChecked();
    inputs.ignoreCase = chkIgnoreCase->isChecked();
    inputs.multiline = chkMultiline->isChecked();
    inputs.ignoreLineBreaks = chkIgnoreLineBreaks->isChecked();
    ::GenerateCode(inputs, ForExecute, ForReplace, ForTest);
}

void frmMain::runPattern(bool isTest, bool openInExcel)
{
    const QString pattern = PreparePattern(txtPattern->Text());
    const QString source = txtSourceString->Text();
    TreeWidgetResults tree(tvResults,
                           [this](const QString &key) { return ilTreeIcons->icon(key); });
    RunRegExp(tree, pattern, source, chkGlobal->isChecked(), chkIgnoreCase->isChecked(),
              chkMultiline->isChecked(), isTest, openInExcel, ExportMatchesToExcel);
}

void frmMain::cmdExecute_Click()
{
    runPattern(false, false);
}

void frmMain::cmdExecuteAndOpen_Click()
{
    runPattern(false, true);
}

void frmMain::cmdTest_Click()
{
    runPattern(true, false);
}

void frmMain::cmdReplace_Click()
{
    const QString pattern = PreparePattern(txtPattern->Text());
    const QString source = txtSourceString->Text();
    const QString replacement = txtReplaceVar->Text();
    ReplaceRegExp(*txtResult, pattern, source, replacement, chkGlobal->isChecked(),
                  chkIgnoreCase->isChecked(), chkMultiline->isChecked());
}
