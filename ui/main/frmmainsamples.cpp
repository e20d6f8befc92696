// The main window's samples: the Samples panel, checking them in the background whenever the
// work or a sample changes, the summary in the status line, and the Sub that checks them.

#include "runner/codegenerator.h"
#include "runner/samplecheck.h"
#include "runner/samplescode.h"
#include "samples/sampleset.h"
#include "ui/main/frmmain.h"
#include "ui/main/panelhost.h"
#include "ui/main/statusline.h"
#include "ui/main/textbox.h"
#include "ui/samples/samplespanel.h"
#include "ui/samples/samplesrecheck.h"

void frmMain::createSamplesPanel()
{
    auto *panel = new SamplesPanel(samples(), m_services.modal);
    panels().addPanel(panel, QStringLiteral("pnlSamples"), QStringLiteral("&Samples"),
                      QKeySequence(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_S));
    const auto inputs = [this] {
        return SampleRunInputs{txtPattern->Text(), txtReplaceVar->Text(), runOptions()};
    };
    auto *recheck = new SamplesRecheck(samples(), *panel, inputs, this);
    connect(this, &frmMain::workChanged, recheck, &SamplesRecheck::request);
    // The status line shows the summary only where there are samples to speak of.
    connect(panel, &SamplesPanel::summaryChanged, this, [this](const QString &summary) {
        const bool none = samples().count() == 0;
        statusLine().show(StatusLine::Slot::Samples, none ? QString() : summary);
    });
    connect(panel, &SamplesPanel::useText, this,
            [this](const QString &text) { txtSourceString->ReplaceAll(text); });
    connect(panel, &SamplesPanel::addSourceRequested, this, [this, panel, inputs] {
        panel->addSample(sampleOfOutcome(inputs(), txtSourceString->Text()));
    });
}

void frmMain::GenerateSamplesCode()
{
    OfferCode(m_services.modal,
              BuildSamplesSnippet({txtPattern->Text(), txtReplaceVar->Text(), runOptions()},
                                  samples().samples()));
}
