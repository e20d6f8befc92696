#pragma once
// The marks of a step in the pattern box and the source box: the part of the pattern being
// tried, and in the source the text matched so far and the position being tried. Both boxes
// scroll to show them; neither the caret, the selection nor the text changes.

#include "ui/main/textbox.h"

#include <QPointer>
#include <QtGlobal>

class StepMarks
{
public:
    // Either box may be null.
    void setBoxes(TextBox *pattern, TextBox *source);

    // The part [partStart, partStart + partLength) of the pattern; in the source, the text
    // [attemptStart, position) matched so far and the position. Offsets as Text() counts them.
    void show(int partStart, int partLength, int attemptStart, int position);
    void clear();

    TextBox *patternBox() const { return m_pattern; }
    TextBox *sourceBox() const { return m_source; }

private:
    QPointer<TextBox> m_pattern;
    QPointer<TextBox> m_source;
};

// Scrolls box vertically so that the document position shows, changing nothing else.
void scrollToPosition(TextBox &box, int position);
