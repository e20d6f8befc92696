#include "ui/main/explanationview.h"

#include "runner/engine/explain.h"
#include "runner/engine/lint.h"
#include "runner/runoptions.h"
#include "ui/main/explanationpanel.h"
#include "ui/main/frmmain.h"
#include "ui/main/panelhost.h"
#include "ui/main/patternhighlighter.h"
#include "ui/main/statusline.h"
#include "ui/main/textbox.h"
#include "ui/main/textboxoffsets.h"

#include <QCheckBox>
#include <QTextCursor>

#include <algorithm>
#include <memory>

ExplanationView::ExplanationView(frmMain &window, PatternHighlighter &highlighter)
    : QObject(&window)
    , m_window(window)
    , m_highlighter(highlighter)
    , m_panel(new ExplanationPanel)
    , m_job(std::chrono::milliseconds(0))
{
    // The pattern is read when the pause ends, not at every key: reading a long one costs.
    m_pause.setSingleShot(true);
    m_pause.setInterval(PauseMs);
    connect(&m_pause, &QTimer::timeout, this, &ExplanationView::readWork);
    window.panels().addPanel(m_panel, QStringLiteral("pnlExplanation"), tr("&Explanation"));
    connect(&window, &frmMain::workChanged, this, &ExplanationView::workChanged);
    connect(m_panel, &ExplanationPanel::spanSelected, this, &ExplanationView::selectSpan);
    connect(m_panel, &ExplanationPanel::replacementChosen, this, &ExplanationView::replaceSpan);
    connect(window.controls().txtPattern, &QPlainTextEdit::cursorPositionChanged, this,
            &ExplanationView::caretMoved);
    // The pattern's first error, as soon as the box has read it; else its first warning.
    connect(&highlighter, &PatternHighlighter::readingShown, this,
            &ExplanationView::showPatternStatus);
    readWork();
}

void ExplanationView::showPatternStatus()
{
    const QString error = m_highlighter.firstError();
    m_window.statusLine().show(StatusLine::Slot::Pattern, error.isEmpty() ? m_firstWarning : error);
}

void ExplanationView::workChanged()
{
    m_pause.start();
}

bool ExplanationView::waitForIdle(std::chrono::milliseconds timeout)
{
    if (m_pause.isActive()) {
        m_pause.stop();
        readWork();
    }
    return m_job.waitForIdle(timeout);
}

void ExplanationView::readWork()
{
    const RunOptions options = m_window.runOptions();
    const QString pattern =
        PreparePattern(m_window.controls().txtPattern->Text(), options.ignoreLineBreaks);
    const QString read = pattern + QChar(u'\0') + QChar(options.ignoreCase ? u'i' : u'-') +
                         QChar(options.multiline ? u'm' : u'-') +
                         QChar(options.ignoreLineBreaks ? u'l' : u'-');
    if (read == m_read)
        return;
    m_read = read;
    if (pattern.size() > MaxPattern) {
        // Longer patterns are not read live: their reading would take the worker for seconds.
        // The marks go as an answer would go, never inside the box's edit that changed the work.
        m_job.schedule([this](engine::RunControl &) -> LiveJob::Show {
            return [this] {
                m_highlighter.setWarnings({});
                m_firstWarning.clear();
                showPatternStatus();
            };
        });
        return;
    }
    const engine::ReadOptions reading{options.ignoreCase, options.multiline};
    m_job.schedule([this, pattern, reading](engine::RunControl &control) -> LiveJob::Show {
        const std::u16string text = pattern.toStdU16String();
        auto explanation = std::make_shared<engine::Explanation>(engine::Explain(text, reading));
        auto lint = std::make_shared<engine::LintResult>(engine::Lint(text, reading, &control));
        return [this, pattern, explanation, lint] {
            m_panel->showReading(pattern, *explanation, *lint);
            std::vector<PatternHighlighter::WarningMark> marks;
            for (const engine::Warning &w : lint->warnings)
                marks.push_back({positionOf(w.start), positionOf(w.start + w.length),
                                 QString::fromStdU16String(w.text)});
            m_highlighter.setWarnings(std::move(marks));
            m_firstWarning = lint->warnings.empty()
                                 ? QString()
                                 : QString::fromStdU16String(lint->warnings[0].text);
            showPatternStatus();
        };
    });
}

int ExplanationView::positionOf(int offset) const
{
    const TextBox &box = *m_window.controls().txtPattern;
    const qsizetype typed =
        TypedPatternOffset(box.Text(), offset, m_window.runOptions().ignoreLineBreaks);
    return TextBoxOffsets(box).position(typed, false);
}

void ExplanationView::selectSpan(int start, int length)
{
    TextBox &box = *m_window.controls().txtPattern;
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(positionOf(start));
    cursor.setPosition(positionOf(start + length), QTextCursor::KeepAnchor);
    m_selecting = true; // the piece chosen stays chosen
    box.setTextCursor(cursor);
    m_selecting = false;
}

void ExplanationView::replaceSpan(int start, int length, const QString &text)
{
    TextBox &box = *m_window.controls().txtPattern;
    QTextCursor cursor = box.textCursor();
    cursor.setPosition(positionOf(start));
    cursor.setPosition(positionOf(start + length), QTextCursor::KeepAnchor);
    cursor.insertText(text); // one edit: one undo step
    box.setTextCursor(cursor);
}

void ExplanationView::caretMoved()
{
    if (m_selecting || !m_panel->isVisible())
        return;
    const TextBox &box = *m_window.controls().txtPattern;
    const int caret = box.textCursor().position();
    const bool ignoreLineBreaks = m_window.runOptions().ignoreLineBreaks;
    const QString text = box.Text();
    const QString pattern = PreparePattern(text, ignoreLineBreaks);
    const TextBoxOffsets offsets(box);
    // The last pattern offset whose document position is at or before the caret.
    int low = 0;
    int high = static_cast<int>(pattern.size());
    while (low < high) {
        const int mid = low + (high - low + 1) / 2;
        if (offsets.position(TypedPatternOffset(text, mid, ignoreLineBreaks), false) <= caret)
            low = mid;
        else
            high = mid - 1;
    }
    m_panel->selectAt(low);
}
