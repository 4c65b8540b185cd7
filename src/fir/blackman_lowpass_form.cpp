#include "fir/blackman_lowpass_form.h"

#include "dsp/fir_design.h"

namespace fir {
namespace {

std::vector<double> coefficients(const DesignValues& v)
{
    return dsp::fir::blackmanLowpassTaps(v.samplingHz, v.bandHz, v.taps);
}

DesignScreenDescription description()
{
    return {
        .name = Form9::kName,
        .fileName = "blackman-lowpass",
        .caption = QStringLiteral("FIR low-pass filter design [Blackman window]"),
        .questions = {samplingQuestion(), cutoffQuestion(QStringLiteral("150")),
                      tapsQuestion(QStringLiteral("15")), phaseQuestion()},
        .captions = {samplingCaption("Label7", {13, 415, 175, 34}),
                     cutoffCaption("Label8", {213, 415, 143, 48}),
                     tapsCaption("Label9", {375, 415, 137, 54})},
        .coefficients = coefficients,
        .aboutBox = "frmAbout",
        .layout = {}, // the layout every other filter screen departs from
    };
}

} // namespace

Form9::Form9(screens::SharedState& shared) : DesignScreen(description(), shared) { }

} // namespace fir
