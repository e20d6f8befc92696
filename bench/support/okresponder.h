#pragma once
// Answers every message box of a benchmark with its first button and remembers the last text.

#include "support/modalhost.h"

#include <QString>

#include <functional>

class OkResponder : public ModalHost
{
public:
    QString lastText;
    ModalAnswer run(const ModalRequest &request, const std::function<ModalAnswer()> &) override
    {
        lastText = request.text;
        ModalAnswer answer;
        answer.button = 1;
        return answer;
    }
};
