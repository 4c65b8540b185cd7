#pragma once

namespace program {

// Names the program to the desktop (organisation, application name and version, the desktop
// entry that starts it) and sets the icon that every window shows. Call once the QApplication
// exists.
void applyIdentity();

} // namespace program
