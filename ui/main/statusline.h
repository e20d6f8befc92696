#pragma once
// The status line under the option strip: one text per slot (the run, the pattern, the samples,
// the steps, a long text arriving in a box), shown side by side in slot order; an empty text
// clears its slot. The line stays hidden until a text first asks for it (openWanted), and the
// window's panel host opens it. A text longer than its room is shortened with an ellipsis; the
// window never widens for it.

#include <QStatusBar>

#include <array>

class ElidedLabel;

class StatusLine : public QStatusBar
{
    Q_OBJECT

public:
    enum class Slot
    {
        Run,
        Pattern,
        Samples,
        Steps,
        Load
    };

    explicit StatusLine(QWidget *parent = nullptr);

    // Sets the text of slot; an empty text clears it. A text while the line is closed asks for
    // it to open, unless the person closed it.
    void show(Slot slot, const QString &text);
    // The text of slot.
    QString text(Slot slot) const;
    // The person closed the line: texts no longer open it until it is opened again.
    void setDismissed(bool dismissed) { m_dismissed = dismissed; }
    bool dismissed() const { return m_dismissed; }

Q_SIGNALS:
    void openWanted();

private:
    std::array<ElidedLabel *, 5> m_labels{};
    bool m_dismissed = false;
};
