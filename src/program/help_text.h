#pragma once

#include <QString>

namespace program {

// What --help prints: the command line, the options, and every name --screen takes.
QString usage();

} // namespace program
