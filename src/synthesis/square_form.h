#pragma once

#include "synthesis/synthesis_screen.h"

class QLabel;

namespace synthesis {

// The square wave screen: odd harmonics summed into a square wave, with its rise time marked.
class Form3 : public SynthesisScreen {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form3";
    explicit Form3(screens::SharedState& shared);
    void Form_Load() override;

protected:
    void drawAnswers(const SynthesisAnswers& answers) override;
    std::vector<QLabel*> captions() const override { return {Label1, Label2}; }
    ZeroCount zeroCount(const screens::ExploreValues&) const override { return ZeroCount::Stops; }

private:
    void markRiseTime(int harmonics);
    std::optional<double> scanToCurve(double startX, double levelY);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
};

} // namespace synthesis
