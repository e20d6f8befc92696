#include "document/cdocument.h"

#include "support/apperror.h"
#include "support/appinfo.h"
#include "support/errorreporter.h"
#include "support/filedialog.h"
#include "support/messagebox.h"
#include "support/mousepointer.h"
#include "support/sufiles.h"
#include "support/textfile.h"

#include <QStringList>

#include <array>
#include <new>

namespace {

using TextBox = DocumentView::TextBox;
using CheckBox = DocumentView::CheckBox;

// Runs work; no memory for it is reported like a failed read or write, with description.
template<typename Work>
void needingMemory(const QString &description, Work work)
{
    try {
        work();
    } catch (const std::bad_alloc &) {
        throw AppError(AppErrorNumber::OutOfMemory, description);
    }
}

constexpr QChar FieldSeparator = QChar(0);
constexpr qsizetype FullFieldCount = 7;
constexpr qsizetype ShortFieldCount = 6;

constexpr std::array<TextBox, 3> StoredTexts = {TextBox::txtPattern, TextBox::txtSourceString,
                                                TextBox::txtReplaceVar};
constexpr std::array<CheckBox, 4> StoredChecks = {CheckBox::chkGlobal, CheckBox::chkIgnoreCase,
                                                  CheckBox::chkMultiline,
                                                  CheckBox::chkIgnoreLineBreaks};

const QString PatternFilter = QStringLiteral("RegExp files|*.RegExp|All files|*.*");
const QString PatternExtension = QStringLiteral("RegExp");
const QString CantLoad = QStringLiteral("Can't load file.");
const QString CantSave = QStringLiteral("Can't save file.");
const QString InvalidData = QStringLiteral("File doesn't contain valid data.");
const QString SaveChanges = QStringLiteral("Save changes?");

// A message about a file: the full name, a blank line, then the sentence.
QString fileMessage(const QString &fileName, const QString &sentence)
{
    return fileName + u"\r\n\r\n" + sentence;
}

// A dialog for one open or save command, starting in the current file's folder.
void prepareDialog(FileDialog &dialog, const QString &fileName, QWidget *owner, bool withName)
{
    dialog.Filter = PatternFilter;
    dialog.Options = 0;
    dialog.DefaultExt = PatternExtension;
    if (withName)
        dialog.FilePath = fileName;
    dialog.OwnerWindow = owner;
    dialog.InitDir = suGetFilePath(fileName);
    if (dialog.InitDir.isEmpty())
        dialog.InitDir = suGetCurrentDirectory();
}

} // namespace

