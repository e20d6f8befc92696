#include "tests/support/scriptedresponder.h"

#include "support/messagebox.h"

#include <QTest>

ScriptedResponder &ScriptedResponder::button(int code)
{
    Step step;
    step.answer.button = code;
    m_script.append(step);
    return *this;
}

ScriptedResponder &ScriptedResponder::chooseFile(const QString &path)
{
    Step step;
    step.dialog = true;
    step.answer.accepted = true;
    step.answer.filePath = path;
    m_script.append(step);
    return *this;
}

ScriptedResponder &ScriptedResponder::cancelDialog()
{
    Step step;
    step.dialog = true;
    m_script.append(step);
    return *this;
}

ScriptedResponder &ScriptedResponder::closeAbout()
{
    Step step;
    step.dialog = true;
    step.answer.button = 1;
    m_script.append(step);
    return *this;
}

void ScriptedResponder::clear()
{
    m_script.clear();
    m_shown.clear();
}

ModalAnswer ScriptedResponder::run(const ModalRequest &request,
                                   const std::function<ModalAnswer()> &)
{
    m_shown.append(request);
    if (onShow)
        onShow(request);
    const bool wantsDialog = request.kind != ModalKind::MessageBox;
    if (m_script.isEmpty() || m_script.constFirst().dialog != wantsDialog) {
        const QByteArray what =
            (u"unscripted modal: \"" + request.caption + u"\": " + request.text).toUtf8();
        QTest::qFail(what.constData(), __FILE__, __LINE__);
        ModalAnswer fallback;
        const QList<int> buttons = msgBoxButtons(request.style);
        fallback.button =
            buttons.contains(MsgBoxButton::Cancel) ? MsgBoxButton::Cancel : buttons.constFirst();
        return fallback;
    }
    return m_script.takeFirst().answer;
}
