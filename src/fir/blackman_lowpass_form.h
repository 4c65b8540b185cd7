#pragma once

#include "fir/design_screen.h"

namespace fir {

// Lowpass by the windowed sinc with a Blackman window.
class Form9 : public DesignScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form9";
    explicit Form9(screens::SharedState& shared);
};

} // namespace fir
