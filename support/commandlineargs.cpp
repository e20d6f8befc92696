#include "support/commandlineargs.h"
