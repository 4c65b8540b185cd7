#pragma once

#include "fir/design_screen.h"

namespace fir {

// Highpass: the Blackman lowpass for fs/2 - fc, moved up to fs/2.
class Form11 : public DesignScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form11";
    explicit Form11(screens::SharedState& shared);
};

} // namespace fir
