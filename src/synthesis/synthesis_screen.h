#pragma once

#include "screens/screen_setup.h"
#include "screens/shared_state.h"
#include "forms/form.h"

#include <cstdint>
#include <functional>
#include <optional>

class QLabel;
class QPushButton;

namespace dsp {
struct Curve;
}

namespace synthesis {

// Where a synthesis screen's three buttons stand.
struct ButtonColumn {
    QRect doAnother;
    QRect viewSpectrum;
    QRect mainMenu;
};

// Whether a screen draws for a count of 0 or stops there.
enum class ZeroCount { Draws, Stops };

// The shared 16-bit harmonic count, from an already converted count.
std::int16_t toSharedCount(double count);

// What the five synthesis screens share: the window, the three buttons and their handlers.
// "Main Menu" and the close box unload the screen, whose unload handler brings back the main
// menu; "Do Another" unloads and loads the screen afresh; "View Spectrum" shows the line
// spectrum of this screen's waveform over it.
class SynthesisScreen : public forms::Form {
    Q_OBJECT
public:
    SynthesisScreen(const char* name, const QString& caption, dsp::WaveType waveType,
                    screens::SharedState& shared);

    void Form_Unload() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
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
    void captionAndDraw(QLabel* caption, const QString& captionText, int harmonics,
                        const std::function<dsp::Curve(int)>& curveOf);

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

protected:
    screens::SharedState& m_shared;

private:
    dsp::WaveType m_waveType;
};

} // namespace synthesis
