#pragma once
// Below the Samples table: for the current row, what was expected beside what came out, and
// the sample's text with the matches highlighted as in the source box.

#include "runner/samplecheck.h"

#include <QWidget>

class QLabel;
class QPlainTextEdit;

class SampleDetail : public QWidget
{
    Q_OBJECT

public:
    explicit SampleDetail(QWidget *parent = nullptr);

    // Shows sample and its verdict (null: not checked yet).
    void show(const Sample &sample, const SampleVerdict *verdict);
    void clear();

    QLabel *lblExpected = nullptr;
    QLabel *lblGot = nullptr;
    QPlainTextEdit *txtSampleText = nullptr;
};
