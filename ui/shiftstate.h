#pragma once
// The shift state of a key press as the window's handlers see it: 1 for Shift, 2 for Ctrl and
// 4 for Alt, summed. Other modifiers (the keypad's) do not count.

#include <Qt>

inline int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers.testFlag(Qt::ShiftModifier) ? 1 : 0) +
           (modifiers.testFlag(Qt::ControlModifier) ? 2 : 0) +
           (modifiers.testFlag(Qt::AltModifier) ? 4 : 0);
}
