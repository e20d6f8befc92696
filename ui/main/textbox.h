#pragma once
// A multi-line text box of the main window: word wrap at the box's width, a vertical scroll
// bar and no horizontal one, no length limit. Tab moves the focus along the tab order;
// Ctrl+Tab types a tab character.
//
// Its text reads like a Windows text box's: every line break is CR LF. A lone CR or LF (from a
// file or the clipboard) is kept: it shows as the control picture U+240D or U+240A and reads
// back as the character it stands for. U+2029, U+FDD0 and U+FDD1 are the document's own breaks
// and read back as CR LF.

#include "runner/resulttext.h"

#include <QPlainTextEdit>

class TextBox : public QPlainTextEdit, public ResultText
{
    Q_OBJECT

public:
    explicit TextBox(QWidget *parent = nullptr);

    // The text with CR LF line breaks, in UTF-16 code units as the engine sees them.
    QString Text() const;
    // Shows text; CR LF breaks lines, lone CR and LF are kept as their control pictures.
    void SetText(const QString &text) override;

    static QString toDisplay(const QString &text);
    static QString fromDisplay(const QString &rawDocumentText);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Text() of the content until its next change: reading a big box costs as much as a run.
    mutable QString m_text;
    mutable bool m_textCurrent = false;
};
