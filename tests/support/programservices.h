#pragma once
// The program's own services for tests that need no fakes: the real file store. Nothing in them
// changes, so tests share them.

#include "support/services.h"

const Services &programServices();
