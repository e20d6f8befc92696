#include "document/samplescompanion.h"

#include "document/fileretry.h"
#include "samples/sampleset.h"
#include "samples/samplesjson.h"
#include "support/apperror.h"
#include "support/filestore.h"
#include "support/messagebox.h"

namespace {

const QString CantSave = QStringLiteral("Can't save file.");

} // namespace

SamplesCompanion::~SamplesCompanion()
{
    QObject::disconnect(m_editWatch);
}

void SamplesCompanion::attach(SampleSet &samples, std::function<void()> onEdit)
{
    QObject::disconnect(m_editWatch);
    m_samples = &samples;
    m_editWatch = QObject::connect(&samples, &SampleSet::edited, &samples,
                                   [this, onEdit = std::move(onEdit)] {
                                       m_edited = true;
                                       onEdit();
                                   });
}

SamplesCompanion::Found SamplesCompanion::read(const QString &patternFile) const
{
    if (!m_samples)
        return {};
    const QString name = samplesFileName(patternFile);
    QString reason;
    try {
        const SamplesParse parse = parseSamples(m_files.ReadBytes(name));
        if (parse.ok())
            return {parse.samples, {}};
        reason = parse.error;
    } catch (const AppError &error) {
        if (error.number() == AppErrorNumber::FileNotFound)
            return {};
        reason = error.description();
    } catch (const std::bad_alloc &) {
        reason = QStringLiteral("There is not enough memory to read the file.");
    }
    return {{},
            fileMessage(name, u"Can't load the samples: " + reason +
                                  u"\r\n\r\nThe pattern file is loaded without them. The samples "
                                  u"file is left as it is, and saving replaces it only when you "
                                  u"confirm it.")};
}

void SamplesCompanion::loaded(const QString &patternFile, Found found)
{
    if (!m_samples)
        return;
    m_unread = found.problem.isEmpty() ? QString() : samplesFileName(patternFile);
    m_samples->reset(std::move(found.samples));
    m_edited = false;
}

void SamplesCompanion::cleared()
{
    if (!m_samples)
        return;
    m_samples->reset({});
    m_unread.clear();
    m_edited = false;
}

std::optional<SamplesCompanion::Plan> SamplesCompanion::plan(const QString &patternFile)
{
    if (!m_samples)
        return Plan::Keep;
    const Plan wanted = m_samples->count() > 0 ? Plan::Write : m_edited ? Plan::Remove : Plan::Keep;
    const QString name = samplesFileName(patternFile);
    if (wanted == Plan::Keep || name != m_unread)
        return wanted;
    const QString question = wanted == Plan::Write
                                 ? QStringLiteral("Replace it with the samples shown now?")
                                 : QStringLiteral("Remove it, as there are no samples now?");
    const QString prompt = fileMessage(
        name, u"This samples file could not be read when the pattern file was opened.\r\n\r\n" +
                  question);
    switch (MsgBox(m_modal, prompt, MsgBoxStyle::YesNoCancelQuestion)) {
    case MsgBoxButton::Yes:
        return wanted;
    case MsgBoxButton::No:
        return Plan::Keep;
    default:
        return std::nullopt;
    }
}

bool SamplesCompanion::save(const QString &patternFile, Plan plan)
{
    if (plan == Plan::Keep || !m_samples) {
        m_edited = false;
        return true;
    }
    const QString name = samplesFileName(patternFile);
    const bool done = retrying(m_modal, fileMessage(name, CantSave), [&] {
        if (plan == Plan::Write)
            m_files.WriteBytes(name, writeSamples(m_samples->samples()));
        else
            m_files.Remove(name);
    });
    if (done) {
        m_edited = false;
        if (name == m_unread)
            m_unread.clear();
    }
    return done;
}
