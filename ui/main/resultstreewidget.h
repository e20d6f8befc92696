#pragma once
// The results tree: nodes with a label and an icon named by a key of the tree's image list.
// Left on a node below a root node that is collapsed or has no children selects its parent;
// with no node selected, Left does nothing.

#include <QTreeWidget>

class ImageList;

class ResultsTreeWidget : public QTreeWidget
{
    Q_OBJECT

public:
    explicit ResultsTreeWidget(QWidget *parent = nullptr);

    // Node icons come from this list (not owned; may be null).
    void setImageList(const ImageList *list);
    const ImageList *imageList() const { return m_imageList; }

    // Draws dotted tree lines and plus/minus boxes, whatever the application's style.
    void showTreeLines();

    // The keys of the result icons, in image-list order.
    static QStringList resultIconKeys();
    // Fills icons with the result icons at the tree's pixel ratio and takes them as its list;
    // sets the tree's look: lines, no editing, whole labels with a horizontal scroll bar, the
    // selection kept marked while the focus is elsewhere.
    void initLook(ImageList *icons);

    // A hint drawn in the empty tree; it is no node.
    void setEmptyHint(const QString &text);
    QString emptyHint() const { return m_emptyHint; }

    // Shows the nodes in grey: the work changed since the run that listed them. They can still
    // be selected.
    void setOutOfDate(bool outOfDate);
    bool isOutOfDate() const { return m_outOfDate; }

    // The tree's own key-down rule, before its default handling: key is a Qt::Key, shift as
    // shiftState(). Sets key and shift to 0 when the tree must do nothing further.
    void TreeKeyDown(int &key, int &shift);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    const ImageList *m_imageList = nullptr;
    QString m_emptyHint;
    bool m_outOfDate = false;
    QPalette m_upToDate; // the palette to go back to
};
