#pragma once
// Reads a Visual Basic string expression back to its value, independently of the generator:
// quoted pieces with doubled quotes, vbTab, vbCrLf, vbCr, vbLf, the & operator and the " _"
// line continuation (a blank, an underscore and a line end; the next line may be indented).

#include <QString>

#include <optional>

// The value of expression, or nothing (with the reason in *error) when it is not a well-formed
// expression of that kind or has anything after it.
std::optional<QString> evaluateVbStringExpression(const QString &expression,
                                                  QString *error = nullptr);
