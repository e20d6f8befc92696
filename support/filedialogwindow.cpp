#include "support/filedialogwindow.h"

#include "support/appinfo.h"
#include "support/windowplacement.h"

#include <QDateTime>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

namespace {
// Texts as wide as what the size, type and date columns usually show.
constexpr QStringView WidestSize = u"1,023.9 KiB";
constexpr QStringView WidestType = u"Sievewright pattern file";
// Lines of the list the dialog shows at least.
constexpr int VisibleLines = 20;
} // namespace

FileDialogWindow::FileDialogWindow(QWidget *owner, bool save, const QString &caption,
                                   const QString &dir, const QString &filter,
                                   const QString &defaultExt)
    : QFileDialog(owner, caption, dir, filter)
    , m_defaultExt(defaultExt)
{
    setObjectName(save ? QStringLiteral("dlgSaveFile") : QStringLiteral("dlgOpenFile"));
    setOption(QFileDialog::DontUseNativeDialog);
    setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    setViewMode(QFileDialog::Detail);
    chooseSuffix();
    connect(this, &QFileDialog::filterSelected, this, [this] {
        chooseSuffix();
        refreshOkButton();
    });
    // Opening, a typed name of an existing file is taken as typed; the extension is added only
    // to one that doesn't exist.
    m_nameEdit = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    if (m_nameEdit && !save)
        connect(m_nameEdit, &QLineEdit::textChanged, this, [this] {
            chooseSuffix();
            refreshOkButton();
        });
    // The list is filtered anew a moment after the filter changes; a typed name may only then
    // be listed.
    if (auto *model = findChild<QFileSystemModel *>())
        connect(model, &QAbstractItemModel::layoutChanged, this,
                &FileDialogWindow::refreshOkButton);
    m_sizeRestored =
        WindowPlacement().RestoreSize(this, QString(), AppInfo::PlacementSection.toString());
}

bool FileDialogWindow::filterAddsExt(const QString &nameFilter, const QString &ext)
{
    if (ext.isEmpty())
        return false;
    const QString patterns = nameFilter.section(u'(', -1).section(u')', 0, 0);
    return patterns.split(u' ', Qt::SkipEmptyParts).contains(u"*." + ext, Qt::CaseInsensitive);
}

void FileDialogWindow::showEvent(QShowEvent *event)
{
    QFileDialog::showEvent(event);
    // Laid out, not yet on the screen: growing now shows no jump.
    if (!m_sizeRestored && !m_fitted) {
        m_fitted = true;
        fitColumns();
    }
}

void FileDialogWindow::fitColumns()
{
    auto *view = findChild<QTreeView *>(QStringLiteral("treeView"));
    if (!view)
        return;
    QHeaderView *header = view->header();
    const QFontMetrics metrics = view->fontMetrics();
    const int padding = 2 * metrics.averageCharWidth() +
                        2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    const QString widestDate = QLocale::system().toString(
        QDateTime(QDate(2026, 12, 28), QTime(23, 58)), QLocale::ShortFormat);
    const QStringList widest = {WidestSize.toString(), WidestType.toString(), widestDate};
    int needed = header->sectionSize(0);
    for (int column = 1; column <= widest.size() && column < header->count(); ++column) {
        const int width = qMax(header->sectionSizeHint(column),
                               metrics.horizontalAdvance(widest.at(column - 1)) + padding);
        header->resizeSection(column, width);
        needed += width;
    }
    QSize size = this->size();
    size.rwidth() += qMax(0, needed - view->viewport()->width());
    size.rheight() += qMax(0, VisibleLines * metrics.lineSpacing() - view->viewport()->height());
    if (const QScreen *screen = this->screen())
        size = size.boundedTo(screen->availableSize());
    // Still centred where it was placed.
    const QSize grown = size - this->size();
    move(pos() - QPoint(grown.width() / 2, grown.height() / 2));
    resize(size);
}

void FileDialogWindow::chooseSuffix()
{
    setDefaultSuffix(filterAddsExt(selectedNameFilter(), m_defaultExt) && !typedNameExists()
                         ? m_defaultExt
                         : QString());
}

bool FileDialogWindow::typedNameExists() const
{
    if (acceptMode() != QFileDialog::AcceptOpen || !m_nameEdit)
        return false;
    const QString typed = m_nameEdit->text();
    return !typed.isEmpty() && QFileInfo(directory(), typed).isFile();
}

void FileDialogWindow::refreshOkButton()
{
    // Whether Open is enabled depends on the typed name with the extension added or not.
    if (metaObject()->indexOfSlot("_q_updateOkButton()") >= 0)
        QMetaObject::invokeMethod(this, "_q_updateOkButton");
    // The dialog looks the name up among the files the filter lists; an existing file that the
    // filter hides opens all the same.
    if (typedNameExists()) {
        if (auto *buttons = findChild<QDialogButtonBox *>(QStringLiteral("buttonBox")))
            if (QPushButton *open = buttons->button(QDialogButtonBox::Open))
                open->setEnabled(true);
    }
}

void FileDialogWindow::accept()
{
    // The filter chosen now decides, also one the program chose.
    chooseSuffix();
    QFileDialog::accept();
}

void FileDialogWindow::done(int result)
{
    WindowPlacement().StoreSize(this, QString(), AppInfo::PlacementSection.toString());
    QFileDialog::done(result);
}
