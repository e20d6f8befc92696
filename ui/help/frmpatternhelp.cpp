#include "ui/help/frmpatternhelp.h"

#include "support/appinfo.h"
#include "support/suresources.h"
#include "support/suwindow.h"
#include "support/windowplacement.h"
#include "ui/shiftstate.h"
#include "ui/twips.h"

#include <QFontInfo>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTextDocument>

namespace {
// The window's text box as designed, in twips.
constexpr int DesignedBoxWidth = 7995;
constexpr int DesignedBoxHeight = 4875;
} // namespace

frmPatternHelp::frmPatternHelp(QWidget *owner)
    : QDialog(owner)
{
    setObjectName(QStringLiteral("frmPatternHelp"));
    setWindowTitle(QStringLiteral("Regular expression help"));
    resize(Twips::toPixels(DesignedClientWidth), Twips::toPixels(DesignedClientHeight));

    txtPatternHelp = new QPlainTextEdit(this);
    txtPatternHelp->setObjectName(QStringLiteral("txtPatternHelp"));
    txtPatternHelp->setGeometry(Twips::toPixels(Margin), Twips::toPixels(Margin),
                                Twips::toPixels(DesignedBoxWidth),
                                Twips::toPixels(DesignedBoxHeight));
    txtPatternHelp->setReadOnly(true);
    // Read-only still lets the user move, select and copy with the keyboard.
    txtPatternHelp->setTextInteractionFlags(Qt::TextSelectableByMouse |
                                            Qt::TextSelectableByKeyboard);
    txtPatternHelp->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtPatternHelp->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    txtPatternHelp->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtPatternHelp->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtPatternHelp->document()->setDocumentMargin(2);
    txtPatternHelp->installEventFilter(this);
    setFocusProxy(txtPatternHelp);

    Form_Load();
}

void frmPatternHelp::Form_Load()
{
    suCenterFormEx(this);
    suFixUserControlsContainerWindow();

    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(9);
    // Whole-pixel advances, as the designed box was measured with: 72 columns in 504 pixels.
    font.setHintingPreference(QFont::PreferFullHinting);
    // Asked for by name first, so that a face standing in for Courier New wins; only when that
    // is not fixed-pitch does the generic monospace face take over.
    if (!QFontInfo(font).fixedPitch()) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
    }
    txtPatternHelp->setFont(font);

    // The resource keeps Windows line ends; the box breaks lines at LF alone.
    QString text = suLoadResText(QStringLiteral("TXT_REGEXP_HELP"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    txtPatternHelp->setPlainText(text);

    WindowPlacement().RestoreWindow(this, QString(), AppInfo::PlacementSection.toString(),
                                    ApplicationInfo::current());
}

bool frmPatternHelp::Form_KeyDown(int keyCode, int shift)
{
    if ((keyCode == Qt::Key_Escape || keyCode == Qt::Key_F1) && shift == 0) {
        close();
        return true;
    }
    return false;
}

void frmPatternHelp::Form_Resize()
{
    const double width = Twips::fromPixels(this->width()) - 2 * Margin;
    const double height = Twips::fromPixels(this->height()) - 2 * Margin;
    // Too small for the margins: the box keeps its size until the next resize.
    if (width < 0 || height < 0)
        return;
    txtPatternHelp->setGeometry(Twips::toPixels(Margin), Twips::toPixels(Margin),
                                Twips::toPixels(width), Twips::toPixels(height));
}

void frmPatternHelp::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    WindowPlacement().StoreWindow(this, QString(), AppInfo::PlacementSection.toString(),
                                  ApplicationInfo::current());
}

bool frmPatternHelp::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtPatternHelp && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (Form_KeyDown(key->key(), shiftState(key->modifiers())))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmPatternHelp::keyPressEvent(QKeyEvent *event)
{
    if (Form_KeyDown(event->key(), shiftState(event->modifiers())))
        return;
    // Not the dialog's own Esc and Enter handling: other keys do nothing here.
    QWidget::keyPressEvent(event);
}

void frmPatternHelp::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    Form_Resize();
}

void frmPatternHelp::done(int result)
{
    Form_Unload();
    QDialog::done(result);
}

void ShowPatternHelp(QWidget *owner)
{
    QPointer<frmPatternHelp> help = new frmPatternHelp(owner);
    help->exec();
    delete help.data();
}
