#pragma once

namespace forms {

// A redraw frees and takes again some megabytes (a sweep, its transforms, a trace's points).
// The allocator's own defaults hand such blocks back to the system and fault them in afresh,
// page by page, on each redraw, which costs more than drawing into them: this keeps them in the
// process instead. Called once at start, before the first window.
void keepFreedMemoryForRedraws();

} // namespace forms
