#include "support/appservices.h"

#include "support/messageboxfit.h"
#include "support/modalresponder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

ApplicationInfo ApplicationInfo::current()
{
    return {AppInfo::Title.toString(), AppInfo::Version.toString(),
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName()};
}

AppServices &AppServices::instance()
{
    static AppServices services;
    return services;
}

CommandLineArgs &AppServices::CommandLine()
{
    if (!m_commandLineRead) {
        m_commandLineRead = true;
        if (QCoreApplication::instance())
            m_commandLine.SetArguments(QCoreApplication::arguments().mid(1));
    }
    return m_commandLine;
}

void AppServices::PushButton(QAbstractButton *button)
{
    if (button)
        button->click();
}

QString AppServices::aboutText(const ApplicationInfo &app, const QString &text,
                               const QString &nameText)
{
    QString result = app.title + u"\nVersion " + app.version + u"\n\nProgram file: " + app.exeName;
    if (!text.isEmpty())
        result += u"\n\n" + text;
    if (!nameText.isEmpty())
        result += u"\n\n" + nameText;
    return result;
}

void AppServices::ShowAbout(QWidget *owner, const ApplicationInfo &app, const QString &text,
                            const QIcon &icon, const QString &nameText)
{
    ModalRequest request;
    request.kind = ModalKind::About;
    request.caption = u"About " + app.title;
    request.text = aboutText(app, text, nameText);
    ModalHost::run(request, [&] {
        QMessageBox box(QMessageBox::NoIcon, request.caption, request.text, QMessageBox::Ok, owner);
        box.setTextFormat(Qt::PlainText);
        const QIcon shown = icon.isNull() ? QApplication::windowIcon() : icon;
        box.setIconPixmap(shown.pixmap(48, 48));
        fitMessageBox(box);
        box.exec();
        ModalAnswer answer;
        answer.button = 1;
        return answer;
    });
}
