#include "tests/support/textoffset.h"

#include "ui/main/textbox.h"

#include <QTextBlock>

namespace {
qsizetype units(const QString &blockText)
{
    return blockText.size() + blockText.count(QChar::LineSeparator);
}
} // namespace

qsizetype textOffset(const TextBox &box, int position)
{
    qsizetype offset = 0;
    QTextBlock block = box.document()->begin();
    for (; block.next().isValid() && block.next().position() <= position; block = block.next())
        offset += units(block.text()) + (TextBox::continuesLine(block.next()) ? 0 : 2);
    return offset + units(block.text().left(position - block.position()));
}
