#include "ui/samples/samplesrecheck.h"

#include "samples/sampleset.h"
#include "ui/main/livejob.h"
#include "ui/samples/samplespanel.h"

#include <QPointer>

SamplesRecheck::SamplesRecheck(SampleSet &samples, SamplesPanel &panel, Inputs inputs,
                               QObject *parent)
    : QObject(parent)
    , m_samples(samples)
    , m_panel(panel)
    , m_inputs(std::move(inputs))
    , m_job(new LiveJob(Pause, this))
{
    connect(&samples, &SampleSet::edited, this, &SamplesRecheck::request);
    connect(&samples, &SampleSet::wasReset, this, &SamplesRecheck::request);
}

void SamplesRecheck::request()
{
    if (m_samples.count() == 0) {
        m_job->cancel();
        return;
    }
    const QList<Sample> samples = m_samples.samples();
    const SampleRunInputs inputs = m_inputs();
    QPointer<SamplesPanel> panel(&m_panel);
    m_job->schedule([samples, inputs, panel](engine::RunControl &control) -> LiveJob::Show {
        auto verdicts =
            std::make_shared<std::vector<SampleVerdict>>(CheckSamples(inputs, samples, control));
        return [panel, verdicts] {
            if (panel)
                panel->setVerdicts(std::move(*verdicts));
        };
    });
}
