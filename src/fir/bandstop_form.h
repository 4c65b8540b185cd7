#pragma once

#include "fir/design_screen.h"

namespace fir {

// Bandstop: the ideal band-reject response around the centre frequency, Blackman windowed.
class Form12 : public DesignScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form12";
    explicit Form12(screens::SharedState& shared);
};

} // namespace fir
