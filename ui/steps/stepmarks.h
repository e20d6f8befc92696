#pragma once
// The marks of a step in the pattern box and the source box: the part of the pattern being
// tried, and in the source the text matched so far and the position being tried. Both boxes
// scroll to show them; neither the caret, the selection nor the text changes.

#include "ui/main/textbox.h"

#include <QPointer>
#include <QtGlobal>

#include <functional>

class StepMarks
{
public:
    // Either box may be null.
    void setBoxes(TextBox *pattern, TextBox *source);
    // Where an offset of the traced pattern lies in the pattern box's Text(), when the box
    // holds more than was traced (line breaks left out); none: the same offset.
    using PatternOffsets = std::function<int(int)>;
    void setPatternOffsets(PatternOffsets map) { m_patternOffsets = std::move(map); }

    // The part [partStart, partStart + partLength) of the pattern; in the source, the text
    // [attemptStart, position) matched so far and the position. Offsets as Text() counts them.
    void show(int partStart, int partLength, int attemptStart, int position);
    void clear();

    TextBox *patternBox() const { return m_pattern; }
    TextBox *sourceBox() const { return m_source; }

private:
    QPointer<TextBox> m_pattern;
    QPointer<TextBox> m_source;
    PatternOffsets m_patternOffsets;
};

// Scrolls box vertically so that the document position shows, changing nothing else.
void scrollToPosition(TextBox &box, int position);
