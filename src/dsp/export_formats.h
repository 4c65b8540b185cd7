#pragma once

#include "dsp/curve_row.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text of exported data. Every number is written with 17 significant digits, so that it
// reads back to the same double, whatever the locale (always a '.' decimal point). Lines end
// in '\n'.
//
// Values that are not finite, which designs do not produce, are written so that each format
// still reads them: CSV and plain text `nan`, `inf`, `-inf` (as strtod and most spreadsheets
// read them); C `NAN`, `INFINITY`, `-INFINITY` with <math.h> included for them; Python
// `float('nan')`, `float('inf')`, `float('-inf')`.
namespace dsp {

enum class TapFormat { Csv, Text, CHeader, Python };

// By the file name's extension, in any case: .csv, .txt, .h, .py. None for any other name.
std::optional<TapFormat> tapFormatForFile(std::string_view fileName);

// CSV: header `n,h`, then one `n,h` row per tap with n from 0. Text: one value per line.
// C header: include guard, a one-line comment, DSPLAB_TAP_COUNT and
// `static const double dsplab_taps[N] = {...};`. An empty table, which C cannot declare with
// size 0, is written as a one-element array holding 0.0 with DSPLAB_TAP_COUNT 0.
// Python: a comment and `taps = [...]`.
std::string formatTaps(const std::vector<double>& taps, TapFormat format);

struct ResponseRow {
    double frequencyHz, magnitude, magnitudeDb, phaseDeg;
};
// Header: frequency_hz,magnitude,magnitude_db,phase_deg
std::string formatResponseCsv(const std::vector<ResponseRow>& rows);

// Header: time,value (CurveRow: dsp/curve_row.h)
std::string formatCurveCsv(const std::vector<CurveRow>& rows);

struct SpectrumRow {
    int harmonic;
    double amplitude;
};
// Header: harmonic,amplitude
std::string formatSpectrumCsv(const std::vector<SpectrumRow>& rows);

// 17 significant digits in the shortest of plain and exponent form ("%.17g"), trailing zeros
// dropped: 0.10000000000000001, 1e-300, -0. Not finite: nan, inf, -inf.
std::string exactNumber(double value);

} // namespace dsp
