#pragma once

#include <QString>

namespace program {

// Whether the platform Qt is about to use can open a window the user sees, checked before
// QApplication exists (Qt aborts when its platform cannot start). Empty when it can; otherwise
// one line saying why not. An X server that does not greet the program within a few seconds
// cannot.
QString displayProblem();

// Qt makes itself a session runtime folder (XDG_RUNTIME_DIR) when it starts, and without that
// variable it would leave one behind in the temporary area (runtime-USER). While this object
// lives, an unset XDG_RUNTIME_DIR points at a private, empty folder of its own in the temporary
// area, which it removes again, also when a signal ends the program (the signal then ends it
// as it would have); a set one is left alone.
class PrivateRuntimeFolder {
public:
    PrivateRuntimeFolder();
    ~PrivateRuntimeFolder();
    PrivateRuntimeFolder(const PrivateRuntimeFolder&) = delete;
    PrivateRuntimeFolder& operator=(const PrivateRuntimeFolder&) = delete;

private:
    QString m_path;
};

} // namespace program
