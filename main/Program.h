#pragma once
// The application object's names for this program: "kvsys" (the settings
// and placement files are named after the executable, not after it) and the
// title "Brellinghast". Window titles stay exactly as each window sets them:
// no display name is set for the window system to append.
void InitApplicationObject();
