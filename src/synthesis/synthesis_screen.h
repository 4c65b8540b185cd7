#pragma once

#include "dsp/curve_sweep.h"
#include "dsp/wave_units.h"
#include "forms/form.h"
#include "screens/canvas_tools.h"
#include "screens/explore_panel.h"
#include "screens/screen_setup.h"
#include "screens/shared_state.h"

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace synthesis {

// Where a synthesis screen's three buttons stand.
struct ButtonColumn {
    QRect doAnother;
    QRect viewSpectrum;
    QRect mainMenu;
};

// Whether a screen draws for a count of 0 or stops there.
enum class ZeroCount { Draws, Stops };

// A synthesis screen's answers as typed: the count, and the duty cycle or the rectifier's choice
// on the screens that ask for them.
struct SynthesisAnswers {
    QString harmonics;
    QString dutyCycle = {};
    QString rectify = {};
};

// The shared 16-bit harmonic count, from an already converted count.
std::int16_t toSharedCount(double count);

// What the five synthesis screens share: the window, the three buttons and their handlers.
// "Main Menu" and the close box unload the screen, whose unload handler brings back the main
// menu; "Do Another" unloads and loads the screen afresh; "View Spectrum" shows the line
// spectrum of this screen's waveform over it. The canvas tools offer the curve in the series' own
// units, read it out under the pointer and, where the wave jumps, measure its overshoot; the
// Explore panel draws it again for other answers.
class SynthesisScreen : public forms::Form,
                        public screens::CanvasContent,
                        public screens::Explorable {
    Q_OBJECT
public:
    SynthesisScreen(const char* name, const QString& caption, dsp::WaveType waveType,
                    screens::SharedState& shared);

    void Form_Unload() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

    std::optional<std::vector<dsp::CurveRow>> curve() const override;
    bool measures() const override;
    std::vector<screens::Figure> figures() const override;
    screens::TraceReader reader() const override;
    bool holdable() const override { return m_drawn.has_value(); }
    screens::PlotAxes axes() const override;
    QString designName() const override;
    // The synthesis screens share their held traces.
    QString holdFamily() const override { return QStringLiteral("synthesis"); }
    std::optional<screens::ToneSource> tone() const override;
    QString fileStem() const override;

    std::vector<screens::ExploreControl> exploreControls() const override;
    std::optional<screens::ExploreValues> drawnValues() const override;
    screens::ExploreRange exploreRange(const QString& name,
                                       const screens::ExploreValues& values) const override;
    void explore(const screens::ExploreValues& values) override;

protected:
    // What follows the questions, from the answers as typed: screening them, the captions, the
    // shared values and the curve. The question flow and the Explore panel both draw with it.
    virtual void drawAnswers(const SynthesisAnswers& answers) = 0;
    // The captions the set-up blanks.
    virtual std::vector<QLabel*> captions() const = 0;
    // Whether a count of 0 draws, with these values.
    virtual ZeroCount zeroCount(const screens::ExploreValues& values) const;
    // The answers the panel's values stand for.
    virtual SynthesisAnswers answersFor(const screens::ExploreValues& values) const;

    // The standard button column of the square, triangle, sawtooth and rectified screens.
    ButtonColumn standardButtons() const;
    void placeButtons(const ButtonColumn& column);

    // Asks for a harmonic count. The box refuses text that is not a number and counts that,
    // converted as this screen converts them, do not fit the shared count.
    QString askHarmonics(const QString& title, const QString& defaultAnswer,
                         screens::CountConversion conversion);
    // Screens a count answer: a negative one ends the program; an empty one, or 0 on a screen
    // that refuses it, gives nothing (the screen stops); otherwise the whole part of the answer.
    std::optional<int> screenCount(const QString& answer, ZeroCount zero);
    // Once a count is accepted: the caption and the shared count show it, then the curve is
    // computed and drawn as one black polyline under the hourglass.
    void captionAndDraw(QLabel* caption, const QString& captionText, int harmonics, dsp::Wave wave,
                        const std::function<dsp::Curve(int)>& curveOf);
    // The curve just drawn, for the canvas tools.
    void keepDrawn(dsp::Wave wave, dsp::Curve curve, int harmonics, double dutyCycle = 0);

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

protected:
    screens::SharedState& m_shared;

private:
    struct Drawn {
        dsp::Wave wave;
        dsp::Curve curve;
        int harmonics;
        double dutyCycle;
    };

    dsp::WaveType m_waveType;
    std::optional<Drawn> m_drawn;
    screens::CanvasTools* m_tools = nullptr;
};

} // namespace synthesis
