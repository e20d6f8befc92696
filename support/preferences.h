#pragma once
// The user's choices that outlive the program (beside the window placements): on/off options
// kept by name in the settings group "Options".

#include <QString>

namespace Preferences {
// The option's stored state; fallback when it was never stored or can't be read.
bool flag(const QString &name, bool fallback);
void setFlag(const QString &name, bool on);
} // namespace Preferences
