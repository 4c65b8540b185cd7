#pragma once

#include "forms/form.h"

class QPushButton;

namespace synthesis {

// Where a synthesis screen's three buttons stand.
struct ButtonColumn {
    QRect doAnother;
    QRect viewSpectrum;
    QRect mainMenu;
};

// What the five synthesis screens share: the window, the three buttons and their handlers.
// "Main Menu" and the close box unload the screen, whose unload handler brings back the main
// menu; "Do Another" unloads and loads the screen afresh; "View Spectrum" shows the line
// spectrum of this screen's waveform over it.
class SynthesisScreen : public forms::Form {
    Q_OBJECT
public:
    SynthesisScreen(const char* name, const QString& caption, const QString& waveType);

    void Form_Unload() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    // The standard button column of the square, triangle, sawtooth and rectified screens.
    ButtonColumn standardButtons() const;
    void placeButtons(const ButtonColumn& column);

    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;
    QPushButton* Command3 = nullptr;

private:
    QString m_waveType;
};

} // namespace synthesis
