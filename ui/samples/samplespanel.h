#pragma once
// The Samples panel: the texts the pattern must and must not match, each with what it must
// give and its verdict, a summary ("12 passed, 1 failed"), and for the current row what was
// expected beside what came out. Edits are undoable; a load or New forgets the undo steps.
// The window checks the samples (runner/samplecheck.h) and hands the verdicts in; Enter on a
// row asks the window to put its text in the source box.

#include "runner/samplecheck.h"

#include <QWidget>

#include <vector>

class ModalHost;
class QLabel;
class QTableView;
class QToolButton;
class QUndoStack;
class SampleDetail;
class SampleSet;
class SamplesModel;

class SamplesPanel : public QWidget
{
    Q_OBJECT

public:
    // samples and modal (not owned) must outlive the panel; modal shows the one question the
    // panel asks (a paste of several lines).
    SamplesPanel(SampleSet &samples, ModalHost &modal, QWidget *parent = nullptr);

    // The verdicts of the samples as they are now.
    void setVerdicts(std::vector<SampleVerdict> verdicts);
    // "12 passed, 1 failed"; "No samples"; empty while unchecked.
    QString summary() const;

    // A new empty row after the current one (at the end when none), ready for its text.
    void addEmptyRow();
    // sample as a new row at the end, one undo step.
    void addSample(const Sample &sample);
    // Pasted text: one sample, or, when it has several lines and the user agrees, one per line.
    void pasteText(const QString &text);
    // Removes the selected rows, one undo step.
    void removeSelected();

    SamplesModel &model() const { return *m_model; }
    QUndoStack &undoStack() const { return *m_undo; }

    QTableView *tblSamples = nullptr;
    QLabel *lblSummary = nullptr;
    SampleDetail *detail = nullptr;
    QToolButton *cmdAddSample = nullptr;
    QToolButton *cmdAddSource = nullptr;
    QToolButton *cmdRemoveSample = nullptr;
    QToolButton *cmdUndo = nullptr;
    QToolButton *cmdRedo = nullptr;

Q_SIGNALS:
    // Enter on a row: its text should go into the source box.
    void useText(const QString &text);
    // "Add the source as a sample" was chosen: the window answers with addSample.
    void addSourceRequested();
    void summaryChanged(const QString &summary);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCurrent();
    void updateSummary();

    SampleSet &m_samples;
    ModalHost &m_modal;
    SamplesModel *m_model = nullptr;
    QUndoStack *m_undo = nullptr;
    QString m_summary;
};
