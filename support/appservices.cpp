#include "support/appservices.h"

#include "support/messageboxfit.h"
#include "support/modalhost.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

ApplicationInfo ApplicationInfo::current()
{
    return {AppInfo::Title.toString(), AppInfo::Version.toString(),
            QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName(),
            AppInfo::Description.toString(), AppInfo::Licence.toString()};
}

AppServices &AppServices::instance()
{
    static AppServices services;
    return services;
}

CommandLineArgs &AppServices::CommandLine()
{
    return m_commandLine;
}

void AppServices::PushButton(QAbstractButton *button)
{
    if (button)
        button->click();
}

QString AppServices::aboutText(const ApplicationInfo &app, const QString &text)
{
    QString result = app.title + u"\nVersion " + app.version + u"\n\nProgram file: " + app.exeName;
    if (!text.isEmpty())
        result += u"\n\n" + text;
    if (!app.description.isEmpty())
        result += u"\n\n" + app.description;
    if (!app.licence.isEmpty())
        result += u"\n\n" + app.licence;
    return result;
}

void AppServices::ShowAbout(ModalHost &host, QWidget *owner, const ApplicationInfo &app,
                            const QString &text, const QIcon &icon, const QString &)
{
    ModalRequest request;
    request.kind = ModalKind::About;
    request.caption = u"About " + app.title;
    request.text = aboutText(app, text);
    host.run(request, [&] {
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
