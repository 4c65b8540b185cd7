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

protected:
    void drawAnswers(const SynthesisAnswers& answers) override;
    std::vector<QLabel*> captions() const override { return {Label1, Label2}; }
    std::vector<screens::ExploreControl> exploreControls() const override;
    ZeroCount zeroCount(const screens::ExploreValues&) const override { return ZeroCount::Stops; }
    SynthesisAnswers answersFor(const screens::ExploreValues& values) const override;

private:
    std::optional<double> screenDutyCycle(const QString& answer);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
};

} // namespace synthesis
