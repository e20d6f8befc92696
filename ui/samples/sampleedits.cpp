#include "ui/samples/sampleedits.h"

#include "samples/sampleset.h"

InsertSamples::InsertSamples(SampleSet &set, qsizetype row, QList<Sample> samples)
    : m_set(set)
    , m_row(row)
    , m_samples(std::move(samples))
{
    setText(m_samples.size() == 1 ? QStringLiteral("add a sample")
                                  : u"add " + QString::number(m_samples.size()) + u" samples");
}

void InsertSamples::redo()
{
    m_set.insert(m_row, m_samples);
}

void InsertSamples::undo()
{
    m_set.remove(m_row, m_samples.size());
}

RemoveSamples::RemoveSamples(SampleSet &set, qsizetype row, qsizetype count)
    : m_set(set)
    , m_row(row)
    , m_removed(set.samples().mid(row, count))
{
    setText(QStringLiteral("remove samples"));
}

void RemoveSamples::redo()
{
    m_set.remove(m_row, m_removed.size());
}

void RemoveSamples::undo()
{
    m_set.insert(m_row, m_removed);
}

ChangeSample::ChangeSample(SampleSet &set, qsizetype row, Sample sample)
    : m_set(set)
    , m_row(row)
    , m_other(std::move(sample))
{
    setText(QStringLiteral("change a sample"));
}

void ChangeSample::redo()
{
    Sample old = m_set.at(m_row);
    m_set.replace(m_row, m_other);
    m_other = std::move(old);
}

void ChangeSample::undo()
{
    redo();
}
