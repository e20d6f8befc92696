#include "ui/samples/samplespanel.h"

#include "samples/sampleset.h"
#include "support/clipboardtext.h"
#include "support/messagebox.h"
#include "ui/samples/sampledelegate.h"
#include "ui/samples/sampledetail.h"
#include "ui/samples/sampleedits.h"
#include "ui/samples/samplesmodel.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTableView>
#include <QToolButton>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QToolButton *makeButton(const QString &name, const QString &text, const QString &tip,
                        QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setAutoRaise(true);
    return button;
}

// The lines of a pasted text; a line break at its very end starts no line.
QStringList pastedLines(const QString &text)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    QStringList lines = text.split(lineBreak);
    if (lines.size() > 1 && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

Sample textSample(const QString &text)
{
    Sample sample;
    sample.text = text;
    return sample;
}

} // namespace

SamplesPanel::SamplesPanel(SampleSet &samples, ModalHost &modal, QWidget *parent)
    : QWidget(parent)
    , m_samples(samples)
    , m_modal(modal)
    , m_model(new SamplesModel(samples, this))
    , m_undo(new QUndoStack(this))
{
    setObjectName(QStringLiteral("SamplesPanel"));

    cmdAddSample = makeButton(QStringLiteral("cmdAddSample"), QStringLiteral("&Add"),
                              QStringLiteral("Add an empty sample"), this);
    cmdAddSource = makeButton(QStringLiteral("cmdAddSource"), QStringLiteral("Add the &source"),
                              QStringLiteral("Add the source as a sample, with what the pattern "
                                             "gives on it now"),
                              this);
    cmdRemoveSample = makeButton(QStringLiteral("cmdRemoveSample"), QStringLiteral("Re&move"),
                                 QStringLiteral("Remove the selected samples (Del)"), this);
    cmdUndo = makeButton(QStringLiteral("cmdUndo"), QStringLiteral("&Undo"), {}, this);
    cmdRedo = makeButton(QStringLiteral("cmdRedo"), QStringLiteral("&Redo"), {}, this);
    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));

    tblSamples = new QTableView(this);
    tblSamples->setObjectName(QStringLiteral("tblSamples"));
    tblSamples->setModel(m_model);
    tblSamples->setItemDelegate(new SampleDelegate(tblSamples));
    tblSamples->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblSamples->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed |
                                QAbstractItemView::SelectedClicked);
    tblSamples->setWordWrap(false);
    tblSamples->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    tblSamples->horizontalHeader()->setSectionResizeMode(SamplesModel::TextColumn,
                                                         QHeaderView::Stretch);
    // The verdict beside the text, where a narrow panel still shows it.
    tblSamples->horizontalHeader()->moveSection(SamplesModel::VerdictColumn, 1);
    for (int column : {SamplesModel::MatchColumn, SamplesModel::GroupColumn})
        tblSamples->setColumnWidth(column,
                                   fontMetrics().horizontalAdvance(QStringLiteral("Group")) + 16);
    tblSamples->installEventFilter(this);

    detail = new SampleDetail(this);

    auto *buttons = new QHBoxLayout;
    for (QToolButton *button : {cmdAddSample, cmdAddSource, cmdRemoveSample, cmdUndo, cmdRedo})
        buttons->addWidget(button);
    buttons->addStretch(1);
    buttons->addWidget(lblSummary);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(tblSamples, 1);
    layout->addWidget(detail);

    connect(cmdAddSample, &QToolButton::clicked, this, &SamplesPanel::addEmptyRow);
    connect(cmdAddSource, &QToolButton::clicked, this, &SamplesPanel::addSourceRequested);
    connect(cmdRemoveSample, &QToolButton::clicked, this, &SamplesPanel::removeSelected);
    connect(cmdUndo, &QToolButton::clicked, m_undo, &QUndoStack::undo);
    connect(cmdRedo, &QToolButton::clicked, m_undo, &QUndoStack::redo);
    connect(m_undo, &QUndoStack::canUndoChanged, cmdUndo, &QToolButton::setEnabled);
    connect(m_undo, &QUndoStack::canRedoChanged, cmdRedo, &QToolButton::setEnabled);
    cmdUndo->setEnabled(false);
    cmdRedo->setEnabled(false);

    connect(m_model, &SamplesModel::editRequested, this, [this](int row, const Sample &sample) {
        m_undo->push(new ChangeSample(m_samples, row, sample));
    });
    connect(&samples, &SampleSet::wasReset, m_undo, &QUndoStack::clear);
    connect(m_model, &QAbstractItemModel::modelReset, this, &SamplesPanel::updateSummary);
    connect(m_model, &QAbstractItemModel::dataChanged, this, [this] {
        updateSummary();
        showCurrent();
    });
    connect(m_model, &QAbstractItemModel::rowsInserted, this, &SamplesPanel::updateSummary);
    connect(m_model, &QAbstractItemModel::rowsRemoved, this, &SamplesPanel::updateSummary);
    connect(tblSamples->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &SamplesPanel::showCurrent);
    updateSummary();
}

