#include "ui/main/frmmain.h"

#include "document/cdocument.h"
#include "samples/sampleset.h"
#include "ui/hooks/cstbselectallhook.h"
#include "ui/main/designedgeometry.h"
#include "ui/main/elasticgrid.h"
#include "ui/main/formdocumentview.h"
#include "ui/main/imagelist.h"
#include "ui/main/mainlayout.h"
#include "ui/main/mainmenus.h"
#include "ui/main/matchlocator.h"
#include "ui/main/panelhost.h"
#include "ui/main/resultstreewidget.h"
#include "ui/main/statusline.h"
#include "ui/main/textbox.h"
#include "ui/shiftstate.h"
#include "ui/twips.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

frmMain::frmMain(const Services &services, QWidget *parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_samples(new SampleSet(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Sievewright"));
    setFont(windowFont());

    createControls();
    createMenus();
    setTabOrder();
    // The first box of the tab order has the focus when the window first becomes active.
    txtPattern->setFocus();

    // The client area at its designed size, laid out once before the window is shown.
    layout()->activate();
    const QSize chrome = size() - m_client->size();
    resize(designedClientPixels() + chrome);
    layout()->activate();
    Form_Resize();

    connectCommands();
    createSamplesPanel();
    createStepsPanel();
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmMain::sessionEnding);
    Form_Load();
}

void frmMain::createMenus()
{
    m_menus = std::make_unique<MainMenus>(menuBar());
    const std::pair<MainMenus::Menu, void (frmMain::*)(int)> handlers[] = {
        {MainMenus::Menu::File, &frmMain::mnuFile_Click},
        {MainMenus::Menu::Run, &frmMain::mnuRun_Click},
        {MainMenus::Menu::Options, &frmMain::mnuOptions_Click},
        {MainMenus::Menu::Help, &frmMain::mnuHelp_Click},
    };
    for (const auto &entry : handlers) {
        const auto handler = entry.second; // a structured binding cannot be captured in C++20
        const MenuArray &array = m_menus->array(entry.first);
        connect(array.menu(), &QMenu::triggered, this,
                [this, &array, handler](QAction *action) { menuClicked(array, handler, action); });
    }
    m_statusLine = new StatusLine(this);
    setStatusBar(m_statusLine);
    m_panels = new PanelHost(this, m_menus->view(), m_statusLine);
}

MainControls frmMain::controls() const
{
    return {vseContainer, txtReplaceVar, txtResult,     txtSourceString,   txtPattern,
            tvResults,    ilTreeIcons,   pnlSetting,    cmdExecuteAndOpen, cmdReplace,
            cmdTest,      cmdExecute,    chkIgnoreCase, chkGlobal,         chkIgnoreLineBreaks,
            chkMultiline};
}

const MenuArray *frmMain::menuArray(QStringView name) const
{
    return m_menus->array(name);
}

QAction *frmMain::menuItem(QStringView name, int index) const
{
    const MenuArray *array = menuArray(name);
    return array ? array->item(index) : nullptr;
}

void frmMain::mnuFile_Click(int index)
{
    MainMenus::run(MainMenus::Menu::File, *this, index);
}

void frmMain::mnuRun_Click(int index)
{
    MainMenus::run(MainMenus::Menu::Run, *this, index);
}

void frmMain::mnuOptions_Click(int index)
{
    MainMenus::run(MainMenus::Menu::Options, *this, index);
}

void frmMain::mnuHelp_Click(int index)
{
    MainMenus::run(MainMenus::Menu::Help, *this, index);
}

void frmMain::menuClicked(const MenuArray &array, void (frmMain::*handler)(int), QAction *action)
{
    const int index = array.indexOf(action);
    if (index < 0)
        return;
    Q_EMIT menuItemClicked(array.name(), index);
    (this->*handler)(index);
}

void frmMain::InitResultsTree()
{
    tvResults->initLook(ilTreeIcons);
}

void frmMain::Form_Resize()
{
    MainLayoutInput in;
    in.clientWidth = Twips::fromPixels(m_client->width());
    in.clientHeight = Twips::fromPixels(m_client->height());
    in.panelHeight = Twips::fromPixels(pnlSetting->height());
    in.containerHeight = Twips::fromPixels(vseContainer->height());
    in.buttonWidth = Twips::fromPixels(cmdExecute->width());
    in.buttonTop = Twips::fromPixels(cmdExecute->y());
    const MainLayout out = computeMainLayout(in);

    auto pixels = [](const TwipsRect &r) {
        return QRect(Twips::toPixels(r.left), Twips::toPixels(r.top), Twips::toPixels(r.width),
                     Twips::toPixels(r.height));
    };
    if (out.container) {
        vseContainer->setGeometry(pixels(*out.container));
        // A hidden window gets its resize events only when shown; place the children now.
        vseContainer->arrange();
    }
    if (out.panel)
        pnlSetting->setGeometry(pixels(*out.panel));
    QPushButton *const buttons[] = {cmdExecute, cmdExecuteAndOpen, cmdReplace, cmdTest};
    for (int i = 0; i < 4; ++i) {
        if (out.buttonLefts[i])
            buttons[i]->move(Twips::toPixels(*out.buttonLefts[i]), buttons[i]->y());
    }
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_client && event->type() == QEvent::Resize) {
        Form_Resize();
        return false;
    }
    if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
        auto *keyEvent = static_cast<QKeyEvent *>(event);
        int keyCode = keyEvent->key();
        Form_KeyDown(keyCode, shiftState(keyEvent->modifiers()));
        if (keyCode == 0) {
            keyEvent->accept();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
