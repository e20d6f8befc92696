#pragma once
// Services for tests that need no particular fakes: the real file store and an opener that
// starts nothing (and answers that nothing was started), shared by the tests, with the modal
// host the test hands in; without one, any box or dialog that shows fails the running test.

#include "support/services.h"

Services testServices(ModalHost &modal);
Services testServices();
