#include "dsp/harmonic_lines.h"

#include "dsp/answer.h"
#include "dsp/plot_geometry.h"
#include "dsp/series_coefficients.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace dsp {
namespace {

constexpr double kAxis = kSpectrumAxisY;          // baseline: every line stands on it
constexpr double kFullScale = kSpectrumFullScale; // the full-scale tick's height above the axis
constexpr int kAxisColour = 11;
constexpr int kLineColour = 12;
constexpr int kMarkerColour = 0;
constexpr int kDcColour = 9;

const std::string kOddCount = "The number of ODD harmonics  =  ";
const std::string kCount = "The number of harmonics  =  ";
const std::string kNoEvenEnergy = "There is no energy at the EVEN harmonic frequencies.";
const std::string kEvenAndOddEnergy = "There is energy at both EVEN and ODD harmonic frequencies.";
const std::string kDcRemark = "There is a dc component [0 Hz].";

// +1 for even k, -1 for odd k: (-1)^k.
double alternating(int k) { return k % 2 == 0 ? 1 : -1; }

void setCaptions(SpectrumPlot& plot, std::string count, std::string title, std::string energy,
                 std::string extra, std::string dc)
{
    plot.label1 = std::move(count);
    plot.label2 = std::move(title);
    plot.label3 = std::move(energy);
    plot.label4 = std::move(extra);
    plot.label5 = std::move(dc);
}

class Drawing {
public:
    Drawing(std::vector<Stroke>& strokes, std::vector<SpectrumLine>& lines)
        : strokes_(strokes), lines_(lines)
    {
    }

