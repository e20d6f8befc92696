#pragma once
// The pattern help window: a read-only cheat-sheet of the pattern syntax, the replacement
// escapes and the options, shown modally over the main window. Every opening builds a fresh
// window that loads its text from the TXT_REGEXP_HELP resource; only its placement is kept.

#include <QDialog>

class QPlainTextEdit;

class frmPatternHelp : public QDialog
{
    Q_OBJECT

public:
    // Runs the load sequence: centred, font, text, then the placement stored at the last
    // closing (which wins over the centring).
    explicit frmPatternHelp(QWidget *owner = nullptr);

    QPlainTextEdit *txtPatternHelp = nullptr;

    // The designed client area and the text box's margin, in twips.
    static constexpr int DesignedClientWidth = 8130;
    static constexpr int DesignedClientHeight = 4995;
    static constexpr int Margin = 60;

    // Closes on Esc or F1 with no Shift, Ctrl or Alt held; true when the key was taken.
    bool Form_KeyDown(int keyCode, int shift);

public Q_SLOTS:
    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void Form_Resize();
    void Form_Unload();
    bool m_unloaded = false;
};

// Opens a fresh help window modally over owner and returns when it has closed.
void ShowPatternHelp(QWidget *owner);
