#include "fir/bandstop_form.h"

#include "dsp/fir_design.h"

namespace fir {
namespace {

std::vector<double> coefficients(const DesignValues& v)
{
    return dsp::fir::bandstopTaps(v.samplingHz, v.bandHz, v.centreHz, v.taps);
}

DesignScreenDescription description()
{
    return {
        .name = Form12::kName,
        .fileName = "bandstop",
        .caption = QStringLiteral("FIR band-stop filter design (Blackman window)"),
        .questions = {samplingQuestion(),
                      {Role::BandHz,
                       QStringLiteral("Stop bandwidth in Hz [less than half the sampling freq.]"),
                       QStringLiteral("200")},
                      centreQuestion(),
                      tapsQuestion(QStringLiteral("29")),
                      phaseQuestion()},
        // The centre-frequency line sits on a second row, in front of the two lines above it.
        .captions = {samplingCaption("Label37", {13, 415, 182, 21}),
                     {"Label38",
                      {200, 415, 182, 28},
                      QStringLiteral("The stop bandwidth is "),
                      Role::BandHz,
                      QStringLiteral(" Hz")},
                     tapsCaption("Label39", {401, 415, 156, 28}),
                     centreCaption("Label40", {194, 436, 227, 28})},
        .coefficients = coefficients,
        .linearScale = dsp::fir::kBandstopLinearScale,
        .refreshBeforePhase = true,
        .aboutBox = "frmAbout5",
        .kind = dsp::FilterKind::Bandstop,
        .layout = {.coefficientPanel = {504, 20, 130, 262},
                   .coefficientList = {511, 34, 117, 243},
                   .minusLabel = {481, 332, 23, 16},
                   .frequencyLabelTop = 389,
                   .frequencyLabelColour = QColor(255, 0, 0),
                   .buttonLeft = 543},
    };
}

} // namespace

Form12::Form12(screens::SharedState& shared) : DesignScreen(description(), shared) { }

} // namespace fir
