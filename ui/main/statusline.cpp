#include "ui/main/statusline.h"

#include "ui/main/elidedlabel.h"

StatusLine::StatusLine(QWidget *parent)
    : QStatusBar(parent)
{
    setObjectName(QStringLiteral("statusLine"));
    setSizeGripEnabled(false);
    const QStringView names[] = {u"lblRun", u"lblPattern", u"lblSamples", u"lblSteps", u"lblLoad"};
    for (size_t i = 0; i < m_labels.size(); ++i) {
        auto *label = new ElidedLabel(this);
        label->setObjectName(names[i].toString());
        label->hide();
        addWidget(label, 1);
        m_labels[i] = label;
    }
    setVisible(false);
}

void StatusLine::show(Slot slot, const QString &text)
{
    ElidedLabel *label = m_labels.at(static_cast<size_t>(slot));
    label->setFullText(text);
    label->setVisible(!text.isEmpty());
    if (!text.isEmpty() && isHidden() && !m_dismissed)
        Q_EMIT openWanted();
}

QString StatusLine::text(Slot slot) const
{
    return m_labels.at(static_cast<size_t>(slot))->fullText();
}
