#pragma once
// The heat view of a trace: the pattern drawn in a fixed-pitch font, each part shaded by its
// share of the steps (the hottest part darkest), and a last cell for the pattern's end. A part's
// tooltip gives its steps and its share of the total, so that nothing is told by colour alone.
// Colours come from the palette; each shade's text keeps a contrast of at least 4.5:1.

#include "runner/engine/trace.h"

#include <QColor>
#include <QWidget>

#include <vector>

class HeatView : public QWidget
{
    Q_OBJECT

public:
    explicit HeatView(QWidget *parent = nullptr);

    // Shows the counts of parts (those of a trace of pattern) out of total steps.
    void showCounts(const QString &pattern, const std::vector<engine::TracePart> &parts,
                    std::uint64_t total);
    void clear();

    // The part under the character at index of the pattern (the pattern's length for the end
    // cell), or -1.
    int partAt(int index) const;
    // The tooltip of a part.
    QString partTip(int part) const;
    // The part with the most steps, or -1.
    int hottestPart() const;

    // Background and text of a part with share (0 to 1) of the hottest part's steps.
    struct Shade
    {
        QColor background;
        QColor text;
    };
    static Shade shade(const QPalette &palette, double share);
    // The contrast ratio of two colours (1 to 21).
    static double contrast(const QColor &a, const QColor &b);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    // Cells per line at width; the character index under a point, or -1.
    int columns(int width) const;
    int cellAt(QPoint point) const;
    QSize cellSize() const;

    QString m_pattern;
    std::vector<engine::TracePart> m_parts;
    std::vector<int> m_partOfCell; // per character, and the end cell last
    std::uint64_t m_total = 0;
    std::uint64_t m_hottest = 0;
};
