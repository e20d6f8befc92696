#pragma once
// The Samples panel's edits as undoable steps on a SampleSet: add rows, remove rows, change
// one sample. Each step keeps what it needs to undo itself.

#include "samples/sample.h"

#include <QList>
#include <QUndoCommand>

class SampleSet;

// Inserts samples at row.
class InsertSamples : public QUndoCommand
{
public:
    InsertSamples(SampleSet &set, qsizetype row, QList<Sample> samples);
    void redo() override;
    void undo() override;

private:
    SampleSet &m_set;
    qsizetype m_row;
    QList<Sample> m_samples;
};

// Removes count samples from row.
class RemoveSamples : public QUndoCommand
{
public:
    RemoveSamples(SampleSet &set, qsizetype row, qsizetype count);
    void redo() override;
    void undo() override;

private:
    SampleSet &m_set;
    qsizetype m_row;
    QList<Sample> m_removed;
};

// Changes the sample at row.
class ChangeSample : public QUndoCommand
{
public:
    ChangeSample(SampleSet &set, qsizetype row, Sample sample);
    void redo() override;
    void undo() override;

private:
    SampleSet &m_set;
    qsizetype m_row;
    Sample m_other; // the sample that the next redo or undo puts in place
};
