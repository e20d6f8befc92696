#pragma once
// The Samples panel's table: one row per sample of a SampleSet, with its verdict from the last
// check. Texts show on one line with marks for line breaks and tabs and edit in full; the
// verdict shows an icon and a word, never colour alone. Edits do not change the set directly:
// they go to editRequested, which the panel turns into undoable steps.

#include "runner/samplecheck.h"

#include <QAbstractTableModel>

#include <vector>

class SampleSet;

class SamplesModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        TextColumn,
        ExpectColumn,
        MatchColumn,
        GroupColumn,
        ValueColumn,
        VerdictColumn,
        NoteColumn,
        ColumnCount
    };

    // samples must outlive the model.
    explicit SamplesModel(SampleSet &samples, QObject *parent = nullptr);

    // The verdicts of the samples as they are now, in order; older verdicts are forgotten
    // whenever a sample changes.
    void setVerdicts(std::vector<SampleVerdict> verdicts);
    // The verdict of row; null when it has none yet.
    const SampleVerdict *verdict(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role) override;

Q_SIGNALS:
    // An edit in the table: row's sample should become sample.
    void editRequested(int row, const Sample &sample);

private:
    bool applies(const Sample &sample, int column) const;
    void forgetVerdicts();

    SampleSet &m_samples;
    std::vector<SampleVerdict> m_verdicts;
};
