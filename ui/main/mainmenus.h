#pragma once
// The main window's menu bar: File, Run, Options, View and Help. The documented menus are
// tables of items (index in the menu's array, caption, key, action) built into their arrays;
// View starts empty, for the panel host. Choosing an item reaches the window's handler for its
// menu, which runs the item's action through run().

#include "ui/main/menuarray.h"

#include <QStringView>

class frmMain;
class QMenu;
class QMenuBar;

class MainMenus
{
public:
    enum class Menu
    {
        File,
        Run,
        Options,
        Help
    };

    // Builds the menus into bar (the menu bar's own array is mnuMain: 0, 1, 2, 99).
    explicit MainMenus(QMenuBar *bar);

    MenuArray mnuMain{QStringLiteral("mnuMain")};
    MenuArray mnuFile{QStringLiteral("mnuFile")};
    MenuArray mnuRun{QStringLiteral("mnuRun")};
    MenuArray mnuOptions{QStringLiteral("mnuOptions")};
    MenuArray mnuHelp{QStringLiteral("mnuHelp")};

    // The View menu, between Options and Help.
    QMenu *view() const { return m_view; }
    // The array named name ("mnuMain", "mnuFile", ...); null for any other name.
    const MenuArray *array(QStringView name) const;
    MenuArray &array(Menu menu);

    // Carries out the item at index of menu on window; an index without an action does nothing.
    static void run(Menu menu, frmMain &window, int index);

private:
    QMenu *m_view = nullptr;
};
