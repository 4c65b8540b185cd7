#pragma once

// What the main() of every benchmark of the program's windows does: an offscreen application
// for the widgets to live in, then Google Benchmark's own run.

#include "forms/memory_tuning.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

inline int runWidgetBenchmarks(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    forms::keepFreedMemoryForRedraws(); // as the program does
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
