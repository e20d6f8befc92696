#include "tests/support/testservices.h"

#include "support/textfile.h"
#include "tests/support/recordingopener.h"
#include "tests/support/scriptedresponder.h"

Services testServices(ModalHost &modal)
{
    static TextFile files;
    static RecordingOpener opener(false);
    return {files, opener, modal};
}

Services testServices()
{
    // Nothing scripted: every box is unexpected.
    static ScriptedResponder noDialogs;
    return testServices(noDialogs);
}