// Sets Busy for the life of one command, and back to false however the command ends.
class CDocument::BusyScope
{
public:
    explicit BusyScope(CDocument &document)
        : m_document(document)
    {
        m_document.setBusy(true);
    }
    ~BusyScope() { m_document.setBusy(false); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    CDocument &m_document;
};

bool CDocument::Clear()
{
    const BusyScope busy(*this);
    return DoClear();
}

bool CDocument::Load()
{
    const BusyScope busy(*this);
    return DoLoad();
}

bool CDocument::LoadAs(QString FileName)
{
    const BusyScope busy(*this);
    return LoadFromFile(FileName);
}

bool CDocument::RequestSave()
{
    if (!IsDirty())
        return true;
    const QString prompt = mFileName.isEmpty() ? SaveChanges : fileMessage(mFileName, SaveChanges);
    switch (MsgBox(prompt, MsgBoxStyle::YesNoCancelQuestion)) {
    case MsgBoxButton::Cancel:
        return false;
    case MsgBoxButton::Yes:
        return Save();
    default:
        return true;
    }
}

bool CDocument::SaveAs()
{
    const BusyScope busy(*this);
    return DoSaveAs();
}

bool CDocument::Save()
{
    if (mFileName.isEmpty())
        return SaveAs();
    const BusyScope busy(*this);
    return SaveToFile(mFileName);
}

void CDocument::Init(DocumentView &Form)
{
    mForm = &Form;
    Clear();
}

void CDocument::MakeDirty()
{
    // The window's change notifications may arrive before Init and while the document itself
    // sets the controls; neither is an edit.
    if (Busy() || !mForm)
        return;
    mDirty = true;
    const QString caption = mForm->caption();
    if (!caption.startsWith(u"* "))
        mForm->setCaption(u"* " + caption);
}

QString CDocument::BaseTitle(QStringView applicationTitle)
{
    return applicationTitle.toString().remove(QStringLiteral("Brackwen - "), Qt::CaseSensitive);
}

void CDocument::setBusy(bool value)
{
    setMousePointer(value ? MousePointer::Hourglass : MousePointer::Default);
    mBusy = value;
}

bool CDocument::DoClear()
{
    if (!RequestSave())
        return false;
    for (TextBox box : {TextBox::txtPattern, TextBox::txtSourceString, TextBox::txtReplaceVar,
                        TextBox::txtResult})
        mForm->setText(box, QString());
    mForm->setCheckState(CheckBox::chkGlobal, 1);
    mForm->setCheckState(CheckBox::chkIgnoreCase, 1);
    mForm->setCheckState(CheckBox::chkMultiline, 1);
    mForm->setCheckState(CheckBox::chkIgnoreLineBreaks, 0);
    mForm->clearResults();
    UpdateCaption(QString());
    mFileName.clear();
    mDirty = false;
    return true;
}

bool CDocument::DoLoad()
{
    if (!RequestSave())
        return false;
    FileDialog dialog;
    prepareDialog(dialog, mFileName, mForm->dialogOwner(), false);
    if (!dialog.ShowOpen())
        return false;
    return LoadFromFile(dialog.FilePath);
}

bool CDocument::LoadFromFile(const QString &FileName)
{
    QStringList fields;
    for (;;) {
        try {
            needingMemory(QStringLiteral("There is not enough memory to load the file."), [&] {
                const QString content =
                    TextFile::instance().ReadText(FileName, true, 0, 0, 0, 0, 0, 0, false);
                fields = content.isEmpty() ? QStringList() : content.split(FieldSeparator);
            });
            break;
        } catch (const AppError &error) {
            const int button = ErrorReporter::instance().ShowError(
                error, MsgBoxStyle::RetryCancelCritical, 0, fileMessage(FileName, CantLoad), false);
            if (button != MsgBoxButton::Retry)
                return false;
        }
    }

    if (fields.size() < ShortFieldCount || fields.size() > FullFieldCount) {
        MsgBox(fileMessage(FileName, InvalidData), MsgBoxStyle::Critical);
        return false;
    }

    for (std::size_t i = 0; i < StoredTexts.size(); ++i)
        mForm->setText(StoredTexts[i], fields.at(qsizetype(i)));
    mForm->setText(TextBox::txtResult, QString());
    for (std::size_t i = 0; i < StoredChecks.size(); ++i) {
        const qsizetype field = qsizetype(StoredTexts.size() + i);
        // Only the single character "1" checks a box.
        const bool checked = field < fields.size() && fields.at(field) == u"1";
        mForm->setCheckState(StoredChecks[i], checked ? 1 : 0);
    }
    mForm->clearResults();

    UpdateCaption(FileName);
    mDirty = false;
    mFileName = FileName;
    return true;
}

bool CDocument::DoSaveAs()
{
    FileDialog dialog;
    prepareDialog(dialog, mFileName, mForm->dialogOwner(), true);
    if (!dialog.ShowSave())
        return false;
    return SaveToFile(dialog.FilePath);
}

bool CDocument::SaveToFile(const QString &FileName)
{
    QStringList fields;
    for (TextBox box : StoredTexts)
        fields.append(mForm->text(box));
    for (CheckBox box : StoredChecks)
        fields.append(QString::number(mForm->checkState(box)));

    // A NUL inside a text would split it into extra fields, and the file could never be loaded
    // again: refuse rather than write it.
    for (std::size_t i = 0; i < StoredTexts.size(); ++i) {
        if (fields.at(qsizetype(i)).contains(FieldSeparator)) {
            MsgBox(fileMessage(FileName, CantSave) +
                       u"\r\n\r\nThe pattern, the source text or the replacement contains a NUL "
                       u"character, which a pattern file can't hold.",
                   MsgBoxStyle::Critical);
            return false;
        }
    }
    for (;;) {
        try {
            QString content;
            needingMemory(QStringLiteral("There is not enough memory to save the text."),
                          [&] { content = fields.join(FieldSeparator); });
            TextFile::instance().WriteText(FileName, content, true, 3, 2, 1);
            break;
        } catch (const AppError &error) {
            const int button = ErrorReporter::instance().ShowError(
                error, MsgBoxStyle::RetryCancelCritical, 0, fileMessage(FileName, CantSave), false);
            if (button != MsgBoxButton::Retry)
                return false;
        }
    }

    UpdateCaption(FileName);
    mDirty = false;
    mFileName = FileName;
    return true;
}

QString CDocument::BaseTitle() const
{
    return BaseTitle(AppInfo::Title);
}

void CDocument::UpdateCaption(const QString &FileName)
{
    const QString name = FileName.isEmpty() ? QStringLiteral("Untitled") : FileName;
    mForm->setCaption(BaseTitle() + u" - [" + suGetFileName(name) + u"]");
}
