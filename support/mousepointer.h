#pragma once
// The application-wide mouse pointer.

enum class MousePointer
{
    Default = 0,
    Hourglass = 11
};

// Hourglass shows the wait cursor over every window; Default removes any override.
void setMousePointer(MousePointer pointer);
MousePointer mousePointer();
