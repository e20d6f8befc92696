#include "ui/main/explanationpanel.h"

#include "support/clipboardtext.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int StartRole = Qt::UserRole;
constexpr int LengthRole = Qt::UserRole + 1;
constexpr int WarningRole = Qt::UserRole + 2; // index into the lint's warnings
// Longest excerpt of the pattern shown for a piece.
constexpr int ExcerptLength = 40;

QString excerpt(const QString &pattern, int start, int length)
{
    const QString text = pattern.mid(start, length);
    return text.size() <= ExcerptLength ? text
                                        : text.left(ExcerptLength - 3) + QStringLiteral("...");
}

QString fromEngine(const std::u16string &s)
{
    return QString::fromStdU16String(s);
}

// Breaks text into lines of at most width characters after prefix, at spaces where it can;
// later lines get prefix plus four spaces.
void appendWrapped(QString &out, const QString &prefix, QString text, int width)
{
    QString lead = prefix;
    while (true) {
        const int room = std::max(width - static_cast<int>(lead.size()), 10);
        if (text.size() <= room) {
            out += lead + text + QStringLiteral("\r\n");
            return;
        }
        int cut = text.lastIndexOf(u' ', room);
        if (cut <= 0)
            cut = room;
        out += lead + text.left(cut).trimmed() + QStringLiteral("\r\n");
        text = text.mid(cut).trimmed();
        lead = prefix + QStringLiteral("    ");
    }
}

void appendComments(QString &out, const QString &pattern,
                    const std::vector<engine::ExplainNode> &nodes, int depth, int width)
{
    for (const engine::ExplainNode &n : nodes) {
        // Deep nesting stops indenting further, so that every line keeps room for text.
        const QString prefix = QStringLiteral("' ") + QString(std::min(2 * depth, 40), u' ');
        const QString piece = excerpt(pattern, n.start, n.length);
        appendWrapped(out, prefix,
                      (piece.isEmpty() ? QString() : piece + QStringLiteral("  ")) +
                          fromEngine(n.text),
                      width);
        appendComments(out, pattern, n.children, depth + 1, width);
    }
}

} // namespace

ExplanationPanel::ExplanationPanel(QWidget *parent)
    : QWidget(parent)
    , m_warnings(new QListWidget(this))
    , m_apply(new QPushButton(tr("Use the suggestion"), this))
    , m_copy(new QPushButton(tr("Copy as comments"), this))
    , m_tree(new QTreeWidget(this))
{
    setObjectName(QStringLiteral("explanationPanel"));
    m_warnings->setObjectName(QStringLiteral("lstWarnings"));
    m_apply->setObjectName(QStringLiteral("cmdUseSuggestion"));
    m_copy->setObjectName(QStringLiteral("cmdCopyAsComments"));
    m_tree->setObjectName(QStringLiteral("treExplanation"));
    m_tree->setHeaderLabels({tr("Pattern"), tr("What it does here")});
    m_tree->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_tree->setUniformRowHeights(true);
    // Warnings wrap: a line of them says what to write instead.
    m_warnings->setMaximumHeight(fontMetrics().height() * 7);
    m_warnings->setWordWrap(true);
    m_warnings->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_warnings->setResizeMode(QListView::Adjust);
    const int icon = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    m_warnings->setIconSize(QSize(icon, icon));
    m_apply->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_apply);
    buttons->addStretch();
    buttons->addWidget(m_copy);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(m_warnings);
    layout->addLayout(buttons);
    layout->addWidget(m_tree, 1);

    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        if (item && !m_following)
            Q_EMIT spanSelected(item->data(0, StartRole).toInt(),
                                item->data(0, LengthRole).toInt());
    });
    connect(m_warnings, &QListWidget::currentRowChanged, this,
            &ExplanationPanel::currentWarningChanged);
    connect(m_apply, &QPushButton::clicked, this, &ExplanationPanel::applySuggestion);
    connect(m_copy, &QPushButton::clicked, this, &ExplanationPanel::copyAsComments);
}

QSize ExplanationPanel::sizeHint() const
{
    return {fontMetrics().averageCharWidth() * 56, QWidget::sizeHint().height()};
}

