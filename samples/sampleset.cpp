#include "samples/sampleset.h"

void SampleSet::reset(QList<Sample> samples)
{
    Q_EMIT aboutToReset();
    m_samples = std::move(samples);
    Q_EMIT wasReset();
}

void SampleSet::insert(qsizetype row, const QList<Sample> &samples)
{
    Q_ASSERT(row >= 0 && row <= m_samples.size());
    if (samples.isEmpty())
        return;
    Q_EMIT aboutToInsert(row, samples.size());
    m_samples.insert(row, samples.size(), Sample());
    std::copy(samples.begin(), samples.end(), m_samples.begin() + row);
    Q_EMIT inserted(row, samples.size());
    Q_EMIT edited();
}

void SampleSet::remove(qsizetype row, qsizetype count)
{
    Q_ASSERT(row >= 0 && count >= 0 && row + count <= m_samples.size());
    if (count == 0)
        return;
    Q_EMIT aboutToRemove(row, count);
    m_samples.remove(row, count);
    Q_EMIT removed(row, count);
    Q_EMIT edited();
}

void SampleSet::replace(qsizetype row, const Sample &sample)
{
    Q_ASSERT(row >= 0 && row < m_samples.size());
    if (m_samples.at(row) == sample)
        return;
    m_samples[row] = sample;
    Q_EMIT replaced(row);
    Q_EMIT edited();
}
