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
// C header: include guard NAME_H, a one-line comment, NAME_COUNT and
// `static const double name[N] = {...};`, with name from the file's name (cTapsName), so that
// headers of several filters can be included in one file. An empty table, which C cannot
// declare with size 0, is written as a one-element array holding 0.0 with NAME_COUNT 0.
// Python: a comment and `taps = [...]` (a module has its own names, so `taps` never clashes).
std::string formatTaps(const std::vector<double>& taps, TapFormat format,
                       std::string_view fileName = "dsplab_taps.h");

// The C name of the taps a header file of this name holds: its name without folder and
// extension, every character that C does not take in a name made '_'; prefixed with "taps_"
// where it would start with a digit or '_', be empty or be a C keyword. "lowpass-15.h" gives
// lowpass_15 (guard LOWPASS_15_H, count LOWPASS_15_COUNT).
std::string cTapsName(std::string_view fileName);

struct ResponseRow {
    double frequencyHz, magnitude, magnitudeDb, phaseDeg;
};
// Header: frequency_hz,magnitude,magnitude_db,phase_deg
std::string formatResponseCsv(const std::vector<ResponseRow>& rows);

// Header: time,value (CurveRow: dsp/curve_row.h). Time in its shortest form that reads back to
// the same double (shortestNumber), value with 17 digits.
std::string formatCurveCsv(const std::vector<CurveRow>& rows);

// amplitude: the magnitude of the harmonic's coefficient in the series the curve sums (A = 1);
// drawnHeight: the height of its line on the spectrum screen, in units of the full-scale tick.
struct SpectrumRow {
    int harmonic;
    double amplitude;
    double drawnHeight;
};
// Header: harmonic,amplitude,drawn_height; rows by ascending harmonic, dc (0) first.
std::string formatSpectrumCsv(std::vector<SpectrumRow> rows);

// 17 significant digits in the shortest of plain and exponent form ("%.17g"), trailing zeros
// dropped: 0.10000000000000001, 1e-300; both zeros as 0. Not finite: nan, inf, -inf.
std::string exactNumber(double value);

// The fewest digits that read back to the same double: 0.02, 1e-300; both zeros as 0.
std::string shortestNumber(double value);

} // namespace dsp
