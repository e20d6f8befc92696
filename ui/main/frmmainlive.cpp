// The main window's live results: the option, the runs that follow the typing, the marking of
// results out of date, and the status line's texts for every run.

#include "runner/liverun.h"
#include "runner/modregexp.h"
#include "ui/main/frmmain.h"
#include "ui/main/imagelist.h"
#include "ui/main/liveresults.h"
#include "ui/main/mainmenus.h"
#include "ui/main/matchlocator.h"
#include "ui/main/patternhighlighter.h"
#include "ui/main/replaceoutput.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/sourcetextbox.h"
#include "ui/main/statusline.h"
#include "ui/main/statustexts.h"
#include "ui/main/textbox.h"
#include "ui/main/treewidgetresults.h"

#include <QAction>
#include <QMenu>
#include <QTimer>

namespace {
// The Options menu's item for the option, after a separator.
constexpr int LiveSeparatorIndex = 11;
constexpr int LiveItemIndex = 20;
// A run shorter than this shows no elapsed time.
constexpr std::chrono::milliseconds ClockAfter{250};
constexpr std::chrono::milliseconds ClockTick{100};
} // namespace

void frmMain::connectLive([[maybe_unused]] PatternHighlighter &highlighter)
{
    m_replaceOutput = new ReplaceOutput(txtResult);
    m_live = new LiveResults([this] { return takeWork(); }, this);

    MenuArray &mnuOptions = m_menus->array(MainMenus::Menu::Options);
    QMenu *options = mnuOptions.menu();
    QAction *separator = options->addSeparator();
    mnuOptions.add(LiveSeparatorIndex, separator);
    QAction *liveItem = options->addAction(QStringLiteral("&Live results"));
    liveItem->setObjectName(QStringLiteral("mnuLiveResults"));
    liveItem->setCheckable(true);
    liveItem->setChecked(m_live->isOn());
    mnuOptions.add(LiveItemIndex, liveItem);
    connect(liveItem, &QAction::toggled, m_live, &LiveResults::setOn);

    connect(this, &frmMain::workChanged, m_live, &LiveResults::workChanged);
    connect(m_live, &LiveResults::answered, this, &frmMain::showLiveAnswer);
    connect(m_live, &LiveResults::outOfDate, this, [this] {
        if (tvResults->topLevelItemCount() == 0)
            return;
        setResultsOutOfDate(true);
        m_statusLine->show(StatusLine::Slot::Run, StatusTexts::OutOfDate.toString());
    });

    m_runClock = new QTimer(this);
    m_runClock->setInterval(ClockTick);
    connect(m_runClock, &QTimer::timeout, this, [this] {
        const auto elapsed = std::chrono::milliseconds(m_runStarted.elapsed());
        if (elapsed >= ClockAfter)
            m_statusLine->show(StatusLine::Slot::Run, StatusTexts::running(elapsed));
    });
    connect(&m_live->job(), &LiveJob::started, this, &frmMain::startRunClock);
    connect(&m_live->job(), &LiveJob::finished, this, &frmMain::stopRunClock);

    // A long text arriving in the source or the result box, until it is all there.
    for (TextBox *box : {txtSourceString, txtResult}) {
        connect(box, &TextBox::textArriving, this, &frmMain::showArrivals);
        connect(box, &TextBox::textArrived, this, &frmMain::showArrivals);
        connect(box, &QPlainTextEdit::textChanged, this, &frmMain::showArrivals);
    }
}

LiveRequest frmMain::takeWork() const
{
    return {txtPattern->Text(), txtSourceString->Text(), txtReplaceVar->Text(), runOptions(),
            m_replaceOutput->unedited()};
}

void frmMain::showArrivals()
{
    QString text;
    if (txtSourceString->arriving())
        text = StatusTexts::arriving(u"source text", txtSourceString->arrivalPercent());
    else if (txtResult->arriving())
        text = StatusTexts::arriving(u"result", txtResult->arrivalPercent());
    if (text != m_statusLine->text(StatusLine::Slot::Load))
        m_statusLine->show(StatusLine::Slot::Load, text);
}

void frmMain::startRunClock()
{
    m_runStarted.start();
    m_runClock->start();
}

void frmMain::stopRunClock()
{
    m_runClock->stop();
}

void frmMain::setResultsOutOfDate(bool outOfDate)
{
    tvResults->setOutOfDate(outOfDate);
    static_cast<SourceTextBox *>(txtSourceString)->setOutOfDate(outOfDate);
}

void frmMain::showLiveAnswer(const LiveAnswer &answer)
{
    StatusLine::Slot slot = StatusLine::Slot::Run;
    switch (answer.outcome) {
    case LiveAnswer::Outcome::Done: {
        // The same node stays selected where it still exists.
        int topLevel = -1;
        int child = -1;
        if (QTreeWidgetItem *current = tvResults->currentItem()) {
            QTreeWidgetItem *parent = current->parent();
            topLevel = tvResults->indexOfTopLevelItem(parent ? parent : current);
            child = parent ? parent->indexOfChild(current) : -1;
        }
        TreeWidgetResults tree(tvResults,
                               [this](const QString &key) { return ilTreeIcons->icon(key); });
        tree.Clear();
        FillResultsTree(tree, *answer.matches);
        m_locator->setPositions(std::move(*answer.positions));
        m_locator->restoreSelection(topLevel, child);
        stepsRunEnded(*answer.matches);
        setResultsOutOfDate(false);
        if (answer.replaced && m_replaceOutput->unedited())
            m_replaceOutput->write([&] {
                txtResult->SetText(*answer.replaced);
                return true;
            });
        m_statusLine->show(slot, StatusTexts::runDone(answer.matches->Count(), answer.engineTime));
        return;
    }
    case LiveAnswer::Outcome::Failed:
        setResultsOutOfDate(true);
        // A pattern error is the pattern's slot's to tell, once the box has read it.
        if (answer.error->position() >= 0) {
            m_statusLine->show(slot, QString());
            return;
        }
        m_statusLine->show(
            slot, StatusTexts::patternError(answer.error->number(),
                                            QString::fromStdU16String(answer.error->description()),
                                            answer.error->position()));
        return;
    case LiveAnswer::Outcome::Stopped:
        setResultsOutOfDate(true);
        m_statusLine->show(slot, StatusTexts::Stopped.toString());
        return;
    case LiveAnswer::Outcome::Cancelled:
        return;
    }
}

void frmMain::showRunOutcome(const RunResult &result)
{
    // The run by command is the newest answer.
    m_live->commandRan();
    QString text;
    if (result.outcome == RunResult::Outcome::Cancelled)
        text = QString::fromStdU16String(
            engine::RegExpError::descriptionFor(engine::errors::Cancelled));
    else if (result.verdict)
        text = TestVerdictText(*result.verdict);
    else if (result.matches)
        text = StatusTexts::runDone(result.count(), result.engineTime);
    // A failure has said so in its message box.
    m_statusLine->show(StatusLine::Slot::Run, text);
}
