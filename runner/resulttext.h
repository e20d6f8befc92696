#pragma once
// What Replace needs of the result box: setting its text.

#include <QString>

class ResultText
{
public:
    virtual ~ResultText() = default;
    virtual void SetText(const QString &text) = 0;
};
