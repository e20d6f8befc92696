#pragma once
// Sizes a message box for what it shows, before it is shown: at least as wide as its whole
// caption in the window title bar, and never taller than the screen, where a long text scrolls
// inside the box and the buttons stay in view.

class QMessageBox;
class QString;

// Call once the box has its caption, text and buttons.
void fitMessageBox(QMessageBox &box);

// The width in pixels that a window needs to show caption whole in its title bar: the text in
// the title font plus the window frame's icon and buttons.
int captionWidth(const QString &caption);
