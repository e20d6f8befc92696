#pragma once
// The Steps panel: traces one search of the pattern off the window's thread and steps through
// it. A slider over the steps, buttons and keys for the first, back, forward, last, next
// backtrack, next start position and the match; each step is told in a line of text and marked
// in the pattern box and the source box (see StepMarks). Below, the heat view shades each part
// of the pattern by its share of the steps. A new trace (after an edit) keeps the step position
// where it still exists. A trace stopped at its step limit says so and steps through what it
// recorded.
//
// Keys, while the panel has the focus: Home first, Left back, Right forward, End last, B next
// backtrack, S next start position, M the match.

#include "runner/engine/trace.h"
#include "ui/steps/stepmarks.h"

#include <QString>
#include <QWidget>

#include <chrono>
#include <memory>

class HeatView;
class LiveJob;
class QLabel;
class QSlider;
class QToolButton;
class TextBox;

class StepsPanel : public QWidget
{
    Q_OBJECT

public:
    // What to trace: the search of pattern over source from offset from.
    struct Request
    {
        QString pattern;
        bool ignoreCase = false;
        bool multiline = false;
        QString source;
        int from = 0;
        std::uint64_t stepLimit = engine::limits::TraceSteps;
    };

    explicit StepsPanel(QWidget *parent = nullptr);
    ~StepsPanel() override;

    // Where each step is marked (either may be null).
    void setBoxes(TextBox *pattern, TextBox *source);
    // Where the traced pattern's offsets lie in the pattern box (see StepMarks).
    void setPatternOffsets(StepMarks::PatternOffsets map)
    {
        m_marks.setPatternOffsets(std::move(map));
    }
    // Traces request after the live pause, or at once.
    void trace(const Request &request, bool now = false);
    // Drops the trace shown and any still running.
    void clear();

    // The trace shown (null for none) and the step shown.
    const engine::TraceResult *result() const { return m_result.get(); }
    qint64 step() const { return m_step; }
    // Shows step (clamped to the recorded ones).
    void setStep(qint64 step);
    void first();
    void back();
    void forward();
    void last();
    void nextBacktrack();
    void nextStart();
    void match();

    // The line telling the step shown, or the state of the panel.
    QString stepText() const;
    // The line under the heat view: the trace's total and outcome, or why there is none.
    QString stateText() const;
    HeatView *heatView() const { return m_heat; }
    LiveJob &job() const { return *m_job; }

Q_SIGNALS:
    // A trace is shown: its total steps, and whether it stopped at the limit.
    void traced(quint64 steps, bool stopped);
    void stepShown(qint64 step);

private:
    void shown(std::shared_ptr<const engine::TraceResult> result, const QString &pattern);
    void failed(const QString &message);
    void updateButtons();

    std::unique_ptr<LiveJob> m_job;
    std::shared_ptr<const engine::TraceResult> m_result;
    QString m_pattern;
    qint64 m_step = -1;
    StepMarks m_marks;

    QSlider *m_slider;
    QLabel *m_line;
    QLabel *m_state;
    HeatView *m_heat;
    QToolButton *m_first;
    QToolButton *m_back;
    QToolButton *m_forward;
    QToolButton *m_last;
    QToolButton *m_nextBacktrack;
    QToolButton *m_nextStart;
    QToolButton *m_match;
};
