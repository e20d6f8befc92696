#pragma once
// The samples of the open document, as the Samples panel edits them and the document loads and
// saves them. Like the controls, it is the only store of its content. A load or New replaces
// every sample (reset, not an edit); the panel's edits go through insert, remove and replace,
// each of which signals edited() (the document then becomes dirty).

#include "samples/sample.h"

#include <QList>
#include <QObject>

class SampleSet : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const QList<Sample> &samples() const { return m_samples; }
    qsizetype count() const { return m_samples.size(); }
    const Sample &at(qsizetype row) const { return m_samples.at(row); }

    // Replaces every sample, as a load or New does.
    void reset(QList<Sample> samples);
    // Edits. row in [0, count()] for insert; rows within the list for the others.
    void insert(qsizetype row, const QList<Sample> &samples);
    void remove(qsizetype row, qsizetype count);
    void replace(qsizetype row, const Sample &sample);

Q_SIGNALS:
    void aboutToReset();
    void wasReset();
    void aboutToInsert(qsizetype row, qsizetype count);
    void inserted(qsizetype row, qsizetype count);
    void aboutToRemove(qsizetype row, qsizetype count);
    void removed(qsizetype row, qsizetype count);
    void replaced(qsizetype row);
    // Any of the three edits; after its own signal.
    void edited();

private:
    QList<Sample> m_samples;
};
