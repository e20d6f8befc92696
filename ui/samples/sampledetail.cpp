#include "ui/samples/sampledetail.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QVBoxLayout>

namespace {

QLabel *makeLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

// The document position of a text offset: a CR LF pair is one line break in the box.
int positionOf(const QString &text, int offset)
{
    int position = offset;
    for (int i = 0; i + 1 < offset && i + 1 < text.size(); ++i)
        if (text.at(i) == u'\r' && text.at(i + 1) == u'\n')
            --position;
    return position;
}

} // namespace

SampleDetail::SampleDetail(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("SampleDetail"));
    lblExpected = makeLabel(QStringLiteral("lblExpected"), this);
    lblGot = makeLabel(QStringLiteral("lblGot"), this);
    txtSampleText = new QPlainTextEdit(this);
    txtSampleText->setObjectName(QStringLiteral("txtSampleText"));
    txtSampleText->setReadOnly(true);
    txtSampleText->setMaximumHeight(fontMetrics().height() * 5);

    auto *sides = new QHBoxLayout;
    sides->addWidget(lblExpected, 1);
    sides->addWidget(lblGot, 1);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(sides);
    layout->addWidget(txtSampleText);
    clear();
}

void SampleDetail::clear()
{
    lblExpected->clear();
    lblGot->clear();
    txtSampleText->clear();
    txtSampleText->setExtraSelections({});
}

void SampleDetail::show(const Sample &sample, const SampleVerdict *verdict)
{
    lblExpected->setText(u"Expected: " + describeExpectation(sample));
    lblGot->setText(verdict ? u"Got: " + verdict->got : QStringLiteral("Got: (checking)"));
    txtSampleText->setPlainText(sample.text);

    QList<QTextEdit::ExtraSelection> marks;
    if (verdict) {
        // Translucent, so that it suits a light and a dark palette alike.
        QColor shade = palette().color(QPalette::Active, QPalette::Highlight);
        shade.setAlpha(80);
        for (const auto &[start, end] : verdict->matches) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(txtSampleText->document());
            mark.cursor.setPosition(positionOf(sample.text, start));
            mark.cursor.setPosition(positionOf(sample.text, end), QTextCursor::KeepAnchor);
            mark.format.setBackground(shade);
            marks.append(mark);
        }
    }
    txtSampleText->setExtraSelections(marks);
}
