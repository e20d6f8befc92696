#include "ui/help/frmreadme.h"

#include "support/appinfo.h"
#include "support/sufiles.h"
#include "support/suwindow.h"
#include "support/windowplacement.h"

#include <QEvent>
#include <QKeyEvent>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace {
// Width and height in average characters and lines of the window's font.
constexpr int WidthInCharacters = 90;
constexpr int HeightInLines = 40;

// The guide sets no colours of its own; the rules and the shaded code take theirs from palette.
QString guideStyle(const QPalette &palette)
{
    const QColor text = palette.color(QPalette::Text);
    const QColor base = palette.color(QPalette::Base);
    const auto mixed = [&](int percentOfText) {
        const auto mix = [&](int t, int b) {
            return (t * percentOfText + b * (100 - percentOfText)) / 100;
        };
        return QColor(mix(text.red(), base.red()), mix(text.green(), base.green()),
                      mix(text.blue(), base.blue()))
            .name();
    };
    return QStringLiteral("body { color: %1; background-color: %2; }"
                          "code, kbd { background-color: %3; }"
                          "th { background-color: %4; }"
                          "a { color: %5; }")
        .arg(text.name(), base.name(), mixed(10), mixed(15), palette.color(QPalette::Link).name());
}
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

    txtReadMe->document()->setDefaultStyleSheet(guideStyle(txtReadMe->palette()));
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

void frmReadMe::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && !txtReadMe->source().isEmpty()) {
        txtReadMe->document()->setDefaultStyleSheet(guideStyle(txtReadMe->palette()));
        txtReadMe->reload();
    }
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
