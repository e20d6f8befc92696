#pragma once
// The status line under the option strip: a few slots of short texts, shown side by side.

#include <QLabel>

#include <array>

class StatusLine : public QLabel
{
    Q_OBJECT

public:
    enum class Slot
    {
        Run,
        Pattern,
        Samples,
        Steps
    };

    explicit StatusLine(QWidget *parent = nullptr);

    // Shows text in slot; an empty text clears it.
    void show(Slot slot, const QString &text);
    QString text(Slot slot) const { return m_texts[static_cast<std::size_t>(slot)]; }

private:
    std::array<QString, 4> m_texts;
};
