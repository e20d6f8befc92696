#include "ui/main/resultstreewidget.h"

#include "support/suresources.h"
#include "ui/main/imagelist.h"
#include "ui/main/shades.h"
#include "ui/shiftstate.h"
#include "ui/twips.h"

#include <QCommonStyle>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOption>

namespace {

// The application's style, with the branch indicators of the common style: dotted lines that
// join the nodes and plus/minus boxes.
class TreeLinesStyle : public QProxyStyle
{
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget) const override
    {
        if (element == PE_IndicatorBranch) {
            m_lines.drawPrimitive(element, option, painter, widget);
            return;
        }
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

private:
    QCommonStyle m_lines;
};

} // namespace

ResultsTreeWidget::ResultsTreeWidget(QWidget *parent)
    : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
}

void ResultsTreeWidget::setOutOfDate(bool outOfDate)
{
    if (outOfDate == m_outOfDate)
        return;
    m_outOfDate = outOfDate;
    if (!outOfDate) {
        setPalette(m_upToDate);
        return;
    }
    m_upToDate = palette();
    QPalette grey = m_upToDate;
    grey.setColor(QPalette::Text, Shades(m_upToDate).staleText());
    setPalette(grey);
}

void ResultsTreeWidget::setImageList(const ImageList *list)
{
    m_imageList = list;
}

void ResultsTreeWidget::showTreeLines()
{
    auto *style = new TreeLinesStyle;
    style->setParent(this);
    setStyle(style);
}

QStringList ResultsTreeWidget::resultIconKeys()
{
    QStringList keys;
    for (QStringView group : {u"IDI_MATCH", u"IDI_SUBMATCH"}) {
        keys.append(group.toString());
        for (int digit = 1; digit <= 9; ++digit)
            keys.append(group.toString() + u'_' + QString::number(digit));
    }
    keys << QStringLiteral("IDI_INFO") << QStringLiteral("IDI_WARNING");
    return keys;
}

void ResultsTreeWidget::initLook(ImageList *icons)
{
    icons->clear();
    for (const QString &key : resultIconKeys())
        icons->add(key, suLoadResIconSmall(key, devicePixelRatio()));

    setImageList(icons);
    setIconSize(QSize(16, 16));
    setFrameShape(QFrame::NoFrame);
    QPalette colours = palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
        colours.setBrush(QPalette::Inactive, role, colours.brush(QPalette::Active, role));
    setPalette(colours);
    setIndentation(Twips::toPixels(300));
    setRootIsDecorated(true);
    showTreeLines();
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTextElideMode(Qt::ElideNone);
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
}

void ResultsTreeWidget::TreeKeyDown(int &key, int &shift)
{
    if (key != Qt::Key_Left || shift != 0)
        return;
    const QList<QTreeWidgetItem *> selected = selectedItems();
    QTreeWidgetItem *node = selected.isEmpty() ? nullptr : selected.first();
    if (!node) {
        // Nothing to move from; the view would select a node of its own choosing.
        key = 0;
        shift = 0;
        return;
    }
    // The view's own handling acts on the current node: let that be the selected one.
    if (currentItem() != node)
        setCurrentItem(node);
    if (!node->parent())
        return;
    if (node->childCount() > 0 && node->isExpanded())
        return;
    QTreeWidgetItem *parent = node->parent();
    setCurrentItem(parent);
    scrollToItem(parent);
    key = 0;
    shift = 0;
}

void ResultsTreeWidget::keyPressEvent(QKeyEvent *event)
{
    int key = event->key();
    int shift = shiftState(event->modifiers());
    TreeKeyDown(key, shift);
    if (key == 0) {
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void ResultsTreeWidget::setEmptyHint(const QString &text)
{
    m_emptyHint = text;
    viewport()->update();
}

void ResultsTreeWidget::paintEvent(QPaintEvent *event)
{
    QTreeWidget::paintEvent(event);
    if (m_emptyHint.isEmpty() || topLevelItemCount() > 0)
        return;
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::PlaceholderText));
    const int margin = fontMetrics().averageCharWidth();
    painter.drawText(viewport()->rect().adjusted(margin, margin / 2, -margin, 0),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_emptyHint);
}
