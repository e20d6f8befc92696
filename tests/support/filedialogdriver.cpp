#include "tests/support/filedialogdriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeView>

namespace FileDialogDriver {

void whenShown(const std::function<void(QWidget *dialog)> &act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget())) {
            poll->stop();
            poll->deleteLater();
            act(dialog);
        }
    });
    poll->start(10);
}

void chooseFilter(QWidget *dialog, const QString &filter)
{
    // With the keyboard on the filter box, as a user picks one.
    auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
    const int wanted = combo->findText(filter);
    for (int step = 0; step < combo->count() && combo->currentIndex() != wanted; ++step)
        QTest::keyClick(combo, combo->currentIndex() < wanted ? Qt::Key_Down : Qt::Key_Up);
}

bool lists(QWidget *dialog, const QString &filePath)
{
    const auto *model = dialog->findChild<QFileSystemModel *>();
    return model && QTest::qWaitFor([&] { return model->index(filePath).isValid(); });
}

void typeName(QWidget *dialog, const QString &name)
{
    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(name);
}

void confirm(QWidget *dialog)
{
    QAbstractButton *button =
        dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))->buttons().constFirst();
    if (QTest::qWaitFor([button] { return button->isEnabled(); }))
        button->click();
    else
        dialog->close(); // the test then sees a cancelled dialog
}

bool showsColumnsWhole(QWidget *dialog, const QString &filePath)
{
    const auto *view = dialog->findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view || !view->isVisible() || view->header()->count() < 4 || !lists(dialog, filePath))
        return false;
    const QHeaderView *header = view->header();
    // What the column's texts need (public in the base class only).
    const auto *items = static_cast<const QAbstractItemView *>(view);
    for (int column = 0; column < 4; ++column) {
        if (header->sectionSize(column) < items->sizeHintForColumn(column))
            return false;
    }
    return header->sectionViewportPosition(3) + header->sectionSize(3) <= view->viewport()->width();
}

} // namespace FileDialogDriver
