#pragma once
// The program's identity: titles, names and version shown to the user and used for settings.

#include <QStringView>

namespace AppInfo {
// Caption of every message box that has none of its own.
inline constexpr QStringView Title = u"Brackwen - Sievewright";
inline constexpr QStringView Organization = u"Brackwen";
inline constexpr QStringView Application = u"Sievewright";
inline constexpr QStringView Version = u"1.06.0049";
// What the program is, in one sentence (the About box).
inline constexpr QStringView Description =
    u"A bench for trying out regular expressions as the VBScript 5.5 RegExp object runs them.";
// Its copyright and licence (the About box).
inline constexpr QStringView Licence = u"Copyright 2026 Brackwen. Released under the MIT licence.";
// QSettings group that keeps one placement record per window.
inline constexpr QStringView PlacementSection = u"Window placement";
} // namespace AppInfo

#include <QString>

// The application's information object handed to the About box and the placement store.
struct ApplicationInfo
{
    QString title;       // "Brackwen - Sievewright"
    QString version;     // "1.06.0049"
    QString exeName;     // the executable's base name, as the platform reports it
    QString description; // what the program is, in one sentence
    QString licence;     // its copyright and licence

    static ApplicationInfo current();
};
