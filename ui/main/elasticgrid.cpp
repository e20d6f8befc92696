#include "ui/main/elasticgrid.h"

#include <QResizeEvent>

#include <algorithm>
#include <utility>

namespace {

constexpr int LineInset = 2;  // grid lines from the container's edges
constexpr int ChildInset = 2; // children from their bounding lines

// floor(a / b) for b > 0.
int floorDiv(long long a, int b)
{
    long long q = a / b;
    if (a % b != 0 && a < 0)
        --q;
    return int(q);
}

// The start and extent of cells [first, first + span) on an axis of extent pixels.
std::pair<int, int> axisRange(int extent, int cells, int first, int span)
{
    const int inner = extent - 2 * LineInset;
    // Lines at LineInset + k * inner / cells; the child starts ChildInset after its first line
    // and ends ChildInset before its last, and both edges drop the fraction.
    const int start = LineInset + ChildInset + floorDiv(1LL * first * inner, cells);
    const int end = LineInset - ChildInset + floorDiv(1LL * (first + span) * inner, cells);
    return {start, std::max(0, end - start)};
}

} // namespace

ElasticGrid::ElasticGrid(int rows, int columns, QWidget *parent)
    : QWidget(parent)
    , m_rows(std::max(1, rows))
    , m_columns(std::max(1, columns))
{}

void ElasticGrid::setCells(QWidget *child, GridCells cells)
{
    if (!child || child->parentWidget() != this)
        return;
    auto same = [child](const Placed &placed) { return placed.child == child; };
    m_placed.removeIf(same);
    m_placed.append({child, cells});
    child->setGeometry(cellRect(size(), m_rows, m_columns, cells));
}

void ElasticGrid::arrange()
{
    for (const Placed &placed : std::as_const(m_placed)) {
        if (placed.child)
            placed.child->setGeometry(cellRect(size(), m_rows, m_columns, placed.cells));
    }
}

QRect ElasticGrid::cellRect(QSize container, int rows, int columns, GridCells cells)
{
    const auto [left, width] =
        axisRange(container.width(), columns, cells.column, cells.columnSpan);
    const auto [top, height] = axisRange(container.height(), rows, cells.row, cells.rowSpan);
    return {left, top, width, height};
}

void ElasticGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrange();
}
