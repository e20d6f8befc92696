#include "tests/support/programservices.h"

#include "support/textfile.h"

const Services &programServices()
{
    static TextFile files;
    static const Services services{files};
    return services;
}
