#include "ui/help/frmreadme.h"

#include "support/appinfo.h"
#include "support/sufiles.h"
#include "support/suwindow.h"
#include "support/windowplacement.h"

#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Width and height in average characters and lines of the window's font.
constexpr int WidthInCharacters = 90;
constexpr int HeightInLines = 40;
} // namespace

frmReadMe::frmReadMe(const QString &path, QWidget *owner)
    : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmReadMe"));
    setAttribute(Qt::WA_DeleteOnClose);
    txtReadMe = new QTextBrowser(this);
    txtReadMe->setObjectName(QStringLiteral("txtReadMe"));
    txtReadMe->setOpenLinks(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtReadMe);
    setFocusProxy(txtReadMe);

    if (path.isEmpty())
        txtReadMe->setPlainText(QStringLiteral("The user guide (README.html) is not installed."));
    else
        txtReadMe->setSource(QUrl::fromLocalFile(path));
    const QString title = txtReadMe->documentTitle();
    setWindowTitle(title.isEmpty() ? AppInfo::Application.toString() : title);

    const QFontMetrics metrics = fontMetrics();
    resize(WidthInCharacters * metrics.averageCharWidth(), HeightInLines * metrics.lineSpacing());
    suCenterFormEx(this);
    WindowPlacement().RestoreWindow(this, QString(), AppInfo::PlacementSection.toString(),
                                    ApplicationInfo::current());
}

void frmReadMe::closeEvent(QCloseEvent *event)
{
    WindowPlacement().StoreWindow(this, QString(), AppInfo::PlacementSection.toString(),
                                  ApplicationInfo::current());
    QWidget::closeEvent(event);
}

void frmReadMe::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ShowReadMe(QWidget *owner, FileOpener &opener)
{
    if (suOpenReadMeFile(opener))
        return;
    auto *window =
        owner ? owner->findChild<frmReadMe *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
    if (!window)
        window = new frmReadMe(suReadMeFilePath(), owner);
    window->show();
    window->raise();
    window->activateWindow();
}
