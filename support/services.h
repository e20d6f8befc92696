#pragma once
// The services that start-up builds once and hands to the main window, which passes them on to
// its document (files, modal), the runner, the code generator and the spreadsheet export
// (modal), the export and the read-me (opener). The objects are not owned and outlive every
// window they are handed to; tests hand in fakes.

class FileOpener;
class FileStore;
class ModalHost;

struct Services
{
    FileStore &files;
    FileOpener &opener;
    // Every message box, file dialog and About box.
    ModalHost &modal;
};
