#include "ui/main/imagelist.h"

#include <algorithm>

ImageList::ImageList(QObject *parent)
    : QObject(parent)
{}

bool ImageList::add(const QString &key, const QPixmap &picture)
{
    if (key.isEmpty() || picture.isNull() || keys().contains(key))
        return false;
    m_entries.append({key, picture});
    return true;
}

void ImageList::clear()
{
    m_entries.clear();
}

QStringList ImageList::keys() const
{
    QStringList result;
    result.reserve(m_entries.size());
    for (const Entry &entry : m_entries)
        result.append(entry.key);
    return result;
}

QPixmap ImageList::picture(const QString &key) const
{
    const auto it = std::find_if(m_entries.cbegin(), m_entries.cend(),
                                 [&key](const Entry &entry) { return entry.key == key; });
    return it == m_entries.cend() ? QPixmap() : it->picture;
}

QIcon ImageList::icon(const QString &key) const
{
    const QPixmap found = picture(key);
    return found.isNull() ? QIcon() : QIcon(found);
}