void ExplanationPanel::showReading(const QString &pattern, const engine::Explanation &explanation,
                                   const engine::LintResult &lint)
{
    m_pattern = pattern;
    m_explanation = explanation;
    m_lint = lint;
    const QSignalBlocker blockTree(m_tree);
    const QSignalBlocker blockList(m_warnings);
    m_tree->clear();
    m_warnings->clear();
    if (!explanation.valid()) {
        auto *error = new QTreeWidgetItem(m_tree);
        error->setText(0, excerpt(pattern, explanation.errorPosition, 1));
        error->setText(1, tr("Error %1: %2 (at %3)")
                              .arg(explanation.errorNumber)
                              .arg(fromEngine(explanation.errorDescription))
                              .arg(explanation.errorPosition));
        error->setIcon(0, style()->standardIcon(QStyle::SP_MessageBoxCritical));
        error->setData(0, StartRole, explanation.errorPosition);
        error->setData(0, LengthRole, 1);
    }
    addNodes(m_tree->invisibleRootItem(), explanation.nodes);
    m_tree->expandAll();
    markWarnings();
    m_warnings->setCurrentRow(-1); // no warning chosen until the person chooses one
    m_tree->setCurrentItem(nullptr);
    m_warnings->setVisible(!lint.warnings.empty());
    m_apply->setVisible(!lint.warnings.empty());
    m_apply->setEnabled(false);
    m_copy->setEnabled(explanation.valid());
}

void ExplanationPanel::addNodes(QTreeWidgetItem *parent,
                                const std::vector<engine::ExplainNode> &nodes)
{
    for (const engine::ExplainNode &n : nodes) {
        auto *item = new QTreeWidgetItem(parent);
        item->setText(0, excerpt(m_pattern, n.start, n.length));
        item->setText(1, fromEngine(n.text));
        item->setToolTip(1, fromEngine(n.text));
        item->setData(0, StartRole, n.start);
        item->setData(0, LengthRole, n.length);
        addNodes(item, n.children);
    }
}

void ExplanationPanel::markWarnings()
{
    const QIcon icon = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (std::size_t i = 0; i < m_lint.warnings.size(); ++i) {
        const engine::Warning &w = m_lint.warnings[i];
        auto *entry = new QListWidgetItem(icon, fromEngine(w.text), m_warnings);
        entry->setToolTip(fromEngine(w.text));
        entry->setData(WarningRole, static_cast<int>(i));
        if (QTreeWidgetItem *item = deepestAt(w.start, false)) {
            item->setIcon(0, icon);
            const QString tip = item->toolTip(0);
            item->setToolTip(0, (tip.isEmpty() ? QString() : tip + u'\n') + fromEngine(w.text));
        }
    }
}

QTreeWidgetItem *ExplanationPanel::deepestAt(int offset, bool caret) const
{
    QTreeWidgetItem *found = nullptr;
    QTreeWidgetItem *level = m_tree->invisibleRootItem();
    for (bool deeper = true; deeper;) {
        deeper = false;
        for (int i = 0; i < level->childCount(); ++i) {
            QTreeWidgetItem *item = level->child(i);
            const int start = item->data(0, StartRole).toInt();
            const int end = start + item->data(0, LengthRole).toInt();
            // The caret after a piece's last character still stands in it.
            const bool inside = offset >= start && (offset < end || (caret && offset == end));
            if (inside) {
                found = item;
                level = item;
                deeper = true;
                break;
            }
        }
    }
    return found;
}

void ExplanationPanel::selectAt(int offset)
{
    QTreeWidgetItem *item = deepestAt(offset, false);
    if (!item)
        item = deepestAt(offset, true);
    if (!item || item == m_tree->currentItem())
        return;
    m_following = true;
    m_tree->setCurrentItem(item);
    m_tree->scrollToItem(item);
    m_following = false;
}

void ExplanationPanel::currentWarningChanged()
{
    const QListWidgetItem *entry = m_warnings->currentItem();
    if (!entry) {
        m_apply->setEnabled(false);
        return;
    }
    const engine::Warning &w =
        m_lint.warnings[static_cast<std::size_t>(entry->data(WarningRole).toInt())];
    m_apply->setEnabled(w.replacement.has_value());
    m_apply->setToolTip(w.replacement
                            ? tr("Write %1 in place of %2")
                                  .arg(fromEngine(*w.replacement), m_pattern.mid(w.start, w.length))
                            : QString());
    Q_EMIT spanSelected(w.start, w.length);
}

void ExplanationPanel::applySuggestion()
{
    const QListWidgetItem *entry = m_warnings->currentItem();
    if (!entry)
        return;
    const engine::Warning &w =
        m_lint.warnings[static_cast<std::size_t>(entry->data(WarningRole).toInt())];
    if (w.replacement)
        Q_EMIT replacementChosen(w.start, w.length, fromEngine(*w.replacement));
}

void ExplanationPanel::copyAsComments()
{
    ClipboardText::instance().SetText(commentsFor(m_pattern, m_explanation));
}

QString ExplanationPanel::commentsFor(const QString &pattern,
                                      const engine::Explanation &explanation, int width)
{
    QString out;
    appendWrapped(out, QStringLiteral("' "), QStringLiteral("Pattern: ") + pattern, width);
    appendComments(out, pattern, explanation.nodes, 0, width);
    return out;
}
