#include "ui/main/statusline.h"

#include <QStringList>

StatusLine::StatusLine(QWidget *parent)
    : QLabel(parent)
{
    setObjectName(QStringLiteral("statusLine"));
    QLabel::hide();
}

void StatusLine::show(Slot slot, const QString &text)
{
    m_texts[static_cast<std::size_t>(slot)] = text;
    QStringList shown;
    for (const QString &t : m_texts)
        if (!t.isEmpty())
            shown.append(t);
    setText(shown.join(QStringLiteral("   ")));
}
