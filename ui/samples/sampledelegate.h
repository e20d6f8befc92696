#pragma once
// How the Samples table edits its cells: texts in full in a multi-line box (line breaks kept
// as the sample had them), what a sample must give from a list.

#include <QStyledItemDelegate>

class SampleDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;
    void setModelData(QWidget *editor, QAbstractItemModel *model,
                      const QModelIndex &index) const override;
    void updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const override;
};

// text as edited in a box that breaks lines with LF alone, given back with CR LF where the
// text it replaced broke its lines so.
QString keepLineBreaks(const QString &edited, const QString &original);
