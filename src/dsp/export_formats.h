#pragma once

#include "dsp/curve_row.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Stand-in until the export formats land: the same interface.
namespace dsp {

enum class TapFormat { Csv, Text, CHeader, Python };
std::optional<TapFormat> tapFormatForFile(std::string_view fileName);
std::string formatTaps(const std::vector<double>& taps, TapFormat format);

struct ResponseRow {
    double frequencyHz, magnitude, magnitudeDb, phaseDeg;
};
std::string formatResponseCsv(const std::vector<ResponseRow>& rows);
std::string formatCurveCsv(const std::vector<CurveRow>& rows);

struct SpectrumRow {
    int harmonic;
    double amplitude;
};
std::string formatSpectrumCsv(const std::vector<SpectrumRow>& rows);

std::string exactNumber(double value);

} // namespace dsp
