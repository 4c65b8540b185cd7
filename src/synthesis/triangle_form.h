#pragma once

#include "synthesis/synthesis_screen.h"

class QLabel;

namespace synthesis {

// The triangle screen: odd cosine harmonics with 1/n^2 amplitudes, a little over one period.
class Form4 : public SynthesisScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form4";
    explicit Form4(screens::SharedState& shared);
    void Form_Load() override;

protected:
    void drawAnswers(const SynthesisAnswers& answers) override;
    std::vector<QLabel*> captions() const override { return {Label1}; }

private:
    QLabel* Label1 = nullptr;
};

} // namespace synthesis
