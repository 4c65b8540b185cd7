#include "dsp/export_formats.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

namespace dsp {

namespace {

// A C or Python floating literal: a bare "1" would be an integer there, so it gets ".0"; an
// exponent form ("1e+22") already is one and takes no point.
std::string floatingLiteral(double value)
{
    std::string text = exactNumber(value);
    if (text.find_first_of(".e") == std::string::npos)
        text += ".0";
    return text;
}

std::string cLiteral(double value)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value > 0 ? "INFINITY" : "-INFINITY";
    return floatingLiteral(value);
}

std::string pythonLiteral(double value)
{
    if (std::isnan(value))
        return "float('nan')";
    if (std::isinf(value))
        return value > 0 ? "float('inf')" : "float('-inf')";
    return floatingLiteral(value);
}

std::string tapsCsv(const std::vector<double>& taps)
{
    std::string text = "n,h\n";
    for (std::size_t n = 0; n < taps.size(); ++n)
        text += std::to_string(n) + ',' + exactNumber(taps[n]) + '\n';
    return text;
}

std::string tapsText(const std::vector<double>& taps)
{
    std::string text;
    for (double tap : taps)
        text += exactNumber(tap) + '\n';
    return text;
}

std::string upperCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string tapsCHeader(const std::vector<double>& taps, std::string_view fileName)
{
    const bool special =
        std::any_of(taps.begin(), taps.end(), [](double tap) { return !std::isfinite(tap); });
    const std::string name = cTapsName(fileName);
    const std::string guard = upperCase(name) + "_H";
    const std::string count = std::to_string(taps.size());
    std::string text = "#ifndef " + guard + "\n#define " + guard
        + "\n"
          "/* FIR filter taps from DSP Lab, tap 1 (index 0) at time 0. */\n";
    if (special)
        text += "#include <math.h>\n";
    text += "#define " + upperCase(name) + "_COUNT " + count + "\n";
    if (taps.empty()) {
        text +=
            "static const double " + name + "[1] = {0.0}; /* no taps: C has no empty array */\n";
    } else {
        text += "static const double " + name + "[" + count + "] = {\n";
        for (double tap : taps)
            text += "    " + cLiteral(tap) + ",\n";
        text += "};\n";
    }
    return text + "#endif\n";
}

std::string tapsPython(const std::vector<double>& taps)
{
    std::string text = "# FIR filter taps from DSP Lab, taps[0] at time 0.\ntaps = [";
    for (double tap : taps)
        text += "\n    " + pythonLiteral(tap) + ",";
    return text + (taps.empty() ? "]\n" : "\n]\n");
}

std::string_view withoutFolder(std::string_view fileName)
{
    const std::size_t folderEnd = fileName.find_last_of("/\\");
    return folderEnd == std::string_view::npos ? fileName : fileName.substr(folderEnd + 1);
}

bool isCKeyword(const std::string& name)
{
    static const char* const kKeywords[] = {
        "auto",  "bool",     "break",  "case",     "char",   "const",    "continue", "default",
        "do",    "double",   "else",   "enum",     "extern", "false",    "float",    "for",
        "goto",  "if",       "inline", "int",      "long",   "register", "restrict", "return",
        "short", "signed",   "sizeof", "static",   "struct", "switch",   "true",     "typedef",
        "union", "unsigned", "void",   "volatile", "while"};
    return std::any_of(std::begin(kKeywords), std::end(kKeywords),
                       [&name](const char* keyword) { return name == keyword; });
}

} // namespace

std::string cTapsName(std::string_view fileName)
{
    const std::string_view file = withoutFolder(fileName);
    std::string name(file.substr(0, std::min(file.rfind('.'), file.size())));
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) > 127)
            c = '_';
    if (name.empty())
        return "taps";
    const bool clashes = std::isdigit(static_cast<unsigned char>(name.front()))
        || name.front() == '_' || isCKeyword(name);
    return clashes ? "taps_" + name : name;
}

std::optional<TapFormat> tapFormatForFile(std::string_view fileName)
{
    const std::string_view name = withoutFolder(fileName);
    const std::size_t dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    std::string extension(name.substr(dot + 1));
    for (char& c : extension)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (extension == "csv")
        return TapFormat::Csv;
    if (extension == "txt")
        return TapFormat::Text;
    if (extension == "h")
        return TapFormat::CHeader;
    if (extension == "py")
        return TapFormat::Python;
    return std::nullopt;
}

std::string formatTaps(const std::vector<double>& taps, TapFormat format, std::string_view fileName)
{
    switch (format) {
    case TapFormat::Csv:
        return tapsCsv(taps);
    case TapFormat::Text:
        return tapsText(taps);
    case TapFormat::CHeader:
        return tapsCHeader(taps, fileName);
    case TapFormat::Python:
        return tapsPython(taps);
    }
    return {};
}

std::string formatResponseCsv(const std::vector<ResponseRow>& rows)
{
    std::string text = "frequency_hz,magnitude,magnitude_db,phase_deg\n";
    for (const ResponseRow& row : rows) {
        text += exactNumber(row.frequencyHz) + ',' + exactNumber(row.magnitude) + ','
            + exactNumber(row.magnitudeDb) + ',' + exactNumber(row.phaseDeg) + '\n';
    }
    return text;
}

std::string formatCurveCsv(const std::vector<CurveRow>& rows)
{
    std::string text = "time,value\n";
    for (const CurveRow& row : rows)
        text += shortestNumber(row.time) + ',' + exactNumber(row.value) + '\n';
    return text;
}

std::string formatSpectrumCsv(std::vector<SpectrumRow> rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const SpectrumRow& a, const SpectrumRow& b) {
        return a.harmonic < b.harmonic;
    });
    std::string text = "harmonic,amplitude,drawn_height\n";
    for (const SpectrumRow& row : rows) {
        text += std::to_string(row.harmonic) + ',' + exactNumber(row.amplitude) + ','
            + exactNumber(row.drawnHeight) + '\n';
    }
    return text;
}

// to_chars ignores the locale; NaN's sign is dropped, which no reader keeps anyway, and so is
// zero's.
std::string exactNumber(double value)
{
    if (std::isnan(value))
        return "nan";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value == 0 ? 0.0 : value,
                                      std::chars_format::general, 17);
    return std::string(text, result.ptr);
}

std::string shortestNumber(double value)
{
    if (std::isnan(value))
        return "nan";
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value == 0 ? 0.0 : value);
    return std::string(text, result.ptr);
}

} // namespace dsp
