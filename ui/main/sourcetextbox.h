#pragma once
// The source box: a TextBox that shows the matches of the last run under its text. Consecutive
// matches alternate between two fills, each group has a bar of its own hue under its text
// (nested groups one row lower), and the current match or the selected submatch is framed; a
// gap of the background keeps neighbouring shades apart (colours: Shades). Only the visible
// lines are painted, so the cost follows the screen, not the number of matches. Showing them
// changes nothing of the text, its undo steps or its modified state.

#include "ui/main/textbox.h"
#include "ui/main/textboxoffsets.h"

#include <optional>

class MatchPositions;
class QTextLayout;
class Shades;

class SourceTextBox : public TextBox
{
    Q_OBJECT

public:
    explicit SourceTextBox(QWidget *parent = nullptr);
    ~SourceTextBox() override;

    // Shows the matches at positions, which must be those of the current text (not owned; kept
    // until the next call). Null shows none.
    void showMatches(const MatchPositions *positions);
    // The match framed, or with group > 0 that group of it; match -1 frames none.
    void setCurrentMatch(int match, int group = 0);
    // Shows the matches in grey: the work changed since the run that found them.
    void setOutOfDate(bool outOfDate);
    bool isOutOfDate() const { return m_outOfDate; }
    // Text() offsets and document positions of the current text.
    const TextBoxOffsets &offsets() const;

    // Rows of group bars under the lines: nested groups go one row lower, up to this many.
    static constexpr int MaxBarRows = 3;
    // The nesting depth of group g of match m (0 for a group inside no other group).
    static int groupDepth(const MatchPositions &positions, int match, int group);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The sizes of the marks in the box's font.
    struct Metrics
    {
        qreal bar;   // thickness of a group bar and of the frame
        qreal gap;   // background kept between neighbouring shades
        qreal strip; // height under each line taken by the group bars
        qreal breakWidth;
    };
    enum class Layer
    {
        Fills, // under the text
        Frame  // over it
    };
    // Paints the spans of layer that reach the lines of block within clip; topLeft is where the
    // block is drawn.
    void paintBlock(QPainter &painter, const QTextBlock &block, QPointF topLeft, const QRect &clip,
                    const Shades &shades, const Metrics &metrics, Layer layer);
    void paintVisible(QPainter &painter, const QRect &clip, Layer layer);
    Metrics metrics() const;

    const MatchPositions *m_positions = nullptr;
    int m_current = -1;
    int m_currentGroup = 0;
    int m_barRows = 0;
    bool m_outOfDate = false;
    // Built on first use after a change of the text.
    mutable std::optional<TextBoxOffsets> m_offsets;
};
