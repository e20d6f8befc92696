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
    const QList<int> buttons = msgBoxButtons(request.style);
    QString refusal;
    if (m_script.isEmpty() || m_script.constFirst().dialog != wantsDialog)
        refusal = QStringLiteral("unscripted modal");
    else if (!wantsDialog && !buttons.contains(m_script.constFirst().answer.button))
        refusal = u"scripted button " + QString::number(m_script.takeFirst().answer.button) +
                  u" not offered by style " + QString::number(request.style);
    if (refusal.isEmpty())
        return m_script.takeFirst().answer;

    const QByteArray what = (refusal + u": \"" + request.caption + u"\": " + request.text).toUtf8();
    QTest::qFail(what.constData(), __FILE__, __LINE__);
    ModalAnswer fallback;
    fallback.button =
        buttons.contains(MsgBoxButton::Cancel) ? MsgBoxButton::Cancel : buttons.constFirst();
    return fallback;
}
