#include "synthesis/square_form.h"

#include "dsp/answer.h"
#include "dsp/plot_geometry.h"
#include "dsp/series.h"
#include "forms/palette.h"
#include "screens/screen_setup.h"
#include "screens/shared_state.h"

#include <QLabel>

#include <cmath>

namespace synthesis {

using forms::paletteColour;

namespace {

constexpr double kUpperLevel = dsp::curveYAt(0.9);  // +90 % of the amplitude
constexpr double kLowerLevel = dsp::curveYAt(-0.9); // -90 %
constexpr double kScanStep = 0.02;
constexpr double kCanvasRight = dsp::kCanvasWidth;

// Each scan starts left of the rising edge's crossing at t = 2 pi and right of every earlier
// crossing of its level by the ripples, which close in on the edge as N grows.
double upperScanStart(int harmonics) { return harmonics <= 10 ? 245 - 1.4 * harmonics : 232; }
double lowerScanStart(int harmonics) { return harmonics <= 10 ? 223 + 1.3 * harmonics : 236; }

} // namespace

Form3::Form3(screens::SharedState& shared)
    : SynthesisScreen(kName, QStringLiteral("Fourier square generator"), dsp::WaveType::Square,
                      shared)
{
    placeButtons(standardButtons());
    Label1 = addLabel(QStringLiteral("Label1"), twipsRect(2880, 7200, 4215, 495),
                      screens::arial(12, true));
    screens::paintControl(Label1, QColor(0, 0, 255), Qt::white);
    Label2 = addLabel(QStringLiteral("Label2"), twipsRect(3120, 6360, 3135, 375),
                      screens::arial(12, true));
    screens::paintControl(Label2, QColor(255, 0, 0), QColor(255, 255, 192));
}

void Form3::Form_Load()
{
    screens::standardSetUp(*this, {.blanked = {Label1, Label2}});
    screens::drawGraticuleOn(*this);

    drawAnswers({askHarmonics(QStringLiteral("Number of Odd Harmonics"), QStringLiteral("3"),
                              screens::CountConversion::NearestEven)});
}

// The shared count is the nearest whole number, taken before the answer is screened.
void Form3::drawAnswers(const SynthesisAnswers& answers)
{
    const QString& answer = answers.harmonics;
    if (const auto value = dsp::readNumber(answer.toStdString()))
        m_shared.Harmonics = toSharedCount(dsp::roundHalfEven(*value));
    const std::optional<int> count = screenCount(answer, ZeroCount::Stops);
    if (!count)
        return;

    const int harmonics = *count;
    screens::showOnOneLine(
        Label1, screens::captionWith(QStringLiteral("Number of Odd Harmonics  =  "), harmonics));
    screens::busyOn(*this);

    // The first point, in a colour whose red part is 14, places the pen on the zero line.
    const dsp::Curve curve = dsp::squareWaveCurve(harmonics);
    PSet(curve.points.front().x, curve.points.front().y, forms::bareNumberColour(14));
    for (std::size_t i = 1; i < curve.points.size(); ++i)
        LineTo(curve.points[i].x, curve.points[i].y);
    keepDrawn(dsp::Wave::Square, curve, harmonics);

    if (harmonics == 1) {
        setMousePointer(0);
        return;
    }
    Refresh();
    markRiseTime(harmonics);
    screens::busyOff(*this);
}

// Reads the persistent image along a level until it meets the black curve. The scan gives up
// at the canvas edge: a curve that never reaches the level (fewer than one harmonic) has no
// crossing to mark.
std::optional<double> Form3::scanToCurve(double startX, double levelY)
{
    const QColor black = paletteColour(0);
    double x = startX;
    do {
        x += kScanStep;
        if (x > kCanvasRight)
            return std::nullopt;
    } while (Point(x, levelY) != black);
    return x;
}

void Form3::markRiseTime(int harmonics)
{
    const auto upper = scanToCurve(upperScanStart(harmonics), kUpperLevel);
    const auto lower = scanToCurve(lowerScanStart(harmonics), kLowerLevel);
    if (!upper || !lower)
        return;
    setForeColor(paletteColour(12));
    setDrawWidth(1);
    Line(*upper - 5, kUpperLevel, *upper + 5, kUpperLevel);
    Line(*upper, kUpperLevel, *upper, 350);
    Line(*lower - 5, kLowerLevel, *lower + 5, kLowerLevel);
    Line(*lower, kLowerLevel, *lower, 350);
    // 1.75 / (2N - 1) divisions, cut (not rounded) to four decimals.
    const double riseTime = std::floor(17500.0 / (2 * harmonics - 1)) / 10000;
    screens::showOnOneLine(Label2,
                           screens::captionWith(QStringLiteral("Risetime  = "), riseTime)
                               + QStringLiteral(" Divisions"));
}

} // namespace synthesis
