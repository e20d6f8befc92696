#pragma once
// The main window a benchmark drives: real files, an opener that records what it is asked to
// open, and every message box answered with its first button. Shown on construction.

#include "bench/support/okresponder.h"
#include "support/textfile.h"
#include "tests/support/recordingopener.h"
#include "ui/main/frmmain.h"

struct BenchWindow
{
    OkResponder responder;
    TextFile files;
    RecordingOpener opener;
    frmMain window{Services{files, opener, responder}};

    BenchWindow() { window.show(); }
};
