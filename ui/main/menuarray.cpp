#include "ui/main/menuarray.h"

int MenuArray::indexOf(const QAction *action) const
{
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it) {
        if (it.value() == action)
            return it.key();
    }
    return -1;
}
