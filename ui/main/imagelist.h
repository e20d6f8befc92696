#pragma once
// A keyed image list: ordered pictures, each under a text key, as nodes of the results tree
// name them. Never shown itself.

#include <QIcon>
#include <QList>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QStringList>

class ImageList : public QObject
{
    Q_OBJECT

public:
    explicit ImageList(QObject *parent = nullptr);

    // Appends the picture under key; false (and nothing added) for an empty key, one already
    // in the list or a null picture.
    bool add(const QString &key, const QPixmap &picture);
    void clear();

    int count() const { return int(m_entries.size()); }
    // The keys in list order.
    QStringList keys() const;
    // The picture under key; a null icon for a key not in the list.
    QIcon icon(const QString &key) const;
    QPixmap picture(const QString &key) const;

private:
    struct Entry
    {
        QString key;
        QPixmap picture;
    };
    QList<Entry> m_entries;
};
