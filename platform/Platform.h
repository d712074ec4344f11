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
