#include "ui/samples/sampledelegate.h"

#include "samples/sample.h"
#include "ui/samples/samplesmodel.h"

#include <QComboBox>
#include <QPlainTextEdit>

namespace {

bool isText(const QModelIndex &index)
{
    return index.data(Qt::EditRole).typeId() == QMetaType::QString &&
           index.column() != SamplesModel::ExpectColumn;
}

} // namespace

QString keepLineBreaks(const QString &edited, const QString &original)
{
    if (!original.contains(QStringLiteral("\r\n")) || edited.contains(u'\r'))
        return edited;
    return QString(edited).replace(QChar(u'\n'), QStringLiteral("\r\n"));
}

QWidget *SampleDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    if (index.column() == SamplesModel::ExpectColumn) {
        auto *box = new QComboBox(parent);
        for (Expectation expect : allExpectations())
            box->addItem(expectationName(expect).toString());
        return box;
    }
    if (isText(index)) {
        auto *box = new QPlainTextEdit(parent);
        box->setTabChangesFocus(true);
        return box;
    }
    return QStyledItemDelegate::createEditor(parent, option, index);
}

void SampleDelegate::setModelData(QWidget *editor, QAbstractItemModel *model,
                                  const QModelIndex &index) const
{
    if (auto *box = qobject_cast<QPlainTextEdit *>(editor)) {
        model->setData(index,
                       keepLineBreaks(box->toPlainText(), index.data(Qt::EditRole).toString()),
                       Qt::EditRole);
        return;
    }
    QStyledItemDelegate::setModelData(editor, model, index);
}

void SampleDelegate::updateEditorGeometry(QWidget *editor, const QStyleOptionViewItem &option,
                                          const QModelIndex &index) const
{
    QStyledItemDelegate::updateEditorGeometry(editor, option, index);
    // Room for a few lines of a multi-line text.
    if (qobject_cast<QPlainTextEdit *>(editor))
        editor->resize(editor->width(),
                       std::max(editor->height(), option.fontMetrics.height() * 4));
}
