#pragma once

#include "synthesis/synthesis_screen.h"

class QLabel;

namespace synthesis {

// The sawtooth screen: odd and even sine harmonics of a falling ramp, a little over one period.
class Form5 : public SynthesisScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form5";
    explicit Form5(screens::SharedState& shared);
    void Form_Load() override;

protected:
    void drawAnswers(const SynthesisAnswers& answers) override;
    std::vector<QLabel*> captions() const override { return {Label1}; }

private:
    QLabel* Label1 = nullptr;
};

} // namespace synthesis
