#pragma once
// Every modal message box, file dialog and About box of the program passes through a ModalHost.
// Start-up builds the one that shows the real Qt dialogs and hands it down with the other
// services; a test hands in one that answers each request in order and records what was shown.

#include <QString>
#include <QStringList>

#include <functional>

enum class ModalKind
{
    MessageBox,
    OpenFile,
    SaveFile,
    About
};

struct ModalRequest
{
    ModalKind kind = ModalKind::MessageBox;
    int style = 0;           // message boxes: the style number (buttons + icon + default button)
    QString caption;         // window title
    QString text;            // message text; file dialogs: the initial file name
    QStringList buttonTexts; // message boxes: captions for the style's buttons, in order; none
                             // keeps the standard ones
    QString filter;          // file dialogs: the filter as the caller gave it ("Name|*.ext|...")
    QString initialDir;      // file dialogs
    QString defaultExt;      // file dialogs, without the dot
};

struct ModalAnswer
{
    int button = 0;        // message boxes: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No
    bool accepted = false; // file dialogs: true when a file was chosen
    QString filePath;      // file dialogs: the chosen file, absolute
};

class ModalHost
{
public:
    virtual ~ModalHost() = default;

    // Answers the request; this host shows the real dialog through showReal.
    virtual ModalAnswer run(const ModalRequest &request,
                            const std::function<ModalAnswer()> &showReal);
};
