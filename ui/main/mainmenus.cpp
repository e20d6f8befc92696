#include "ui/main/mainmenus.h"

#include "document/cdocument.h"
#include "runner/codegenerator.h"
#include "support/appinfo.h"
#include "support/appservices.h"
#include "support/suwindow.h"
#include "ui/help/frmpatternhelp.h"
#include "ui/help/frmreadme.h"
#include "ui/main/frmmain.h"
#include "ui/main/maincontrols.h"
#include "ui/main/textbox.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

#include <span>

namespace {

// A menu item: its index in the menu's array, caption, key and what choosing it does (none for
// a separator).
struct MenuItemSpec
{
    int index;
    QStringView caption;
    QKeyCombination shortcut = {};
    void (*action)(frmMain &window) = nullptr;
};

constexpr QKeyCombination key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    return QKeyCombination(modifiers, k);
}

// The name text the About box is handed: the object whose dialect the program runs.
constexpr QStringView AboutNameText = u"RegExp";

void push(QPushButton *button)
{
    AppServices::instance().PushButton(button);
}

void toggle(QCheckBox *box)
{
    box->setChecked(!box->isChecked());
}

// A new or opened document is typed into from the pattern on.
void caretToPattern(frmMain &w, bool done)
{
    if (done)
        w.controls().txtPattern->setFocus(Qt::OtherFocusReason);
}

constexpr MenuItemSpec FileItems[] = {
    {0, u"&New", key(Qt::Key_N, Qt::ControlModifier),
     [](frmMain &w) { caretToPattern(w, w.document().Clear()); }},
    {1, u"-"},
    {10, u"&Open...", key(Qt::Key_F3), [](frmMain &w) { caretToPattern(w, w.document().Load()); }},
    {11, u"&Save", key(Qt::Key_F2), [](frmMain &w) { w.document().Save(); }},
    {12, u"Save &as...", key(Qt::Key_F2, Qt::ShiftModifier),
     [](frmMain &w) { w.document().SaveAs(); }},
    {13, u"-"},
    {99, u"&Exit", {}, [](frmMain &w) { suUnloadForm(&w); }},
};

constexpr MenuItemSpec RunItems[] = {
    {0, u"&Execute", key(Qt::Key_F5), [](frmMain &w) { push(w.controls().cmdExecute); }},
    {1, u"Execute and open in E&xcel", key(Qt::Key_F5, Qt::ControlModifier),
     [](frmMain &w) { push(w.controls().cmdExecuteAndOpen); }},
    {2, u"&Replace", key(Qt::Key_F6), [](frmMain &w) { push(w.controls().cmdReplace); }},
    {3, u"&Test", key(Qt::Key_F7), [](frmMain &w) { push(w.controls().cmdTest); }},
    {4, u"-"},
    {10, u"Generate code for Execute...", key(Qt::Key_F5, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateCode(SnippetKind::Execute); }},
    {11, u"Generate code for Replace...", key(Qt::Key_F6, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateCode(SnippetKind::Replace); }},
    {12, u"Generate code for Test...", key(Qt::Key_F7, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateCode(SnippetKind::Test); }},
    {13, u"Generate code for Samples...", key(Qt::Key_F9, Qt::ShiftModifier),
     [](frmMain &w) { w.GenerateSamplesCode(); }},
};

constexpr MenuItemSpec OptionsItems[] = {
    {0, u"Global", key(Qt::Key_G, Qt::ControlModifier),
     [](frmMain &w) { toggle(w.controls().chkGlobal); }},
    {1, u"Ignore case", key(Qt::Key_I, Qt::ControlModifier),
     [](frmMain &w) { toggle(w.controls().chkIgnoreCase); }},
    {2, u"Multiline", key(Qt::Key_M, Qt::ControlModifier),
     [](frmMain &w) { toggle(w.controls().chkMultiline); }},
    {3, u"-"},
    {10, u"Ignore line breaks", key(Qt::Key_B, Qt::ControlModifier),
     [](frmMain &w) { toggle(w.controls().chkIgnoreLineBreaks); }},
};

constexpr MenuItemSpec HelpItems[] = {
    {0, u"&Contents...", key(Qt::Key_F1, Qt::ControlModifier),
     [](frmMain &w) { ShowReadMe(&w, w.services().opener); }},
    {1, u"Regular expression help...", key(Qt::Key_F1), [](frmMain &w) { ShowPatternHelp(&w); }},
    {2, u"-"},
    {3, u"&About...", key(Qt::Key_F1, Qt::ShiftModifier),
     [](frmMain &w) {
         AppServices::instance().ShowAbout(w.services().modal, &w, ApplicationInfo::current(),
                                           QString(), QIcon(), AboutNameText.toString());
     }},
};

std::span<const MenuItemSpec> itemsOf(MainMenus::Menu menu)
{
    switch (menu) {
    case MainMenus::Menu::File:
        return FileItems;
    case MainMenus::Menu::Run:
        return RunItems;
    case MainMenus::Menu::Options:
        return OptionsItems;
    case MainMenus::Menu::Help:
        break;
    }
    return HelpItems;
}

QMenu *addMenu(QMenuBar *bar, QStringView caption, const QString &objectName)
{
    QMenu *menu = bar->addMenu(caption.toString());
    menu->setObjectName(objectName);
    return menu;
}

} // namespace

MainMenus::MainMenus(QMenuBar *bar)
{
    struct MenuSpec
    {
        int barIndex;
        QStringView caption;
        Menu menu;
    };
    const MenuSpec menus[] = {
        {0, u"&File", Menu::File},
        {1, u"&Run", Menu::Run},
        {2, u"&Options", Menu::Options},
        {99, u"&Help", Menu::Help},
    };

    bar->setObjectName(QStringLiteral("mnuMain"));
    // Menus keep the platform's menu font.
    bar->setFont(QApplication::font(bar));
    for (const MenuSpec &spec : menus) {
        MenuArray &items = array(spec.menu);
        QMenu *menu = addMenu(bar, spec.caption, items.name());
        items.setMenu(menu);
        mnuMain.add(spec.barIndex, menu->menuAction());
        for (const MenuItemSpec &item : itemsOf(spec.menu)) {
            auto *action = new QAction(menu);
            // A separator keeps no caption: styles would draw it as a section title.
            if (item.caption == u"-")
                action->setSeparator(true);
            else
                action->setText(item.caption.toString());
            // An item without a key has an empty combination, which Qt 6 reads as Key_unknown.
            if (item.shortcut.key() != Qt::Key_unknown)
                action->setShortcut(QKeySequence(item.shortcut));
            menu->addAction(action);
            items.add(item.index, action);
        }
    }
    m_view = new QMenu(QStringLiteral("&View"), bar);
    m_view->setObjectName(QStringLiteral("mnuView"));
    bar->insertMenu(mnuHelp.menu()->menuAction(), m_view);
}

const MenuArray *MainMenus::array(QStringView name) const
{
    for (const MenuArray *items : {&mnuMain, &mnuFile, &mnuRun, &mnuOptions, &mnuHelp}) {
        if (items->name() == name)
            return items;
    }
    return nullptr;
}

MenuArray &MainMenus::array(Menu menu)
{
    switch (menu) {
    case Menu::File:
        return mnuFile;
    case Menu::Run:
        return mnuRun;
    case Menu::Options:
        return mnuOptions;
    case Menu::Help:
        break;
    }
    return mnuHelp;
}

void MainMenus::run(Menu menu, frmMain &window, int index)
{
    for (const MenuItemSpec &item : itemsOf(menu)) {
        if (item.index == index && item.action)
            item.action(window);
    }
}
