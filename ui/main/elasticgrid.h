#pragma once
// The elastic container: places its children on a grid of equal rows and columns whenever its
// size changes. Grid lines lie 2 pixels inside the edges (line k of n at 2 + k * (E - 4) / n
// pixels), and each child is inset 2 pixels from the lines that bound its cells; fractions are
// dropped.

#include <QList>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>

struct GridCells
{
    int row = 0; // 0-based
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
};

class ElasticGrid : public QWidget
{
    Q_OBJECT

public:
    ElasticGrid(int rows, int columns, QWidget *parent = nullptr);

    // Places child (a child widget of this container) on these cells from now on.
    void setCells(QWidget *child, GridCells cells);
    // Applies the grid to the children at the current size.
    void arrange();

    int rows() const { return m_rows; }
    int columns() const { return m_columns; }

    // The rectangle, in pixels, of a child on these cells of a container of this size; an
    // extent that comes out negative is 0.
    static QRect cellRect(QSize container, int rows, int columns, GridCells cells);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int m_rows;
    int m_columns;
    struct Placed
    {
        QPointer<QWidget> child;
        GridCells cells;
    };
    QList<Placed> m_placed;
};
