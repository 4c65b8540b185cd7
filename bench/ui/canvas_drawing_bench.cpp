// The drawing calls alone, into a 640 x 480 canvas: the maths is done once before the timing.
// A Blackman lowpass design draws a red and a black point at each of its sweep's points and a
// green phase polyline through them; a square wave at 32767 odd harmonics draws one polyline.
#include "dsp/fir_design.h"
#include "dsp/fir_response.h"
#include "dsp/plot_geometry.h"
#include "dsp/series.h"
#include "forms/form.h"
#include "forms/palette.h"
#include "widgets_main.h"

#include <benchmark/benchmark.h>

namespace {

struct DesignTraces {
    std::vector<QPointF> linear, logarithmic, phase;
};

DesignTraces designTraces(int taps)
{
    namespace fir = dsp::fir;
    const std::vector<double> coefficients = fir::blackmanLowpassTaps(1000, 150, taps);
    const double reference = fir::logReference(coefficients);
    DesignTraces traces;
    for (const fir::ResponsePoint& point : fir::responseSweep(coefficients)) {
        const double x = fir::responseX(point.u, taps);
        const double a = fir::magnitude(point);
        traces.linear.emplace_back(x, fir::linearTraceY(a, fir::kLinearScale));
        traces.logarithmic.emplace_back(x, fir::logTraceY(a, reference));
        traces.phase.emplace_back(x, fir::phaseTraceY(fir::phaseDegrees(point)));
    }
    return traces;
}

void drawMagnitude(forms::Form& form, const DesignTraces& traces)
{
    for (std::size_t i = 0; i < traces.linear.size(); ++i) {
        form.setForeColor(forms::paletteColour(12));
        form.setDrawWidth(2);
        form.PSet(traces.linear[i].x(), traces.linear[i].y());
        form.setForeColor(forms::paletteColour(0));
        form.setDrawWidth(1);
        form.PSet(traces.logarithmic[i].x(), traces.logarithmic[i].y());
    }
}

void drawPhase(forms::Form& form, const DesignTraces& traces)
{
    form.setForeColor(forms::paletteColour(2));
    form.PSet(dsp::kResponseZeroHzX, dsp::kPhaseTraceZeroY);
    for (const QPointF& point : traces.phase)
        form.LineTo(point.x(), point.y());
}

// Range 0: taps; range 1: which traces (1 magnitude points, 2 phase polyline, 3 both).
void DesignDrawingOnly(benchmark::State& state)
{
    forms::Form form(QStringLiteral("bench"), 640 * forms::kTwipsPerPixel,
                     480 * forms::kTwipsPerPixel);
    const DesignTraces traces = designTraces(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        form.Cls();
        if (state.range(1) & 1)
            drawMagnitude(form, traces);
        if (state.range(1) & 2)
            drawPhase(form, traces);
        benchmark::DoNotOptimize(form.canvasImage().constBits());
    }
}
BENCHMARK(DesignDrawingOnly)
    ->Args({500, 1})
    ->Args({500, 2})
    ->Args({500, 3})
    ->Unit(benchmark::kMillisecond);

void SquareCurveDrawingOnly(benchmark::State& state)
{
    forms::Form form(QStringLiteral("bench"), 640 * forms::kTwipsPerPixel,
                     480 * forms::kTwipsPerPixel);
    const dsp::Curve curve = dsp::squareWaveCurve(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        form.Cls();
        form.PSet(curve.points.front().x, curve.points.front().y);
        for (std::size_t i = 1; i < curve.points.size(); ++i)
            form.LineTo(curve.points[i].x, curve.points[i].y);
        benchmark::DoNotOptimize(form.canvasImage().constBits());
    }
}
BENCHMARK(SquareCurveDrawingOnly)->Arg(32767)->Unit(benchmark::kMillisecond);

// The curve's maths alone, for comparison.
void SquareCurveMaths(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(dsp::squareWaveCurve(static_cast<int>(state.range(0))));
}
BENCHMARK(SquareCurveMaths)->Arg(32767)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return runWidgetBenchmarks(argc, argv); }
