#pragma once
// The Text() offset of a document position of a text box, counted from the document alone,
// independently of the box's own mapping: each block break reads as CR LF (nothing before a
// piece that continues a line) and each U+2028 inside a block as CR LF.

#include <QtGlobal>

class TextBox;

qsizetype textOffset(const TextBox &box, int position);
