#include "support/messagebox.h"

#include "support/appinfo.h"
#include "support/messageboxfit.h"
#include "support/modalhost.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace {

QMessageBox::StandardButton standardButton(int code)
{
    switch (code) {
    case MsgBoxButton::OK:
        return QMessageBox::Ok;
    case MsgBoxButton::Cancel:
        return QMessageBox::Cancel;
    case MsgBoxButton::Abort:
        return QMessageBox::Abort;
    case MsgBoxButton::Retry:
        return QMessageBox::Retry;
    case MsgBoxButton::Ignore:
        return QMessageBox::Ignore;
    case MsgBoxButton::Yes:
        return QMessageBox::Yes;
    case MsgBoxButton::No:
        return QMessageBox::No;
    }
    return QMessageBox::Ok;
}

QMessageBox::Icon icon(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}

// The code that Esc or the close box gives.
int escapeButton(const QList<int> &buttons)
{
    if (buttons.contains(MsgBoxButton::Cancel))
        return MsgBoxButton::Cancel;
    return buttons.size() == 1 ? buttons.first() : 0;
}

// The box for a style, sized for its caption and the screen; pushButtons gets its buttons in
// the order of msgBoxButtons(style).
std::unique_ptr<QMessageBox> createBox(const QString &prompt, int style, const QString &title,
                                       QWidget *parent, QList<QPushButton *> &pushButtons,
                                       const QStringList &buttonTexts = {})
{
    const QList<int> buttons = msgBoxButtons(style);
    auto box =
        std::make_unique<QMessageBox>(icon(style), title, prompt, QMessageBox::NoButton, parent);
    box->setTextFormat(Qt::PlainText);
    for (int code : buttons)
        pushButtons.append(box->addButton(standardButton(code)));
    for (qsizetype i = 0; i < std::min(buttonTexts.size(), pushButtons.size()); ++i)
        pushButtons.at(i)->setText(buttonTexts.at(i));
    const int defaultIndex = (style >> 8) & 0x3;
    if (defaultIndex < pushButtons.size())
        box->setDefaultButton(pushButtons.at(defaultIndex));
    const int escCode = escapeButton(buttons);
    if (escCode != 0)
        box->setEscapeButton(pushButtons.at(buttons.indexOf(escCode)));
    fitMessageBox(*box);
    return box;
}

int showReal(const QString &prompt, int style, const QString &title, const QStringList &buttonTexts)
{
    const QList<int> buttons = msgBoxButtons(style);
    QList<QPushButton *> pushButtons;
    const std::unique_ptr<QMessageBox> box =
        createBox(prompt, style, title, QApplication::activeWindow(), pushButtons, buttonTexts);
    box->exec();
    const int index = pushButtons.indexOf(qobject_cast<QPushButton *>(box->clickedButton()));
    const int escCode = escapeButton(buttons);
    return index >= 0 ? buttons.at(index) : (escCode != 0 ? escCode : buttons.first());
}

} // namespace

QList<int> msgBoxButtons(int style)
{
    using namespace MsgBoxButton;
    switch (style & 0x7) {
    case 1:
        return {OK, Cancel};
    case 2:
        return {Abort, Retry, Ignore};
    case 3:
        return {Yes, No, Cancel};
    case 4:
        return {Yes, No};
    case 5:
        return {Retry, Cancel};
    default:
        return {OK};
    }
}

std::unique_ptr<QDialog> msgBoxWindow(const QString &prompt, int style, const QString &title)
{
    QList<QPushButton *> pushButtons;
    return createBox(prompt, style, title.isEmpty() ? AppInfo::Title.toString() : title, nullptr,
                     pushButtons);
}

int MsgBox(ModalHost &host, const QString &prompt, int style, const QString &title,
           const QStringList &buttonTexts)
{
    ModalRequest request;
    request.kind = ModalKind::MessageBox;
    request.style = style;
    request.caption = title.isEmpty() ? AppInfo::Title.toString() : title;
    request.text = prompt;
    request.buttonTexts = buttonTexts;
    return host
        .run(request,
             [&] {
                 ModalAnswer answer;
                 answer.button = showReal(request.text, style, request.caption, buttonTexts);
                 return answer;
             })
        .button;
}
