#pragma once
// The one open pattern file of the main window: its name, whether its content changed (the
// dirty state), the window title, and the commands that create, open and save it. The content
// lives only in the window's controls, which the document reads and writes through its view.
//
// The file's text is read and built by document/patternfile.h, and stored through the file
// store the document is given (TextFile in the program: UTF-16LE, replaced atomically); its
// questions, dialogs and failures go through the modal host it is given.
//
// The samples of a pattern file live beside it (SamplesCompanion); the pattern file's format
// does not change.
//
// Every command returns true when it was carried out; false when it was cancelled or failed,
// in which case the document and the window are as they were.

#include "document/documentview.h"
#include "document/samplescompanion.h"

class FileStore;
class ModalHost;
class SampleSet;

#include <QString>
#include <QStringView>

class CDocument
{
public:
    // files and modal (not owned) must outlive the document.
    CDocument(FileStore &files, ModalHost &modal)
        : m_files(files)
        , m_modal(modal)
        , m_companion(files, modal)
    {}

    // The samples kept beside the pattern file (work.RegExp.samples): loaded, saved and
    // emptied with it, and an edit of them makes the document dirty. Without them the
    // document touches no samples file. samples must outlive the document.
    void attachSamples(SampleSet &samples);

    // File > New: asks to save, then resets the window to a new, untitled document.
    bool Clear();
    // File > Open: asks to save, then loads the file chosen in the open dialog.
    bool Load();
    // Loads FileName (a full path) without asking to save and without a dialog.
    bool LoadAs(QString fileName);
    // A file dropped on the window: asks to save, then loads fileName (a full path).
    bool LoadDropped(const QString &fileName);
    // "Save changes?" when dirty; true when the caller may discard the content.
    bool RequestSave();
    // File > Save as: saves under the name chosen in the save dialog.
    bool SaveAs();
    // File > Save: writes to the current file, or acts as SaveAs for an untitled document.
    bool Save();
    // Keeps the view for the document's life and clears it. Called once, before anything else.
    void Init(DocumentView &form);
    // Marks the content changed and puts "* " before the caption; ignored while busy.
    void MakeDirty();
    bool IsDirty() const { return m_dirty; }
    // The full path of the file last loaded or saved; empty for a new document.
    QString FileName() const { return m_fileName; }

    // The application title without the maker's name: "Sievewright".
    static QString BaseTitle(QStringView applicationTitle);

private:
    class BusyScope;

    // Busy while any command runs; commands nest (New and Open may save first), and the wait
    // pointer shows from the outermost command's start to its end.
    bool Busy() const { return m_busyDepth > 0; }

    bool DoClear();
    bool DoLoad();
    bool LoadFromFile(const QString &fileName);
    bool DoSaveAs();
    bool SaveToFile(const QString &fileName);
    QString BaseTitle() const;
    // "Sievewright - [name]" with the name part of fileName, or "Untitled".
    void UpdateCaption(const QString &fileName);

    FileStore &m_files;
    ModalHost &m_modal;
    SamplesCompanion m_companion;
    QString m_fileName;
    bool m_dirty = false;
    int m_busyDepth = 0;
    DocumentView *m_form = nullptr;
};