    void stroke(PlotPoint from, PlotPoint to, int palette, int width)
    {
        strokes_.push_back({from, to, palette, width});
    }
    // A harmonic: from its top straight down to the axis.
    void line(int k, double x, double height)
    {
        stroke({x, spectrumTopY(height)}, {x, kAxis}, kLineColour, 2);
        shows(k, x, height);
    }
    // A harmonic with no energy: one black point just above the axis.
    void zeroMarker(int k, double x)
    {
        stroke({x, spectrumTopY(1)}, {x, spectrumTopY(1)}, kMarkerColour, 1);
        shows(k, x, 0);
    }
    void dcLineDown(double height)
    {
        stroke({kSpectrumDcX, spectrumTopY(height)}, {kSpectrumDcX, kAxis}, kDcColour, 2);
        shows(0, kSpectrumDcX, height);
    }
    // The harmonic a stroke drawn on its own stands for, `height` units tall.
    void shows(int k, double x, double height) { lines_.push_back({k, x, height / kFullScale}); }

private:
    std::vector<Stroke>& strokes_;
    std::vector<SpectrumLine>& lines_;
};

void drawAxes(Drawing& drawing)
{
    drawing.stroke({kSpectrumAxisLeft, kAxis}, {kSpectrumAxisRight, kAxis}, kAxisColour, 1);
    drawing.stroke({kSpectrumAxisLeft, kAxis}, {kSpectrumAxisLeft, kSpectrumAxisTopY}, kAxisColour,
                   1);
    const double fullScaleY = spectrumTopY(kFullScale); // one full-scale amplitude high
    drawing.stroke({kSpectrumTickLeft, fullScaleY}, {kSpectrumTickRight, fullScaleY}, kLineColour,
                   1);
}

// Square and triangle: lines at the odd harmonics, markers at the even ones, 10 s apart.
template <typename HeightOf>
void drawOddHarmonics(Drawing& drawing, int harmonics, HeightOf heightOf)
{
    const double s = spacingFactor(harmonics);
    for (int k = 1; k <= 2 * harmonics; ++k) {
        const double x = spectrumLineX(kSpectrumOddSpacing, k, s);
        if (k % 2 == 1)
            drawing.line(k, x, heightOf(k));
        else
            drawing.zeroMarker(k, x);
    }
}

// Sawtooth and pulse: a line at every harmonic, 20 s apart.
template <typename HeightOf>
void drawAllHarmonics(Drawing& drawing, int harmonics, HeightOf heightOf)
{
    const double s = spacingFactor(harmonics);
    for (int k = 1; k <= harmonics; ++k)
        drawing.line(k, spectrumLineX(kSpectrumEverySpacing, k, s), heightOf(k));
}

void drawSquare(SpectrumPlot& plot, Drawing& drawing, int harmonics)
{
    setCaptions(plot, kOddCount + std::to_string(harmonics), "Square Wave Spectrum", kNoEvenEnergy,
                "", "");
    drawOddHarmonics(drawing, harmonics,
                     [](int k) { return 4 * kFullScale * std::sin(kPi / 2) / (kPi * k); });
}

void drawTriangle(SpectrumPlot& plot, Drawing& drawing, int harmonics)
{
    setCaptions(plot, kOddCount + std::to_string(harmonics), "Triangle Wave Spectrum",
                kNoEvenEnergy, "", "");
    drawOddHarmonics(drawing, harmonics, [](int k) {
        const double scaled = kPi * k;
        return 8 * kFullScale / std::sin(kPi / 2) / (scaled * scaled);
    });
}

void drawSawtooth(SpectrumPlot& plot, Drawing& drawing, int harmonics)
{
    setCaptions(plot, kCount + std::to_string(harmonics), "Sawtooth Wave Spectrum",
                kEvenAndOddEnergy, "", "");
    drawAllHarmonics(drawing, harmonics, [](int k) { return 2 * kFullScale / (kPi * k); });
}

// The dc line rises from the axis, D of the full scale tall; it is drawn even for 0 harmonics.
// A duty cycle above 1 is left here by a pulse screen that refused to draw it. The dc line then
// stops at the canvas top, where it would leave the canvas anyway, so that the largest answers do
// not send it to infinity; and where k pi D overflows, the sine has no value and the line no
// height.
void drawPulse(SpectrumPlot& plot, Drawing& drawing, int harmonics, const std::string& dutyCycle)
{
    setCaptions(plot, kCount + std::to_string(harmonics), "Pulse Wave Spectrum", kEvenAndOddEnergy,
                "Duty Cycle = " + dutyCycle, kDcRemark);
    const double d = readNumber(dutyCycle).value_or(0);
    drawAllHarmonics(drawing, harmonics, [d](int k) {
        const double height = std::abs((2 * kFullScale / (k * kPi)) * std::sin(k * kPi * d));
        return std::isfinite(height) ? height : 0.0;
    });
    const double dcHeight = std::min(kFullScale * d, kAxis);
    drawing.stroke({kSpectrumDcX, kAxis}, {kSpectrumDcX, spectrumTopY(dcHeight)}, kDcColour, 2);
    drawing.shows(0, kSpectrumDcX, dcHeight);
}

// Harmonics of the rectified wave, 20 units apart and never squeezed. The first line is drawn
// 10/(3 pi) of full scale tall rather than the 4/(3 pi) of the general term; the dc line is 0.9
// of that first line.
void drawFullWave(SpectrumPlot& plot, Drawing& drawing, int harmonics)
{
    setCaptions(plot, kCount + std::to_string(harmonics), "Rectified Full Wave Spectrum",
                kEvenAndOddEnergy, " ", kDcRemark);
    if (harmonics == 0)
        return;
    const double first = 10 * kFullScale / (3 * kPi);
    drawing.line(1, spectrumLineX(kSpectrumEverySpacing, 1), first);
    for (int k = 2; k <= harmonics; ++k) {
        const double twiceK = 2.0 * k;
        const double height = 4 * kFullScale * alternating(k) / (kPi * (1 - twiceK * twiceK));
        drawing.line(k, spectrumLineX(kSpectrumEverySpacing, k), std::abs(height));
    }
    drawing.dcLineDown(0.9 * first);
}

// Harmonics of the sine, 10 units apart: the fundamental at a fixed half scale, then the even
// harmonics 2 to 2N - 2, each followed by a marker at the odd one above it.
void drawHalfWave(SpectrumPlot& plot, Drawing& drawing, int harmonics)
{
    setCaptions(plot, kCount + std::to_string(harmonics), "Rectified Half Wave Spectrum",
                "There is energy at the EVEN harmonic frequencies.",
                "The fundamental is the first and the only odd harmonic.", kDcRemark);
    if (harmonics == 0)
        return;
    const double dcBase = kFullScale / kPi + kFullScale / 2;
    const double fundamentalX = spectrumLineX(kSpectrumOddSpacing, 1);
    const double halfScale = kFullScale / 2;
    drawing.stroke({fundamentalX, spectrumTopY(1)}, {fundamentalX, spectrumTopY(halfScale)},
                   kLineColour, 2);
    drawing.shows(1, fundamentalX, halfScale);
    for (int k = 2; k <= 2 * harmonics - 1; k += 2) {
        const double height = kFullScale * (alternating(k) + 1) / (kPi * (1 - double(k) * k));
        drawing.line(k, spectrumLineX(kSpectrumOddSpacing, k), std::abs(height));
        drawing.zeroMarker(k + 1, spectrumLineX(kSpectrumOddSpacing, k + 1));
    }
    drawing.dcLineDown(0.45 * dcBase);
}

void drawRectified(SpectrumPlot& plot, Drawing& drawing, int harmonics,
                   const std::string& rectifyChoice)
{
    if (isFullWave(rectifyChoice))
        drawFullWave(plot, drawing, harmonics);
    else
        drawHalfWave(plot, drawing, harmonics);
}

Wave curveWave(WaveType waveType, const std::string& rectifyChoice)
{
    switch (waveType) {
    case WaveType::Square:
        return Wave::Square;
    case WaveType::Triangle:
        return Wave::Triangle;
    case WaveType::Sawtooth:
        return Wave::Sawtooth;
    case WaveType::Pulse:
        return Wave::PulseTrain;
    case WaveType::Rectified:
        break;
    }
    return isFullWave(rectifyChoice) ? Wave::FullWaveRectified : Wave::HalfWaveRectified;
}

// Each line's amplitude in the series the curve sums, with the duty cycle the drawing read.
void addSeriesAmplitudes(SpectrumPlot& plot, WaveType waveType, const std::string& dutyCycle,
                         const std::string& rectifyChoice)
{
    const Wave wave = curveWave(waveType, rectifyChoice);
    const double d = readNumber(dutyCycle).value_or(0);
    for (SpectrumLine& line : plot.lines)
        line.seriesAmplitude = std::abs(seriesCoefficient(wave, line.harmonic, 1, d));
}

} // namespace

