#pragma once
// The samples file beside the pattern file (work.RegExp.samples beside work.RegExp): read with
// the pattern file, written with it by the same rules (whole or not at all, Retry and Cancel on
// failure). A document with no samples writes none, and removes a stale one only when the user
// emptied the samples. A companion that could not be read is never replaced or removed without
// the user's confirmation.

#include "samples/sample.h"

#include <QList>
#include <QMetaObject>
#include <QString>

#include <functional>
#include <optional>

class FileStore;
class ModalHost;
class SampleSet;

class SamplesCompanion
{
public:
    // What a save does with the companion.
    enum class Plan
    {
        Keep,   // leaves it as it is (or absent)
        Write,  // writes the samples
        Remove, // removes a stale one
    };

    // What a load found beside the pattern file.
    struct Found
    {
        QList<Sample> samples;
        // Empty when the companion was read or is absent; else the message naming it and why
        // it could not be read.
        QString problem;
    };

    // files and modal (not owned) must outlive the companion.
    SamplesCompanion(FileStore &files, ModalHost &modal)
        : m_files(files)
        , m_modal(modal)
    {}

    ~SamplesCompanion();
    SamplesCompanion(const SamplesCompanion &) = delete;
    SamplesCompanion &operator=(const SamplesCompanion &) = delete;

    // The samples that loads, saves and New work on; without them, no companion is touched.
    // onEdit runs after every edit of them.
    void attach(SampleSet &samples, std::function<void()> onEdit);

    // Reads the companion of patternFile; changes nothing yet.
    Found read(const QString &patternFile) const;
    // After the pattern file was loaded: its samples go into the set.
    void loaded(const QString &patternFile, Found found);
    // File > New: no samples.
    void cleared();
    // Before the pattern file is written as patternFile: what to do with its companion, after
    // asking when it is one that could not be read. None when the user cancelled the save.
    std::optional<Plan> plan(const QString &patternFile);
    // After the pattern file was written: carries out plan, offering Retry and Cancel on
    // failure. False when the user cancelled.
    bool save(const QString &patternFile, Plan plan);

private:
    FileStore &m_files;
    ModalHost &m_modal;
    SampleSet *m_samples = nullptr;
    QMetaObject::Connection m_editWatch;
    // The samples were edited since the last load, save or New.
    bool m_edited = false;
    // The companion that could not be read at the last load; empty when none.
    QString m_unread;
};
