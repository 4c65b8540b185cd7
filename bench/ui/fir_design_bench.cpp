// The whole work of a filter screen after its questions: taps, tap list, response sweep, the red
// and black magnitude points and the green phase polyline, drawn into the persistent image of a
// real Blackman lowpass screen. N = 500 draws 25001 points of each colour and a 25001-point
// polyline. Each design starts on a cleared canvas with its graticule, as each design on the
// screen does (so the drawing record, too, starts empty).
#include "dsp/fir_design.h"
#include "dsp/fir_response.h"
#include "fir/blackman_lowpass_form.h"
#include "screens/screen_setup.h"
#include "widgets_main.h"

#include <benchmark/benchmark.h>

namespace {

fir::DesignValues lowpass(int taps)
{
    return {.samplingHz = 1000, .bandHz = 150, .centreHz = 0, .taps = taps};
}

void WholeDesignWithDrawing(benchmark::State& state)
{
    screens::SharedState shared;
    fir::Form9 screen(shared);
    const fir::DesignValues values = lowpass(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        screen.Cls();
        screens::drawGraticuleOn(screen);
        screen.drawDesign(values, true);
        benchmark::DoNotOptimize(screen.canvasImage().constBits());
    }
}
BENCHMARK(WholeDesignWithDrawing)->Arg(15)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

// The maths alone, for comparison: taps and the sweep that both traces share.
void TapsAndSweep(benchmark::State& state)
{
    const int taps = static_cast<int>(state.range(0));
    for (auto _ : state) {
        const auto sweep = dsp::fir::responseSweep(dsp::fir::blackmanLowpassTaps(1000, 150, taps));
        benchmark::DoNotOptimize(sweep.data());
    }
}
BENCHMARK(TapsAndSweep)->Arg(15)->Arg(100)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) { return runWidgetBenchmarks(argc, argv); }
