#include "support/modalresponder.h"

namespace {
ModalResponder *g_responder = nullptr;
}

namespace ModalHost {

void setResponder(ModalResponder *responder)
{
    g_responder = responder;
}

ModalResponder *responder()
{
    return g_responder;
}

ModalAnswer run(const ModalRequest &request, const std::function<ModalAnswer()> &showReal)
{
    if (g_responder)
        return g_responder->respond(request);
    return showReal();
}

} // namespace ModalHost
