#include "ui/samples/samplesmodel.h"

#include "samples/sampleset.h"

#include <QApplication>
#include <QIcon>
#include <QStyle>

SamplesModel::SamplesModel(SampleSet &samples, QObject *parent)
    : QAbstractTableModel(parent)
    , m_samples(samples)
{
    connect(&samples, &SampleSet::aboutToReset, this, [this] {
        beginResetModel();
        m_verdicts.clear();
    });
    connect(&samples, &SampleSet::wasReset, this, &SamplesModel::endResetModel);
    connect(&samples, &SampleSet::aboutToInsert, this, [this](qsizetype row, qsizetype count) {
        forgetVerdicts();
        beginInsertRows({}, int(row), int(row + count - 1));
    });
    connect(&samples, &SampleSet::inserted, this, &SamplesModel::endInsertRows);
    connect(&samples, &SampleSet::aboutToRemove, this, [this](qsizetype row, qsizetype count) {
        forgetVerdicts();
        beginRemoveRows({}, int(row), int(row + count - 1));
    });
    connect(&samples, &SampleSet::removed, this, &SamplesModel::endRemoveRows);
    connect(&samples, &SampleSet::replaced, this, [this](qsizetype row) {
        forgetVerdicts();
        Q_EMIT dataChanged(index(int(row), 0), index(int(row), ColumnCount - 1));
    });
}

void SamplesModel::setVerdicts(std::vector<SampleVerdict> verdicts)
{
    if (verdicts.size() != std::size_t(m_samples.count()))
        return;
    m_verdicts = std::move(verdicts);
    if (!m_verdicts.empty())
        Q_EMIT dataChanged(index(0, VerdictColumn), index(rowCount() - 1, VerdictColumn));
}

const SampleVerdict *SamplesModel::verdict(int row) const
{
    return row >= 0 && std::size_t(row) < m_verdicts.size() ? &m_verdicts[std::size_t(row)]
                                                            : nullptr;
}

void SamplesModel::forgetVerdicts()
{
    if (m_verdicts.empty())
        return;
    m_verdicts.clear();
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, VerdictColumn), index(rowCount() - 1, VerdictColumn));
}

int SamplesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_samples.count());
}

int SamplesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

bool SamplesModel::applies(const Sample &sample, int column) const
{
    switch (column) {
    case MatchColumn:
        return sample.expect == Expectation::MatchText || sample.expect == Expectation::Group;
    case GroupColumn:
        return sample.expect == Expectation::Group;
    case ValueColumn:
        return sample.expect != Expectation::Match && sample.expect != Expectation::NoMatch &&
               sample.expect != Expectation::Whole;
    default:
        return true;
    }
}

QVariant SamplesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const Sample &sample = m_samples.at(index.row());
    const int column = index.column();
    if (!applies(sample, column))
        return {};
    const bool edit = role == Qt::EditRole;
    if (role != Qt::DisplayRole && !edit && role != Qt::DecorationRole && role != Qt::ToolTipRole)
        return {};

    if (column == VerdictColumn) {
        const SampleVerdict *v = verdict(index.row());
        if (!v)
            return {};
        if (role == Qt::ToolTipRole)
            return QString(u"expected " + describeExpectation(sample) + u", got " + v->got);
        if (role == Qt::DecorationRole)
            return QApplication::style()->standardIcon(v->passed ? QStyle::SP_DialogApplyButton
                                                                 : QStyle::SP_MessageBoxCritical);
        return v->passed ? QStringLiteral("passed") : QStringLiteral("failed");
    }
    if (role == Qt::DecorationRole)
        return {};
    switch (column) {
    case TextColumn:
        return edit ? sample.text : visibleText(sample.text);
    case ExpectColumn:
        return expectationName(sample.expect).toString();
    case MatchColumn:
        return sample.match;
    case GroupColumn:
        return sample.group;
    case ValueColumn:
        if (sample.expect == Expectation::Count)
            return sample.count;
        return edit ? sample.value : visibleText(sample.value);
    case NoteColumn:
        return edit ? sample.note : visibleText(sample.note);
    default:
        return {};
    }
}

QVariant SamplesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const char *const Titles[ColumnCount] = {"Sample", "Must give", "Match", "Group",
                                                    "Value",  "Verdict",   "Note"};
    return section >= 0 && section < ColumnCount ? QString::fromLatin1(Titles[section])
                                                 : QVariant();
}

Qt::ItemFlags SamplesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (index.column() != VerdictColumn && applies(m_samples.at(index.row()), index.column()))
        flags |= Qt::ItemIsEditable;
    return flags;
}

bool SamplesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    Sample sample = m_samples.at(index.row());
    switch (index.column()) {
    case TextColumn:
        sample.text = value.toString();
        break;
    case ExpectColumn: {
        const std::optional<Expectation> expect = expectationFromName(value.toString());
        if (!expect)
            return false;
        sample.expect = *expect;
        break;
    }
    case MatchColumn:
    case GroupColumn: {
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < 1)
            return false;
        (index.column() == MatchColumn ? sample.match : sample.group) = number;
        break;
    }
    case ValueColumn:
        if (sample.expect == Expectation::Count) {
            bool ok = false;
            const int count = value.toInt(&ok);
            if (!ok || count < 0)
                return false;
            sample.count = count;
        } else {
            sample.value = value.toString();
        }
        break;
    case NoteColumn:
        sample.note = value.toString();
        break;
    default:
        return false;
    }
    Q_EMIT editRequested(index.row(), sample);
    return true;
}
