#pragma once
// A multi-line text box of the main window: word wrap at the box's width, a vertical scroll
// bar and no horizontal one, no length limit. Tab moves the focus along the tab order;
// Ctrl+Tab types a tab character.

#include <QPlainTextEdit>

class TextBox : public QPlainTextEdit
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
