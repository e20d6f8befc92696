#pragma once
// The main window's resize arithmetic, free of widgets: from the client size and the current
// sizes of the options strip and the Execute button to the places of the result area, the
// strip and the four buttons. All values are twips. A step that would fail (a negative or
// non-finite size, a value beyond 32 bits) yields no value and the caller leaves that control
// where it is; the other steps still give theirs.

#include <array>
#include <optional>

struct MainLayoutInput
{
    double clientWidth = 0;     // W
    double clientHeight = 0;    // H
    double panelHeight = 0;     // P: pnlSetting's height, never changed
    double containerHeight = 0; // vseContainer's height before the resize
    double buttonWidth = 0;     // w: cmdExecute's width
    double buttonTop = 0;       // t: cmdExecute's top, also the gap and the right margin
};

struct TwipsRect
{
    double left, top, width, height;
};

struct MainLayout
{
    std::optional<TwipsRect> container; // vseContainer
    std::optional<TwipsRect> panel;     // pnlSetting
    // Left edges of cmdExecute, cmdExecuteAndOpen, cmdReplace, cmdTest, in that order.
    std::array<std::optional<int>, 4> buttonLefts;
};

MainLayout computeMainLayout(const MainLayoutInput &in);
