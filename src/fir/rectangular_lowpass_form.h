#pragma once

#include "fir/design_screen.h"

class QCheckBox;

namespace fir {

// Lowpass with the sinc simply truncated (no window), to compare with the Blackman design. It
// can also plot the taps and, by its check boxes instead of a question, the phase; " Do Another"
// designs again on the same screen, so the check boxes keep their state.
class Form8 : public DesignScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form8";
    explicit Form8(screens::SharedState& shared);

    void Form_Load() override;
    void Command1_Click() override;
    void filterdesign();

    std::vector<screens::ExploreControl> exploreControls() const override;
    std::optional<screens::ExploreValues> drawnValues() const override;

protected:
    void blankTapPlotLabels() override;
    void captionTapPlot() override;
    void plotTaps(const DesignValues& values) override;
    bool wantsPhase(const Answers& answers) const override;
    void setExploredChecks(const screens::ExploreValues& values) override;

private:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QCheckBox* Check1 = nullptr;
    QCheckBox* Check2 = nullptr;
};

} // namespace fir
