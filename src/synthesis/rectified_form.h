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

protected:
    void drawAnswers(const SynthesisAnswers& answers) override;
    std::vector<QLabel*> captions() const override { return {Label1}; }
    std::vector<screens::ExploreControl> exploreControls() const override;
    ZeroCount zeroCount(const screens::ExploreValues& values) const override;
    SynthesisAnswers answersFor(const screens::ExploreValues& values) const override;

private:
    QLabel* Label1 = nullptr;
};

} // namespace synthesis
