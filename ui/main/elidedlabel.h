#pragma once
// A one-line label that shortens its text with an ellipsis to the width it is given, instead of
// asking its window for the room; the whole text stays in its tooltip.

#include <QLabel>

class ElidedLabel : public QLabel
{
    Q_OBJECT

public:
    explicit ElidedLabel(QWidget *parent = nullptr);

    // Shows text, shortened where the label is too narrow for it.
    void setFullText(const QString &text);
    QString fullText() const { return m_full; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void elide();

    QString m_full;
};
