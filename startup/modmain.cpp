#include "startup/modmain.h"

#include "support/appinfo.h"
#include "support/appservices.h"
#include "support/messagebox.h"
#include "support/services.h"
#include "support/sufiles.h"
#include "support/suwindow.h"
#include "ui/main/frmmain.h"

bool Main(const Services &services)
{
    suRegisterAppPath();
    if (!suIsInIDE())
        suSetWindowResIconAll(suGetThunderMainHandle(), QStringLiteral("A_MAIN"));
    if (!CheckCommandLine(services.modal))
        return false;
    // Owned by the application: deleted when closed, which ends the event loop.
    auto *window = new frmMain(services);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return true;
}

bool CheckCommandLine(ModalHost &modal)
{
    const CommandLineArgs &args = AppServices::instance().CommandLine();
    if (args.Count() > 1) {
        ShowUsage(modal);
        return false;
    }
    if (args.Count() == 1 && args.Item(0) == u"/?") {
        ShowUsage(modal);
        return false;
    }
    return true;
}

QString usageText()
{
    return u"Usage: " + ApplicationInfo::current().exeName + u"[.EXE] [RegExpFileName]";
}

void ShowUsage(ModalHost &modal)
{
    MsgBox(modal, usageText(), MsgBoxStyle::Information, AppInfo::Title.toString());
}
