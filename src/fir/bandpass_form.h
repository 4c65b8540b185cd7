#pragma once

#include "fir/design_screen.h"

namespace fir {

// Bandpass: the Blackman lowpass for half the pass bandwidth, moved to the centre frequency.
class Form10 : public DesignScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form10";
    explicit Form10(screens::SharedState& shared);
};

} // namespace fir
