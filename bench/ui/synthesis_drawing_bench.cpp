// Each synthesis curve at 32767 harmonics: its maths alone, and the maths with the drawing a
// screen does for it (a cleared canvas, the graticule, the curve as one polyline).
#include "dsp/series.h"
#include "forms/form.h"
#include "forms/palette.h"
#include "screens/screen_setup.h"
#include "widgets_main.h"

#include <benchmark/benchmark.h>

namespace {

using CurveOf = dsp::Curve (*)(int harmonics);

dsp::Curve pulseTrain(int harmonics) { return dsp::pulseTrainCurve(harmonics, 0.2); }

void CurveAlone(benchmark::State& state, CurveOf curveOf)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(curveOf(static_cast<int>(state.range(0))).points.data());
}

void CurveWithDrawing(benchmark::State& state, CurveOf curveOf)
{
    forms::Form form(QStringLiteral("bench"), 640 * forms::kTwipsPerPixel,
                     480 * forms::kTwipsPerPixel);
    for (auto _ : state) {
        form.Cls();
        screens::drawGraticuleOn(form);
        form.setForeColor(forms::paletteColour(0));
        form.setDrawWidth(1);
        screens::drawPolyline(form, curveOf(static_cast<int>(state.range(0))).points);
        benchmark::DoNotOptimize(form.canvasImage().constBits());
    }
}

#define CURVE_BENCHMARKS(name, curveOf)                                                            \
    BENCHMARK_CAPTURE(CurveAlone, name, curveOf)->Arg(32767)->Unit(benchmark::kMillisecond);       \
    BENCHMARK_CAPTURE(CurveWithDrawing, name, curveOf)->Arg(32767)->Unit(benchmark::kMillisecond)

CURVE_BENCHMARKS(square, dsp::squareWaveCurve);
CURVE_BENCHMARKS(triangle, dsp::triangleWaveCurve);
CURVE_BENCHMARKS(sawtooth, dsp::sawtoothWaveCurve);
CURVE_BENCHMARKS(rectified_full, dsp::fullWaveRectifiedCurve);
CURVE_BENCHMARKS(rectified_half, dsp::halfWaveRectifiedCurve);
CURVE_BENCHMARKS(pulse, pulseTrain);

} // namespace

int main(int argc, char** argv) { return runWidgetBenchmarks(argc, argv); }
