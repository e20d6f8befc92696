#pragma once
// What the Steps panel traces, read from the window's work: the search that found the selected
// match, or with none selected the search from the caret in the source box. Edits re-trace
// after the pause while the panel shows; a hidden panel traces when it is shown again. After a
// run it counts the steps of each match off the window's thread, for the match nodes' tooltips
// and the status line.

#include "runner/engine/trace.h"
#include "ui/steps/stepspanel.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class LiveJob;

class StepsBinding : public QObject
{
    Q_OBJECT

public:
    // The work as the window holds it now.
    struct Work
    {
        QString pattern;
        bool ignoreCase = false;
        bool multiline = false;
        bool global = false;
        QString source;
        // The caret's Text() offset in the source box; -1 where the work does not say.
        int caret = -1;
    };
    using ReadWork = std::function<Work()>;

    StepsBinding(StepsPanel *panel, ReadWork read, QObject *parent = nullptr);
    ~StepsBinding() override;

    // The pattern, source or an option changed: the selected match no longer stands.
    void workChanged();
    // A match node was selected (match -1: none) in the matches of the last Execute.
    void matchSelected(const std::optional<engine::MatchCollection> &matches, int match);
    // Whether the trace follows the caret now (the panel shows and no match is selected); while
    // it does not, the caret's moves need not be told.
    bool followsCaret() const;
    // The caret of the source box moved to offset (as Text() counts).
    void caretMoved(int offset);
    // An Execute ended with matches: counts their steps while the panel shows.
    void runEnded(const engine::MatchCollection &matches);

    // Where the trace starts now.
    int from() const { return m_from; }
    LiveJob &countJob() const { return *m_count; }

Q_SIGNALS:
    // Steps of each match of the last run and the run's total.
    void runCounted(std::shared_ptr<const engine::RunSteps> steps);
    // The status line's text for the steps: the run's total and the trace's ("" to clear it).
    void statusText(const QString &text);

private:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void retrace(bool now);
    // Emits statusText with the run's and the trace's totals.
    void tell();

    StepsPanel *m_panel;
    ReadWork m_read;
    std::unique_ptr<LiveJob> m_count;
    int m_from = 0;
    bool m_matchSelected = false;
    bool m_stale = true; // the work changed while the panel was hidden
    QString m_runText;
    QString m_traceText;
};
