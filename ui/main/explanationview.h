#pragma once
// The Explanation panel in the main window: after a pause in typing, the pattern as a run gets
// it is explained and linted off the window's thread (a LiveJob; a newer pattern drops a stale
// answer). The answer fills the panel, underlines the warnings in the pattern box and puts the
// first one in the status line's Pattern slot. A piece chosen in the panel selects its span in
// the pattern box, the caret there selects the deepest piece, and a suggestion taken replaces
// its span as one undoable edit.

#include "ui/main/livejob.h"

#include <QObject>
#include <QString>
#include <QTimer>

class ExplanationPanel;
class PatternHighlighter;
class QCheckBox;
class StatusLine;
class TextBox;
class frmMain;

class ExplanationView : public QObject
{
    Q_OBJECT

public:
    // Adds the panel to window's panels; highlighter colours the window's pattern box.
    ExplanationView(frmMain &window, PatternHighlighter &highlighter);

    ExplanationPanel &panel() const { return *m_panel; }
    LiveJob &job() { return m_job; }
    // For tests: reads the work now if the pause is still going, then handles events until the
    // reading is shown or timeout has passed; true when idle.
    bool waitForIdle(std::chrono::milliseconds timeout);

    static constexpr int PauseMs = 300;
    // Longest pattern read live, in UTF-16 code units.
    static constexpr int MaxPattern = 20'000;

private:
    // Restarts the pause after which the work is read.
    void workChanged();
    // Reads the pattern again when it or an option that changes its reading changed.
    void readWork();
    void selectSpan(int start, int length);
    void replaceSpan(int start, int length, const QString &text);
    void caretMoved();
    // The document position of an offset in the pattern the engine gets.
    int positionOf(int offset) const;

    frmMain &m_window;
    PatternHighlighter &m_highlighter;
    ExplanationPanel *m_panel;
    QTimer m_pause;
    LiveJob m_job;
    QString m_read;         // the pattern and options last read
    QString m_firstWarning; // shown in the status line while the pattern has no error
    void showPatternStatus();
    bool m_selecting = false; // the panel is selecting a span in the pattern box
};
