// The main window's commands: the four buttons, the code generator, the Esc key and the dirty
// marking of edits. The menu items' actions are in their rows of the menu tables (frmmain.cpp).

#include "document/cdocument.h"
#include "runner/codegenerator.h"
#include "runner/modregexp.h"
#include "runner/spreadsheet/exportmatches.h"
#include "support/suwindow.h"
#include "ui/main/filedrop.h"
#include "ui/main/frmmain.h"
#include "ui/main/imagelist.h"
#include "ui/main/patternhighlighter.h"
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

    // A file dropped on a box or anywhere else on the window opens as File > Open opens one.
    auto *drop = new FileDrop(this, [this](const QString &file) { document().LoadDropped(file); });
    drop->watch(this);
    for (TextBox *box : {txtPattern, txtSourceString, txtReplaceVar, txtResult})
        drop->watch(box->viewport());

    // The pattern box shows how the engine reads the pattern.
    auto *highlighter = new PatternHighlighter(txtPattern);
    connect(chkIgnoreLineBreaks, &QCheckBox::toggled, highlighter,
            &PatternHighlighter::setIgnoreLineBreaks);
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

RunOptions frmMain::runOptions() const
{
    return {chkGlobal->isChecked(), chkIgnoreCase->isChecked(), chkMultiline->isChecked(),
            chkIgnoreLineBreaks->isChecked()};
}

void frmMain::GenerateCode(SnippetKind kind)
{
    ::GenerateCode({txtPattern->Text(), txtReplaceVar->Text(), runOptions()}, kind);
}

void frmMain::runPattern(RunCommand command)
{
    TreeWidgetResults tree(tvResults,
                           [this](const QString &key) { return ilTreeIcons->icon(key); });
    RunRegExp(tree, txtPattern->Text(), txtSourceString->Text(), runOptions(), command,
              ExportMatchesToExcel);
}

void frmMain::cmdExecute_Click()
{
    runPattern(RunCommand::Execute);
}

void frmMain::cmdExecuteAndOpen_Click()
{
    runPattern(RunCommand::ExecuteAndOpen);
}

void frmMain::cmdTest_Click()
{
    runPattern(RunCommand::Test);
}

void frmMain::cmdReplace_Click()
{
    ReplaceRegExp(*txtResult, txtPattern->Text(), txtSourceString->Text(), txtReplaceVar->Text(),
                  runOptions());
}
