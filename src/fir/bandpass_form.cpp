#include "fir/bandpass_form.h"

#include "dsp/fir_design.h"

namespace fir {
namespace {

std::vector<double> coefficients(const DesignValues& v)
{
    return dsp::fir::bandpassTaps(v.samplingHz, v.bandHz, v.centreHz, v.taps);
}

DesignScreenDescription description()
{
    return {
        .name = Form10::kName,
        .fileName = "bandpass",
        .caption = QStringLiteral("FIR band-pass filter design (Blackman window)"),
        .questions = {samplingQuestion(),
                      {Role::BandHz,
                       QStringLiteral("Pass bandwidth in Hz [less than half the sampling freq.]"),
                       QStringLiteral("100")},
                      centreQuestion(),
                      tapsQuestion(QStringLiteral("21")),
                      phaseQuestion()},
        // The centre-frequency line sits on a second row, in front of the two lines above it.
        .captions = {samplingCaption("Label17", {13, 415, 188, 41}),
                     {"Label18",
                      {213, 415, 201, 54},
                      QStringLiteral("The pass bandwidth is "),
                      Role::BandHz,
                      QStringLiteral(" Hz")},
                     tapsCaption("Label19", {375, 415, 169, 54}),
                     centreCaption("Label20", {207, 436, 188, 48})},
        .coefficients = coefficients,
        // The sine carrier leaves about half the lowpass's gain.
        .linearScale = dsp::fir::kBandpassLinearScale,
        .refreshBeforePhase = true,
        .aboutBox = "frmAbout3",
        .kind = dsp::FilterKind::Bandpass,
        .layout = {.minusLabel = {481, 332, 23, 16},
                   .frequencyLabelTop = 389,
                   .frequencyLabelColour = QColor(255, 0, 0)},
    };
}

} // namespace

Form10::Form10(screens::SharedState& shared) : DesignScreen(description(), shared) { }

} // namespace fir
