#pragma once
// Services for tests that need no particular fakes: the real file store and an opener that
// starts nothing (and answers that nothing was started). Tests share them.

#include "support/services.h"

const Services &testServices();
