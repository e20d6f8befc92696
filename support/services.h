#pragma once
// The services that start-up builds once and hands down to the main window and its document.
// The objects are not owned and outlive every window they are handed to; tests hand in fakes.

class FileOpener;
class FileStore;

struct Services
{
    FileStore &files;
    FileOpener &opener;
};
