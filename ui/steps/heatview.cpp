#include "ui/steps/heatview.h"

#include <QFontDatabase>
#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Margin = 4;
// The strongest shade: how far from the base colour towards the highlight.
constexpr double Strongest = 0.85;
// The end cell's width in characters, after a gap of one.
constexpr int EndCells = 3;

double luminance(const QColor &c)
{
    const auto channel = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

QColor mix(const QColor &a, const QColor &b, double t)
{
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

} // namespace

HeatView::HeatView(QWidget *parent)
    : QWidget(parent)
{
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    setFont(fixed);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void HeatView::showCounts(const QString &pattern, const std::vector<engine::TracePart> &parts,
                          std::uint64_t total)
{
    m_pattern = pattern;
    m_parts = parts;
    m_total = total;
    m_hottest = 0;
    m_partOfCell.assign(static_cast<std::size_t>(pattern.size()) + 1, -1);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const engine::TracePart &p = parts[i];
        m_hottest = std::max(m_hottest, p.steps);
        if (p.length == 0 && p.start == pattern.size())
            m_partOfCell.back() = static_cast<int>(i);
        for (int c = p.start; c < p.start + p.length && c < pattern.size(); ++c)
            m_partOfCell[static_cast<std::size_t>(c)] = static_cast<int>(i);
    }
    updateGeometry();
    update();
}

void HeatView::clear()
{
    showCounts({}, {}, 0);
    m_partOfCell.clear();
    update();
}

int HeatView::partAt(int index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_partOfCell.size())
        return -1;
    return m_partOfCell[static_cast<std::size_t>(index)];
}

QString HeatView::partTip(int part) const
{
    const engine::TracePart &p = m_parts[static_cast<std::size_t>(part)];
    const QString what =
        p.length == 0 ? tr("The pattern's end")
                      : QStringLiteral("\u201C%1\u201D").arg(m_pattern.mid(p.start, p.length));
    const double share = m_total ? 100.0 * static_cast<double>(p.steps) / m_total : 0;
    return (p.steps == 1 ? tr("%1: %2 step (%3% of %4)") : tr("%1: %2 steps (%3% of %4)"))
        .arg(what, QLocale().toString(static_cast<qulonglong>(p.steps)),
             QLocale().toString(share, 'f', 1),
             QLocale().toString(static_cast<qulonglong>(m_total)));
}

int HeatView::hottestPart() const
{
    if (m_parts.empty())
        return -1;
    const auto most = std::max_element(
        m_parts.begin(), m_parts.end(),
        [](const engine::TracePart &a, const engine::TracePart &b) { return a.steps < b.steps; });
    return static_cast<int>(most - m_parts.begin());
}

HeatView::Shade HeatView::shade(const QPalette &palette, double share)
{
    const QColor background = mix(palette.color(QPalette::Base), palette.color(QPalette::Highlight),
                                  std::clamp(share, 0.0, 1.0) * Strongest);
    const QColor text = palette.color(QPalette::Text);
    const QColor onHighlight = palette.color(QPalette::HighlightedText);
    return {background,
            contrast(text, background) >= contrast(onHighlight, background) ? text : onHighlight};
}

double HeatView::contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QSize HeatView::cellSize() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(QLatin1Char('M')), metrics.height() + 2};
}

int HeatView::columns(int width) const
{
    return std::max(1, (width - 2 * Margin) / cellSize().width());
}

int HeatView::heightForWidth(int width) const
{
    const int cells = static_cast<int>(m_pattern.size()) + 1 + EndCells;
    const int lines = (cells + columns(width) - 1) / columns(width);
    return 2 * Margin + std::max(1, lines) * cellSize().height();
}

QSize HeatView::sizeHint() const
{
    return {200, heightForWidth(200)};
}

int HeatView::cellAt(QPoint point) const
{
    const QSize cell = cellSize();
    const int column = (point.x() - Margin) / cell.width();
    const int line = (point.y() - Margin) / cell.height();
    if (point.x() < Margin || point.y() < Margin || column >= columns(width()))
        return -1;
    const int index = line * columns(width()) + column;
    if (index < m_pattern.size())
        return index;
    const bool inEnd = index > m_pattern.size() && index <= m_pattern.size() + EndCells;
    return inEnd ? static_cast<int>(m_pattern.size()) : -1;
}

void HeatView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Base));
    if (m_partOfCell.empty())
        return;
    const QSize cell = cellSize();
    const int perLine = columns(width());
    const auto paintCell = [&](int index, int span, const QString &text) {
        const QRect box(Margin + (index % perLine) * cell.width(),
                        Margin + (index / perLine) * cell.height(), span * cell.width(),
                        cell.height());
        const int part = partAt(std::min(index, static_cast<int>(m_pattern.size())));
        double share = 0;
        if (part >= 0 && m_hottest)
            share = static_cast<double>(m_parts[static_cast<std::size_t>(part)].steps) /
                    static_cast<double>(m_hottest);
        const Shade s = shade(palette(), share);
        painter.fillRect(box, s.background);
        painter.setPen(s.text);
        painter.drawText(box, Qt::AlignCenter, text);
    };
    for (int i = 0; i < m_pattern.size(); ++i)
        paintCell(i, 1, m_pattern.mid(i, 1));
    paintCell(static_cast<int>(m_pattern.size()) + 1, EndCells, tr("end"));
}

bool HeatView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int part = partAt(cellAt(help->pos()));
        if (part >= 0)
            QToolTip::showText(help->globalPos(), partTip(part), this);
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}
