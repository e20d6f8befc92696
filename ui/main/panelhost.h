#pragma once
// The panels of the main window and its status line: each panel is a dock with a check item in
// the View menu (in the order the panels are added), closed on a first start. Opening a panel or
// the status line grows the window by the room it takes, as far as the screen allows, so the
// client area keeps its size; closing gives that room back. Which parts are open, with their
// sizes and places, is saved and restored with the window's placement.

#include <QHash>
#include <QKeySequence>
#include <QObject>
#include <QSize>

#include <vector>

class QAction;
class QDockWidget;
class QMainWindow;
class QMenu;
class StatusLine;

class PanelHost : public QObject
{
    Q_OBJECT

public:
    // window: the main window (the owner); view: its View menu; line: its status line, already
    // set on the window.
    PanelHost(QMainWindow *window, QMenu *view, StatusLine *line);

    // Adds content (owned by the new dock) as a panel named objectName with title as its caption
    // and View item, key as the item's shortcut. Closed unless the restored state opens it.
    QDockWidget *addPanel(QWidget *content, const QString &objectName, const QString &title,
                          const QKeySequence &key = {});

    // The dock and the View item of a panel by its object name ("pnlSamples", ...), or of the
    // status line by "statusLine"; null for an unknown name.
    QDockWidget *dock(const QString &objectName) const;
    QAction *viewItem(const QString &objectName) const;

    // The open parts, their sizes and places; restoreState reopens them without growing the
    // window (the restored placement holds their room). False for a state it cannot read.
    QByteArray saveState() const;
    bool restoreState(const QByteArray &state);

private:
    struct Part
    {
        QWidget *widget;
        QAction *item;
        QSize grown;
    };

    QAction *addViewItem(const QString &title, QWidget *part, const QKeySequence &key,
                         QAction *before);
    // Shows or hides a part, growing or shrinking the window by what it takes.
    void setOpen(Part &part, bool open);
    Part *partOf(const QObject *widget);
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Checks the part's item as the part is shown, after a restore.
    void syncItem(Part &part);

    QMainWindow *m_window;
    QMenu *m_view;
    StatusLine *m_line;
    QAction *m_panelsEnd = nullptr;
    std::vector<Part> m_parts;
    QHash<QString, QDockWidget *> m_docks;
};
