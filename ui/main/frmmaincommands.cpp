// The main window's commands: the menus by item index, the four buttons, the Esc key and the
// dirty marking of edits.

#include "document/cdocument.h"
#include "runner/modregexp.h"
#include "runner/spreadsheet/exportmatches.h"
#include "support/appinfo.h"
#include "support/appservices.h"
#include "support/sufiles.h"
#include "support/suwindow.h"
#include "ui/help/frmpatternhelp.h"
#include "ui/main/codegenerator.h"
#include "ui/main/frmmain.h"
#include "ui/main/imagelist.h"
#include "ui/main/matchlocator.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"
#include "ui/main/textboxoffsets.h"
#include "ui/main/treewidgetresults.h"

#include <QCheckBox>
#include <QPushButton>

namespace {

// Shown last in the About box.
constexpr QStringView AboutNameText = u"RegExp";

void toggle(QCheckBox *box)
{
    box->setChecked(!box->isChecked());
}

} // namespace

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

    // Highlights show what the pattern and options found; they go when either changes.
    connect(txtPattern, &QPlainTextEdit::textChanged, m_locator.get(),
            &MatchLocator::hideHighlights);
    for (QCheckBox *box : {chkGlobal, chkIgnoreCase, chkMultiline, chkIgnoreLineBreaks})
        connect(box, &QCheckBox::toggled, m_locator.get(), &MatchLocator::hideHighlights);
}

CDocument &frmMain::document()
{
    if (!m_document)
        m_document = std::make_unique<CDocument>();
    return *m_document;
}

void frmMain::mnuFile_Click(int index)
{
    switch (index) {
    case 0:
        document().Clear();
        break;
    case 10:
        document().Load();
        break;
    case 11:
        document().Save();
        break;
    case 12:
        document().SaveAs();
        break;
    case 99:
        suUnloadForm(this);
        break;
    default:
        break;
    }
}

void frmMain::mnuRun_Click(int index)
{
    AppServices &services = AppServices::instance();
    switch (index) {
    case 0:
        services.PushButton(cmdExecute);
        break;
    case 1:
        services.PushButton(cmdExecuteAndOpen);
        break;
    case 2:
        services.PushButton(cmdReplace);
        break;
    case 3:
        services.PushButton(cmdTest);
        break;
    case 10:
        GenerateCode(true, false, false);
        break;
    case 11:
        GenerateCode(false, true, false);
        break;
    case 12:
        GenerateCode(false, false, true);
        break;
    default:
        break;
    }
}

void frmMain::mnuOptions_Click(int index)
{
    switch (index) {
    case 0:
        toggle(chkGlobal);
        break;
    case 1:
        toggle(chkIgnoreCase);
        break;
    case 2:
        toggle(chkMultiline);
        break;
    case 10:
        toggle(chkIgnoreLineBreaks);
        break;
    default:
        break;
    }
}

void frmMain::mnuHelp_Click(int index)
{
    switch (index) {
    case 0:
        suOpenReadMeFile(0);
        break;
    case 1:
        ShowPatternHelp(this);
        break;
    case 3:
        AppServices::instance().ShowAbout(this, ApplicationInfo::current(), QString(), QIcon(),
                                          AboutNameText.toString());
        break;
    default:
        break;
    }
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
    RunOutcome outcome =
        RunRegExp(tree, pattern, source, chkGlobal->isChecked(), chkIgnoreCase->isChecked(),
                  chkMultiline->isChecked(), isTest, openInExcel, ExportMatchesToExcel);
    if (outcome.positions)
        m_locator->setPositions(std::move(*outcome.positions));
    showPatternError(outcome.errorPosition);
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
    const RunOutcome outcome =
        ReplaceRegExp(*txtResult, pattern, source, replacement, chkGlobal->isChecked(),
                      chkIgnoreCase->isChecked(), chkMultiline->isChecked());
    showPatternError(outcome.errorPosition);
}
