#include "support/modalhost.h"

ModalAnswer ModalHost::run(const ModalRequest &, const std::function<ModalAnswer()> &showReal)
{
    return showReal();
}
