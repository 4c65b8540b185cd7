#pragma once

#include "synthesis/synthesis_screen.h"

class QLabel;

namespace synthesis {

// The rectified sine screen: a full-wave or a half-wave rectified sine, about four cycles.
class Form6 : public SynthesisScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form6";
    explicit Form6(screens::SharedState& shared);
    void Form_Load() override;

private:
    QLabel* Label1 = nullptr;
};

} // namespace synthesis
