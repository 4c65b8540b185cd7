#include "fir/highpass_form.h"

#include "dsp/fir_design.h"

namespace fir {
namespace {

std::vector<double> coefficients(const DesignValues& v)
{
    return dsp::fir::highpassTaps(v.samplingHz, v.bandHz, v.taps);
}

DesignScreenDescription description()
{
    return {
        .name = Form11::kName,
        .fileName = "highpass",
        .caption = QStringLiteral("FIR high-pass filter design (Blackman window)"),
        .questions = {samplingQuestion(), cutoffQuestion(QStringLiteral("350")),
                      tapsQuestion(QStringLiteral("15")), phaseQuestion()},
        .captions = {samplingCaption("Label27", {13, 415, 221, 28}),
                     cutoffCaption("Label28", {200, 415, 169, 48}),
                     tapsCaption("Label29", {375, 415, 175, 48})},
        .coefficients = coefficients,
        .refreshBeforePhase = true,
        .aboutBox = "frmAbout4",
        .kind = dsp::FilterKind::Highpass,
        .layout = {.coefficientPanel = {504, 27, 130, 262},
                   .coefficientList = {511, 40, 117, 243},
                   .minusLabel = {481, 332, 23, 16},
                   .frequencyLabelTop = 389,
                   .frequencyLabelColour = QColor(255, 0, 0)},
    };
}

} // namespace

Form11::Form11(screens::SharedState& shared) : DesignScreen(description(), shared) { }

} // namespace fir
