#pragma once
// Stores and restores a window's placement, one record per window under a settings section.
// The record's key is the given key, or the window's objectName when the key is empty.

#include "support/appinfo.h"

#include <QString>

class QWidget;

class WindowPlacement
{
public:
    // Returns false and leaves the window unchanged when nothing is stored for it. A record
    // that would put the window off every screen is pulled onto the nearest visible one.
    bool RestoreWindow(QWidget *window, const QString &key, const QString &section,
                       const ApplicationInfo &app);
    bool StoreWindow(QWidget *window, const QString &key, const QString &section,
                     const ApplicationInfo &app);

    // The size alone, for dialogs that open over their owner: false when none is stored. A
    // stored size larger than the screen's available area is cut to it.
    bool RestoreSize(QWidget *window, const QString &key, const QString &section);
    bool StoreSize(QWidget *window, const QString &key, const QString &section);

    // The state of a window's parts (its panels and bars), kept beside its placement: empty
    // when none is stored.
    QByteArray RestoreState(QWidget *window, const QString &key, const QString &section);
    bool StoreState(QWidget *window, const QByteArray &state, const QString &key,
                    const QString &section);

    // Shrinks and moves a top-level window larger than its screen's available area into it.
    static void fitToScreen(QWidget *window);
    // Moves a top-level window so that it lies on a screen's available area.
    static void ensureOnScreen(QWidget *window);
};
