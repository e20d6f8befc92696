// The main window's life: the load sequence, the save check on every kind of close, and the
// unload sequence that stores the placement.

#include "document/cdocument.h"
#include "support/appinfo.h"
#include "support/appservices.h"
#include "support/sufiles.h"
#include "support/suwindow.h"
#include "support/windowplacement.h"
#include "ui/hooks/cstbselectallhook.h"
#include "ui/main/formdocumentview.h"
#include "ui/main/frmmain.h"
#include "ui/main/mainmenus.h"
#include "ui/main/matchlocator.h"
#include "ui/main/panelhost.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/textbox.h"
#include "ui/steps/stepsbinding.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QSessionManager>

namespace {

// Help follows File, Run, Options and View.
constexpr int HelpMenuPosition = 4;
constexpr QStringView ExitKeyText = u"\tEsc";
constexpr QStringView PlacementSection = u"Window placement";

} // namespace

frmMain::~frmMain()
{
    // The widgets going away still signal; the members these handlers use are gone by then.
    if (m_steps) {
        disconnect(m_steps, nullptr, this, nullptr);
        disconnect(tvResults, &QTreeWidget::currentItemChanged, this, nullptr);
        disconnect(txtSourceString, &QPlainTextEdit::cursorPositionChanged, this, nullptr);
    }
}

void frmMain::Form_Load()
{
    suCenterFormEx(this);
    if (!suIsInIDE())
        suSetWindowResIconAll(this, QStringLiteral("A_MAIN"));
    suFixUserControlsContainerWindow();
    if (QAction *exit = m_menus->mnuFile.item(99))
        exit->setText(exit->text() + ExitKeyText);
    suSetMenuJustify(menuBar(), HelpMenuPosition, true);
    InitSelectAllHooks();
    InitResultsTree();
    RestoreWindowPlacement();
    InitDocument();
}

void frmMain::InitSelectAllHooks()
{
    TextBox *const boxes[] = {txtPattern, txtSourceString, txtReplaceVar, txtResult};
    for (size_t i = 0; i < m_selectAllHooks.size(); ++i) {
        m_selectAllHooks[i] = std::make_unique<csTBSelectAllHook>();
        m_selectAllHooks[i]->Init(boxes[i]);
    }
}

void frmMain::ReleaseSelectAllHooks()
{
    for (size_t i = m_selectAllHooks.size(); i-- > 0;)
        m_selectAllHooks[i].reset();
}

void frmMain::RestoreWindowPlacement()
{
    WindowPlacement placement;
    if (placement.RestoreWindow(this, QString(), PlacementSection.toString(),
                                ApplicationInfo::current()))
        m_panels->restoreState(
            placement.RestoreState(this, QString(), PlacementSection.toString()));
}

void frmMain::SaveWindowPlacement()
{
    WindowPlacement placement;
    placement.StoreWindow(this, QString(), PlacementSection.toString(), ApplicationInfo::current());
    placement.StoreState(this, m_panels->saveState(), QString(), PlacementSection.toString());
}

void frmMain::InitDocument()
{
    QCoreApplication::processEvents();
    m_documentView = std::make_unique<FormDocumentView>(*this);
    document().Init(*m_documentView);
    const CommandLineArgs &args = AppServices::instance().CommandLine();
    if (args.Count() == 1)
        document().LoadAs(suGetFullFileName(args.Item(0)));
}

void frmMain::closeEvent(QCloseEvent *event)
{
    bool cancel = false;
    Form_QueryUnload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

void frmMain::Form_QueryUnload(bool &cancel)
{
    // After the session's end was agreed to, the close that follows asks nothing more.
    if (!m_unloaded && !document().RequestSave())
        cancel = true;
}

void frmMain::Form_Unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    SaveWindowPlacement();
    ReleaseSelectAllHooks();
}

void frmMain::sessionEnding(QSessionManager &manager)
{
    if (m_unloaded)
        return;
    if (!manager.allowsInteraction()) {
        // No question may be asked now: the work stays as it is, unsaved.
        return;
    }
    const bool mayEnd = document().RequestSave();
    manager.release();
    if (!mayEnd) {
        manager.cancel();
        return;
    }
    Form_Unload();
}
