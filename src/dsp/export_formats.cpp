#include "dsp/export_formats.h"

#include <cctype>
#include <cstdio>

namespace dsp {

std::optional<TapFormat> tapFormatForFile(std::string_view fileName)
{
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos)
        return std::nullopt;
    std::string extension;
    for (char c : fileName.substr(dot + 1))
        extension += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
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

std::string exactNumber(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string formatTaps(const std::vector<double>& taps, TapFormat format)
{
    std::string out;
    switch (format) {
    case TapFormat::Csv:
        out = "n,h\n";
        for (std::size_t n = 0; n < taps.size(); ++n)
            out += std::to_string(n) + "," + exactNumber(taps[n]) + "\n";
        break;
    case TapFormat::Text:
        for (double tap : taps)
            out += exactNumber(tap) + "\n";
        break;
    case TapFormat::CHeader:
        out = "#define DSPLAB_TAP_COUNT " + std::to_string(taps.size()) + "\nstatic const double dsplab_taps["
            + std::to_string(taps.size()) + "] = {";
        for (double tap : taps)
            out += exactNumber(tap) + ",";
        out += "};\n";
        break;
    case TapFormat::Python:
        out = "taps = [";
        for (double tap : taps)
            out += exactNumber(tap) + ", ";
        out += "]\n";
        break;
    }
    return out;
}

std::string formatResponseCsv(const std::vector<ResponseRow>& rows)
{
    std::string out = "frequency_hz,magnitude,magnitude_db,phase_deg\n";
    for (const ResponseRow& r : rows)
        out += exactNumber(r.frequencyHz) + "," + exactNumber(r.magnitude) + "," + exactNumber(r.magnitudeDb) + ","
            + exactNumber(r.phaseDeg) + "\n";
    return out;
}

std::string formatCurveCsv(const std::vector<CurveRow>& rows)
{
    std::string out = "time,value\n";
    for (const CurveRow& r : rows)
        out += exactNumber(r.time) + "," + exactNumber(r.value) + "\n";
    return out;
}

std::string formatSpectrumCsv(const std::vector<SpectrumRow>& rows)
{
    std::string out = "harmonic,amplitude\n";
    for (const SpectrumRow& r : rows)
        out += std::to_string(r.harmonic) + "," + exactNumber(r.amplitude) + "\n";
    return out;
}

} // namespace dsp
