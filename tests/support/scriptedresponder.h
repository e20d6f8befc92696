#pragma once
// Answers the program's modal boxes and dialogs in a test, in the order scripted, and records
// what was shown. A box that was not scripted, or scripted with a button its style does not
// offer, fails the running test and is answered with Cancel (or its first button where it has
// no Cancel), so no test ever hangs on a dialog. Tests hand
// it to what they build in place of the host that shows the real dialogs.

#include "support/modalhost.h"

#include <QList>
#include <QString>

#include <functional>

class ScriptedResponder : public ModalHost
{
public:
    // Next message box: press this button code.
    ScriptedResponder &button(int code);
    // Next file dialog: choose this file; or cancel it.
    ScriptedResponder &chooseFile(const QString &path);
    ScriptedResponder &cancelDialog();
    // Next About box: close it.
    ScriptedResponder &closeAbout();

    const QList<ModalRequest> &shown() const { return m_shown; }
    const ModalRequest &last() const { return m_shown.constLast(); }
    // Scripted answers not yet used.
    qsizetype pending() const { return m_script.size(); }
    void clear();
    // Runs as each box or dialog comes up, before it is answered: for failures that clear while
    // their report is shown.
    std::function<void(const ModalRequest &)> onShow;

    ModalAnswer run(const ModalRequest &request,
                    const std::function<ModalAnswer()> &showReal) override;

private:
    struct Step
    {
        bool dialog = false; // file dialog or About box rather than a message box
        ModalAnswer answer;
    };
    QList<Step> m_script;
    QList<ModalRequest> m_shown;
};
