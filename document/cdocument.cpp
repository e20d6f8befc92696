#include "document/cdocument.h"

#include "document/fileretry.h"
#include "document/patternfile.h"
#include "support/apperror.h"
#include "support/appinfo.h"
#include "support/filedialog.h"
#include "support/filestore.h"
#include "support/messagebox.h"
#include "support/mousepointer.h"
#include "support/sufiles.h"

#include <new>

namespace {

using TextBoxId = DocumentView::TextBoxId;
using CheckBoxId = DocumentView::CheckBoxId;

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

const QString PatternFilter = QStringLiteral("RegExp files|*.RegExp|All files|*.*");
const QString PatternExtension = QStringLiteral("RegExp");
const QString CantLoad = QStringLiteral("Can't load file.");
const QString CantSave = QStringLiteral("Can't save file.");
const QString InvalidData = QStringLiteral("File doesn't contain valid data.");
const QString SaveChanges = QStringLiteral("Save changes?");

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

// One command's share of the busy state: the outermost scope shows the wait pointer and the
// last one to end removes it, however the command ends.
class CDocument::BusyScope
{
public:
    explicit BusyScope(CDocument &document)
        : m_document(document)
    {
        if (m_document.m_busyDepth++ == 0)
            setMousePointer(MousePointer::Hourglass);
    }
    ~BusyScope()
    {
        if (--m_document.m_busyDepth == 0)
            setMousePointer(MousePointer::Default);
    }
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

bool CDocument::LoadAs(QString fileName)
{
    const BusyScope busy(*this);
    return LoadFromFile(fileName);
}

bool CDocument::LoadDropped(const QString &fileName)
{
    const BusyScope busy(*this);
    return RequestSave() && LoadFromFile(fileName);
}

bool CDocument::RequestSave()
{
    if (!IsDirty())
        return true;
    const QString prompt =
        m_fileName.isEmpty() ? SaveChanges : fileMessage(m_fileName, SaveChanges);
    switch (MsgBox(m_modal, prompt, MsgBoxStyle::YesNoCancelQuestion)) {
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
    if (m_fileName.isEmpty())
        return SaveAs();
    const BusyScope busy(*this);
    return SaveToFile(m_fileName);
}

void CDocument::attachSamples(SampleSet &samples)
{
    m_companion.attach(samples, [this] { MakeDirty(); });
}

void CDocument::Init(DocumentView &form)
{
    m_form = &form;
    Clear();
}

void CDocument::MakeDirty()
{
    // The window's change notifications may arrive before Init and while the document itself
    // sets the controls; neither is an edit.
    if (Busy() || !m_form)
        return;
    m_dirty = true;
    const QString caption = m_form->caption();
    if (!caption.startsWith(u"* "))
        m_form->setCaption(u"* " + caption);
}

QString CDocument::BaseTitle(QStringView applicationTitle)
{
    return applicationTitle.toString().remove(QStringLiteral("Brackwen - "), Qt::CaseSensitive);
}

bool CDocument::DoClear()
{
    if (!RequestSave())
        return false;
    for (TextBoxId box : {TextBoxId::txtPattern, TextBoxId::txtSourceString,
                          TextBoxId::txtReplaceVar, TextBoxId::txtResult})
        m_form->setText(box, QString());
    m_form->setCheckState(CheckBoxId::chkGlobal, 1);
    m_form->setCheckState(CheckBoxId::chkIgnoreCase, 1);
    m_form->setCheckState(CheckBoxId::chkMultiline, 1);
    m_form->setCheckState(CheckBoxId::chkIgnoreLineBreaks, 0);
    m_form->clearResults();
    m_companion.cleared();
    UpdateCaption(QString());
    m_fileName.clear();
    m_dirty = false;
    return true;
}

bool CDocument::DoLoad()
{
    if (!RequestSave())
        return false;
    FileDialog dialog;
    prepareDialog(dialog, m_fileName, m_form->dialogOwner(), false);
    if (!dialog.ShowOpen(m_modal))
        return false;
    return LoadFromFile(dialog.FilePath);
}

bool CDocument::LoadFromFile(const QString &fileName)
{
    patternfile::Parsed parsed;
    if (!retrying(m_modal, fileMessage(fileName, CantLoad), [&] {
            needingMemory(QStringLiteral("There is not enough memory to load the file."),
                          [&] { parsed = patternfile::parse(m_files.ReadText(fileName)); });
        }))
        return false;

    if (!parsed.fields) {
        MsgBox(m_modal, fileMessage(fileName, InvalidData), MsgBoxStyle::Critical);
        return false;
    }
    SamplesCompanion::Found samples = m_companion.read(fileName);
    const QString samplesProblem = samples.problem;

    const patternfile::Fields &fields = *parsed.fields;
    m_form->setText(TextBoxId::txtPattern, fields.pattern);
    m_form->setText(TextBoxId::txtSourceString, fields.source);
    m_form->setText(TextBoxId::txtReplaceVar, fields.replacement);
    m_form->setText(TextBoxId::txtResult, QString());
    m_form->setCheckState(CheckBoxId::chkGlobal, fields.global ? 1 : 0);
    m_form->setCheckState(CheckBoxId::chkIgnoreCase, fields.ignoreCase ? 1 : 0);
    m_form->setCheckState(CheckBoxId::chkMultiline, fields.multiline ? 1 : 0);
    m_form->setCheckState(CheckBoxId::chkIgnoreLineBreaks, fields.ignoreLineBreaks ? 1 : 0);
    m_form->clearResults();
    m_companion.loaded(fileName, std::move(samples));

    UpdateCaption(fileName);
    m_dirty = false;
    m_fileName = fileName;
    if (!samplesProblem.isEmpty())
        MsgBox(m_modal, samplesProblem, MsgBoxStyle::Critical);
    return true;
}

bool CDocument::DoSaveAs()
{
    FileDialog dialog;
    prepareDialog(dialog, m_fileName, m_form->dialogOwner(), true);
    if (!dialog.ShowSave(m_modal))
        return false;
    return SaveToFile(dialog.FilePath);
}

bool CDocument::SaveToFile(const QString &fileName)
{
    patternfile::Fields fields;
    fields.pattern = m_form->text(TextBoxId::txtPattern);
    fields.source = m_form->text(TextBoxId::txtSourceString);
    fields.replacement = m_form->text(TextBoxId::txtReplaceVar);
    fields.global = m_form->checkState(CheckBoxId::chkGlobal) != 0;
    fields.ignoreCase = m_form->checkState(CheckBoxId::chkIgnoreCase) != 0;
    fields.multiline = m_form->checkState(CheckBoxId::chkMultiline) != 0;
    fields.ignoreLineBreaks = m_form->checkState(CheckBoxId::chkIgnoreLineBreaks) != 0;

    if (const QString why = patternfile::unstorable(fields); !why.isEmpty()) {
        MsgBox(m_modal, fileMessage(fileName, CantSave) + u"\r\n\r\n" + why, MsgBoxStyle::Critical);
        return false;
    }
    const std::optional<SamplesCompanion::Plan> samplesPlan = m_companion.plan(fileName);
    if (!samplesPlan)
        return false;
    if (!retrying(m_modal, fileMessage(fileName, CantSave), [&] {
            QString content;
            needingMemory(QStringLiteral("There is not enough memory to save the text."),
                          [&] { content = patternfile::serialize(fields); });
            m_files.WriteText(fileName, content);
        }))
        return false;
    if (!m_companion.save(fileName, *samplesPlan))
        return false;

    UpdateCaption(fileName);
    m_dirty = false;
    m_fileName = fileName;
    return true;
}

QString CDocument::BaseTitle() const
{
    return BaseTitle(AppInfo::Title);
}

void CDocument::UpdateCaption(const QString &fileName)
{
    const QString name = fileName.isEmpty() ? QStringLiteral("Untitled") : fileName;
    m_form->setCaption(BaseTitle() + u" - [" + suGetFileName(name) + u"]");
}
