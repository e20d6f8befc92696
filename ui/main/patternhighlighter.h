#pragma once
// Colours the pattern box as the engine reads the pattern. A short pause after the last edit,
// the pattern as a run would get it (without line breaks under Ignore line breaks) is read by
// the engine's Scan on a worker thread; the reading, in document positions, becomes the extra
// formats of each block's layout, and only blocks whose formats changed are laid out again. While
// the pattern is invalid, a wavy underline marks where the error was found (and the bracket left
// open); with the caret beside a bracket, it and its partner are marked. The tooltip over the error
// gives the error as the run would report it, over a capturing "(" its group number.
//
// Only formats of the layout change: no text, no undo step, no modified state, and no change
// signal of the document. Between an edit and the next reading the spans move with the text.

#include "ui/main/patternreading.h"
#include "ui/main/shades.h"

#include <QFutureWatcher>
#include <QObject>
#include <QPointer>
#include <QTextCharFormat>
#include <QTextLayout>
#include <QThreadPool>
#include <QTimer>

#include <array>
#include <vector>

class QTextBlock;
class QTextDocument;
class TextBox;

class PatternHighlighter : public QObject
{
    Q_OBJECT

public:
    // Colours box, which owns the highlighter.
    explicit PatternHighlighter(TextBox *box);
    ~PatternHighlighter() override;

    // With on, the box's line breaks are no part of the pattern.
    void setIgnoreLineBreaks(bool on);
    // Reads the pattern now and shows the reading before returning, instead of after the pause.
    void scanNow();

    // A lint warning to mark: document positions [start, end) and its line of text.
    struct WarningMark
    {
        int start;
        int end;
        QString text;
        bool operator==(const WarningMark &) const = default;
    };
    // Marks the warnings with a dotted underline of their own and their text in the tooltip.
    void setWarnings(std::vector<WarningMark> warnings);

    // The tooltip for the character at document position position: the error, a warning, a
    // group number, or nothing.
    QString toolTipAt(int position) const;
    // The pattern's error as the status line shows it ("Error 5019 at character 4: ..."); empty
    // while the pattern is valid.
    QString firstError() const;
    // The document positions marked as the error, and as the bracket pair at the caret.
    std::vector<int> errorMarks() const { return m_reading.errorMarks; }
    std::vector<int> bracketMarks() const { return m_bracketMarks; }
    // The capturing groups of the pattern as last read.
    int groupCount() const;
    // The look of the brackets of group number (1-based).
    const QTextCharFormat &groupFormat(int number) const
    {
        return m_groupFormats[static_cast<std::size_t>((number - 1) % Shades::GroupHues)];
    }
    // The look of a kind. An identity escape shows its backslash so, its character as a
    // literal.
    const QTextCharFormat &formatFor(engine::TokenKind kind) const
    {
        return m_formats[static_cast<std::size_t>(kind)];
    }

    static constexpr int PauseMs = 300;
    // The format property that marks a capturing group's bracket (its colour's place in the
    // cycle of group colours, from 1).
    static constexpr int GroupNumberProperty = QTextFormat::UserProperty + 1;
    // The format property of the marks laid over the colours (the error, the bracket pair).
    static constexpr int MarkProperty = QTextFormat::UserProperty + 2;
    // Edited blocks with more format ranges than this stay plain until the next reading.
    static constexpr int DenseBlock = 256;

Q_SIGNALS:
    // A reading is shown.
    void readingShown();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void contentsChanged(int position, int removed, int added);
    // Starts a reading of the pattern as it is now.
    void scan();
    // Shows a finished reading, unless the pattern changed since it started.
    void readingDone();
    void caretMoved();
    void updateFormats();
    // Re-colours the blocks holding the given document positions (in order).
    void recolour(const std::vector<int> &positions);
    void recolourAll();
    // The block's formats from the reading and the marks; laid out again when they changed.
    void colourBlock(const QTextBlock &block);
    QList<QTextLayout::FormatRange> formatsOf(const QTextBlock &block) const;
    // The start of every block whose spans differ between before and the reading shown.
    std::vector<int> spansChanged(const std::vector<PatternReading::Span> &before) const;
    const PatternReading::Bracket *bracketAt(int position) const;
    // The group whose bracket (opening or closing) is at position; 0 for none.
    int groupBracketAt(int position) const;
    void findGroupBrackets();

    TextBox *m_box;
    QPointer<QTextDocument> m_document;
    QTimer m_pause;
    bool m_ignoreLineBreaks = false;
    QThreadPool m_thread; // one thread, kept: readings follow each other
    QFutureWatcher<PatternReading> m_worker;
    bool m_readingPending = false; // m_worker has a reading not yet shown or dropped
    bool m_rescan = false;         // the pause ended while a reading was running
    int m_revision = 0;            // counts edits and option changes
    int m_readingRevision = 0;     // m_revision when the running reading started
    PatternReading m_reading;      // shown; spans and marks moved with edits since
    std::vector<int> m_bracketMarks;
    // The brackets of capturing groups with their numbers, by position.
    std::vector<std::pair<int, int>> m_groupBrackets;
    std::vector<int> m_plain; // in blocks left plain by an edit until the next reading
    std::array<QTextCharFormat, 10> m_formats; // by engine::TokenKind
    QTextCharFormat m_bracketFormat;
    QTextCharFormat m_errorFormat;
    std::vector<WarningMark> m_warnings;
    QTextCharFormat m_warningFormat;
    std::array<QTextCharFormat, Shades::GroupHues> m_groupFormats;
};
