#pragma once

#include "synthesis/synthesis_screen.h"

class QLabel;

namespace synthesis {

// The pulse screen: a pulse train of chosen duty cycle, dc and harmonics 1 to N, about four
// periods.
class Form13 : public SynthesisScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form13";
    explicit Form13(screens::SharedState& shared);
    void Form_Load() override;

private:
    std::optional<double> screenDutyCycle(const QString& answer);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
};

} // namespace synthesis
