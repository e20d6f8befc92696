#include "tests/support/testservices.h"

#include "support/textfile.h"
#include "tests/support/recordingopener.h"

const Services &testServices()
{
    static TextFile files;
    static RecordingOpener opener(false);
    static const Services services{files, opener};
    return services;
}
