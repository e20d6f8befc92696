// The main window's commands: the four buttons, the code generator, the Esc key and the dirty
// marking of edits. The menu items' actions are in their rows of the menu tables (frmmain.cpp).

#include "document/cdocument.h"
#include "runner/codegenerator.h"
#include "runner/modregexp.h"
#include "runner/spreadsheet/exportmatches.h"
#include "samples/sampleset.h"
#include "support/suwindow.h"
#include "ui/main/explanationview.h"
#include "ui/main/filedrop.h"
#include "ui/main/frmmain.h"
#include "ui/main/imagelist.h"
#include "ui/main/matchlocator.h"
#include "ui/main/patternhighlighter.h"
#include "ui/main/replacementhighlighter.h"
#include "ui/main/replaceoutput.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"
#include "ui/main/textboxoffsets.h"
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
    for (TextBox *box : {txtPattern, txtReplaceVar, txtSourceString})
        connect(box, &QPlainTextEdit::textChanged, this, &frmMain::workChanged);
    for (QCheckBox *box : {chkGlobal, chkIgnoreCase, chkMultiline, chkIgnoreLineBreaks})
        connect(box, &QCheckBox::toggled, this, &frmMain::workChanged);

    // A file dropped on a box or anywhere else on the window opens as File > Open opens one.
    auto *drop = new FileDrop(this, [this](const QString &file) { document().LoadDropped(file); });
    drop->watch(this);
    for (TextBox *box : {txtPattern, txtSourceString, txtReplaceVar, txtResult})
        drop->watch(box->viewport());

    // The pattern box shows how the engine reads the pattern.
    auto *highlighter = new PatternHighlighter(txtPattern);
    connect(chkIgnoreLineBreaks, &QCheckBox::toggled, highlighter,
            &PatternHighlighter::setIgnoreLineBreaks);
    // The Explanation panel, the warnings in the pattern box and the replacement box's colours.
    new ExplanationView(*this, *highlighter);
    auto *replacement = new ReplacementHighlighter(txtReplaceVar);
    connect(highlighter, &PatternHighlighter::readingShown, replacement,
            [highlighter, replacement] { replacement->setGroupCount(highlighter->groupCount()); });
    connectLive(*highlighter);
}

CDocument &frmMain::document()
{
    if (!m_document) {
        m_document = std::make_unique<CDocument>(m_services.files, m_services.modal);
        m_document->attachSamples(samples());
    }
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
    ::GenerateCode(m_services.modal, {txtPattern->Text(), txtReplaceVar->Text(), runOptions()},
                   kind);
}

void frmMain::runPattern(RunCommand command)
{
    TreeWidgetResults tree(tvResults,
                           [this](const QString &key) { return ilTreeIcons->icon(key); });
    const RunWatch watch(*this);
    RunResult result = RunRegExp(m_services.modal, tree, txtPattern->Text(),
                                 txtSourceString->Text(), runOptions(), command);
    const bool cancelled = result.outcome == RunResult::Outcome::Cancelled;
    // The tree was filled or emptied anew, except by Test or a cancelled run.
    if (command != RunCommand::Test && !cancelled)
        setResultsOutOfDate(false);
    showRunOutcome(result);
    if (result.matches) {
        m_locator->setPositions(std::move(result.positions));
        stepsRunEnded(*result.matches);
        if (command == RunCommand::ExecuteAndOpen)
            ExportMatchesToExcel(*result.matches, m_services.opener, m_services.modal);
    }
    showPatternError(result.errorPosition());
}

void frmMain::showPatternError(int position)
{
    if (position < 0)
        return;
    const QString typed = txtPattern->Text();
    const bool ignoreLineBreaks = chkIgnoreLineBreaks->isChecked();
    // The character there, both halves of a surrogate pair; at the end of the pattern, the caret.
    qsizetype start = TypedPatternOffset(typed, position, ignoreLineBreaks);
    qsizetype end = start;
    if (position < ::PreparePattern(typed, ignoreLineBreaks).size()) {
        end = start + 1;
        if (end < typed.size() && typed.at(start).isHighSurrogate() &&
            typed.at(end).isLowSurrogate())
            ++end;
        else if (start > 0 && typed.at(start).isLowSurrogate() &&
                 typed.at(start - 1).isHighSurrogate())
            --start;
    }
    selectText(*txtPattern, TextBoxOffsets(*txtPattern), start, end);
    txtPattern->setFocus(Qt::OtherFocusReason);
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
    const RunWatch watch(*this);
    RunResult result;
    m_replaceOutput->write([&] {
        result = ReplaceRegExp(m_services.modal, *txtResult, txtPattern->Text(),
                               txtSourceString->Text(), txtReplaceVar->Text(), runOptions());
        return result.outcome != RunResult::Outcome::Cancelled;
    });
    showRunOutcome(result);
    showPatternError(result.errorPosition());
}