double spacingFactor(int harmonics) { return harmonics <= 20 ? 1.0 : 20.0 / harmonics; }

bool isFullWave(const std::string& rectifyChoice)
{
    return rectifyChoice == "F" || rectifyChoice == "f";
}

SpectrumPlot spectrumPlot(std::optional<WaveType> waveType, int harmonics,
                          const std::string& dutyCycle, const std::string& rectifyChoice)
{
    SpectrumPlot plot;
    Drawing drawing(plot.strokes, plot.lines);
    drawAxes(drawing);
    plot.known = waveType.has_value();
    if (!waveType)
        return plot;
    switch (*waveType) {
    case WaveType::Square:
        drawSquare(plot, drawing, harmonics);
        break;
    case WaveType::Triangle:
        drawTriangle(plot, drawing, harmonics);
        break;
    case WaveType::Sawtooth:
        drawSawtooth(plot, drawing, harmonics);
        break;
    case WaveType::Pulse:
        drawPulse(plot, drawing, harmonics, dutyCycle);
        break;
    case WaveType::Rectified:
        drawRectified(plot, drawing, harmonics, rectifyChoice);
        break;
    }
    addSeriesAmplitudes(plot, *waveType, dutyCycle, rectifyChoice);
    return plot;
}

std::optional<SpectrumLine> spectrumLineNear(const SpectrumPlot& plot, double x)
{
    const SpectrumLine* nearest = nullptr;
    for (const SpectrumLine& line : plot.lines)
        if (!nearest || std::abs(line.x - x) < std::abs(nearest->x - x))
            nearest = &line;
    if (!nearest)
        return std::nullopt;
    // Half the gap to the closest other line: the reach of this one.
    double gap = kSpectrumEverySpacing;
    for (const SpectrumLine& line : plot.lines)
        if (line.x != nearest->x)
            gap = std::min(gap, std::abs(line.x - nearest->x));
    if (std::abs(nearest->x - x) > std::max(gap / 2, 3.0))
        return std::nullopt;
    return *nearest;
}

} // namespace dsp
