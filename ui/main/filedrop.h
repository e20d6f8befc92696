#pragma once
// Files dropped on the window: on each widget it watches, a drag that carries a local file is
// taken (so a text box does not insert the file's address as text), and the first file is
// handed to the receiver once the drop is over, outside the drag and drop exchange. Any other
// drag, plain text among them, goes to the widget as before.

#include <QObject>
#include <QString>

#include <functional>

class QMimeData;
class QWidget;

class FileDrop : public QObject
{
public:
    using Receiver = std::function<void(const QString &filePath)>;

    FileDrop(QObject *parent, Receiver receiver);

    // Takes file drops on widget, which then accepts drops.
    void watch(QWidget *widget);

    // The first local file that data carries, as an absolute path; empty for none.
    static QString droppedFile(const QMimeData *data);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Receiver m_receiver;
};
