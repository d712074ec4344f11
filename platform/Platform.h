#pragma once
// Facilities of the machine the program runs on.
#include <QString>

// The login name of the user running the program (the system's user
// database, then the USER variable); empty when neither knows it.
QString PlatformUserName();

// The folder that holds the settings and placement files, with a trailing
// separator: $XDG_CONFIG_HOME/tarvalis/ (default ~/.config/tarvalis/).
// Created when it does not exist yet.
QString SettingsFolder();

// Whether the program may write a file or folder. The file system decides;
// tests put a probe of their own in its place (the previous one is
// returned; an empty probe restores the file system's answer).
#include <functional>
using WritableProbe = std::function<bool(const QString& path)>;
bool PathWritable(const QString& path);
WritableProbe SetWritableProbe(WritableProbe probe);
