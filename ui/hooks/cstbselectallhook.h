#pragma once
// Makes Ctrl+A select the whole text of one text box, and nothing else: the key and the
// control character it would type never reach the box. Other keys pass untouched.
//
// Qt delivers the key and its character in one event, so the handled event is consumed whole;
// the next event, whatever it is, reaches the box as usual.

#include <QObject>
#include <QPointer>

class QWidget;

class csTBSelectAllHook : public QObject
{
    Q_OBJECT

public:
    explicit csTBSelectAllHook(QObject *parent = nullptr);
    ~csTBSelectAllHook() override;

    // Attaches to textBox, dropping any box attached before; false (and no change) for null.
    bool Init(QWidget *textBox);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWidget> m_textBox;
};