void SamplesPanel::setVerdicts(std::vector<SampleVerdict> verdicts)
{
    m_model->setVerdicts(std::move(verdicts));
    updateSummary();
    showCurrent();
}

QString SamplesPanel::summary() const
{
    return m_summary;
}

void SamplesPanel::updateSummary()
{
    QString summary;
    if (m_samples.count() == 0) {
        summary = QStringLiteral("No samples");
    } else if (m_model->verdict(0)) {
        SampleTotals totals;
        for (int row = 0; row < m_model->rowCount(); ++row)
            ++(m_model->verdict(row)->passed ? totals.passed : totals.failed);
        summary = summaryText(totals);
    }
    if (summary == m_summary)
        return;
    m_summary = summary;
    lblSummary->setText(summary);
    Q_EMIT summaryChanged(summary);
}

void SamplesPanel::showCurrent()
{
    const int row = tblSamples->currentIndex().row();
    if (row < 0 || row >= m_model->rowCount()) {
        detail->clear();
        return;
    }
    detail->show(m_samples.at(row), m_model->verdict(row));
}

void SamplesPanel::addEmptyRow()
{
    const int current = tblSamples->currentIndex().row();
    const int row = current < 0 ? int(m_samples.count()) : current + 1;
    m_undo->push(new InsertSamples(m_samples, row, {textSample({})}));
    const QModelIndex text = m_model->index(row, SamplesModel::TextColumn);
    tblSamples->setCurrentIndex(text);
    tblSamples->edit(text);
}

void SamplesPanel::addSample(const Sample &sample)
{
    const int row = int(m_samples.count());
    m_undo->push(new InsertSamples(m_samples, row, {sample}));
    tblSamples->setCurrentIndex(m_model->index(row, SamplesModel::TextColumn));
}

void SamplesPanel::pasteText(const QString &text)
{
    if (text.isEmpty())
        return;
    const QStringList lines = pastedLines(text);
    QList<Sample> samples;
    if (lines.size() > 1) {
        const QString question = u"The pasted text has " + QString::number(lines.size()) +
                                 u" lines.\r\n\r\nMake one sample of each line?";
        switch (MsgBox(m_modal, question, MsgBoxStyle::YesNoCancelQuestion)) {
        case MsgBoxButton::Yes:
            for (const QString &line : lines)
                samples.append(textSample(line));
            break;
        case MsgBoxButton::No:
            samples.append(textSample(text));
            break;
        default:
            return;
        }
    } else {
        samples.append(textSample(text));
    }
    const int row = int(m_samples.count());
    m_undo->push(new InsertSamples(m_samples, row, samples));
    tblSamples->setCurrentIndex(m_model->index(row, SamplesModel::TextColumn));
}

void SamplesPanel::removeSelected()
{
    QList<int> rows;
    for (const QModelIndex &index : tblSamples->selectionModel()->selectedRows())
        rows.append(index.row());
    if (rows.isEmpty() && tblSamples->currentIndex().isValid())
        rows.append(tblSamples->currentIndex().row());
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    m_undo->beginMacro(QStringLiteral("remove samples"));
    // From the bottom up, in runs of neighbouring rows, so the rows above keep their numbers.
    for (qsizetype i = 0; i < rows.size();) {
        qsizetype end = i + 1;
        while (end < rows.size() && rows.at(end) == rows.at(end - 1) - 1)
            ++end;
        m_undo->push(new RemoveSamples(m_samples, rows.at(end - 1), end - i));
        i = end;
    }
    m_undo->endMacro();
}

bool SamplesPanel::eventFilter(QObject *watched, QEvent *event)
{
    // Keys typed into an open editor go to the editor, not the table.
    if (watched != tblSamples || event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    const int row = tblSamples->currentIndex().row();
    if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && row >= 0 &&
        key->modifiers() == Qt::NoModifier) {
        Q_EMIT useText(m_samples.at(row).text);
        return true;
    }
    if (key->matches(QKeySequence::Paste)) {
        pasteText(ClipboardText::instance().Text());
        return true;
    }
    if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)) {
        key->matches(QKeySequence::Undo) ? m_undo->undo() : m_undo->redo();
        return true;
    }
    if (key->key() == Qt::Key_Delete && key->modifiers() == Qt::NoModifier) {
        removeSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
