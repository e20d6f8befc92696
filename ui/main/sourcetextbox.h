#pragma once
// The source box: a TextBox that shows the matches of the last Execute under its text, every
// match with a soft background, its groups with a second shade and the current match strongest.
// Only the visible lines are painted, so the cost follows the screen, not the number of
// matches. Showing them changes nothing of the text, its undo steps or its modified state.

#include "ui/main/textbox.h"
#include "ui/main/textboxoffsets.h"

#include <QColor>

#include <optional>

class MatchPositions;
class QTextLayout;

class SourceTextBox : public TextBox
{
    Q_OBJECT

public:
    explicit SourceTextBox(QWidget *parent = nullptr);
    ~SourceTextBox() override;

    // Shows the matches at positions, which must be those of the current text (not owned; kept
    // until the next call). Null shows none.
    void showMatches(const MatchPositions *positions);
    // The match shown strongest; -1 for none.
    void setCurrentMatch(int match);
    // Text() offsets and document positions of the current text.
    const TextBoxOffsets &offsets() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    struct Shades
    {
        QColor match;
        QColor current;
        QColor group;
        QColor currentGroup;
    };
    // Paints the spans that reach the lines of block within clip; topLeft is where the block
    // is drawn.
    void paintBlock(QPainter &painter, const QTextBlock &block, QPointF topLeft, const QRect &clip,
                    const Shades &shades);
    Shades shades() const;

    const MatchPositions *m_positions = nullptr;
    int m_current = -1;
    // Built on first use after a change of the text.
    mutable std::optional<TextBoxOffsets> m_offsets;
};
