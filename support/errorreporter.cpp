#include "support/errorreporter.h"

#include "support/messagebox.h"

ErrorReporter &ErrorReporter::instance()
{
    static ErrorReporter reporter;
    return reporter;
}

int ErrorReporter::ShowError(ModalHost &host, const AppError &error, int style,
                             const QString &message)
{
    return MsgBox(host, reportText(error, message), style);
}

QString ErrorReporter::reportText(const AppError &error, const QString &message)
{
    QString text = message;
    if (!error.description().isEmpty())
        text += u"\n\n" + error.description();
    QString detail = u"Error " + QString::number(error.number());
    if (error.position() >= 0)
        detail += u" at character " + QString::number(error.position() + 1) + u" of the pattern";
    return text + u"\n\n" + detail + u'.';
}
