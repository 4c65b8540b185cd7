// What a filter screen offers the canvas tools: its taps, its response at the sweep's points,
// the exact response under the pointer, and the measured band edges and stop band.

#include "fir/design_screen.h"

#include "dsp/response_table.h"

namespace fir {
namespace {

// The response plot: 0 Hz at x = 10, fs/2 at x = 478, within the graticule's height.
constexpr double kPlotLeft = 10;
constexpr double kPlotRight = 478;
constexpr double kPlotTop = 8;
constexpr double kPlotBottom = 384;

QString hertz(double value) { return QString::number(value, 'g', 6) + QStringLiteral(" Hz"); }
QString decibels(double value) { return QString::number(value, 'f', 2) + QStringLiteral(" dB"); }

} // namespace

// The taps as listed: the rectangular screen lists each tap computed afresh, which can differ
// from the stored one in the last digit.
std::optional<std::vector<double>> DesignScreen::taps() const
{
    if (!m_drawn)
        return std::nullopt;
    return m_drawn->listed;
}

std::optional<std::vector<dsp::ResponseRow>> DesignScreen::response() const
{
    if (!m_drawn)
        return std::nullopt;
    return dsp::fir::responseTable(m_drawn->sweep, m_drawn->taps, m_drawn->values.samplingHz);
}

// Measured once per design, when first asked for.
std::vector<screens::Figure> DesignScreen::figures() const
{
    dsp::FilterFigures measured;
    if (m_drawn) {
        if (!m_drawn->figures)
            m_drawn->figures = dsp::measureFilter(m_drawn->taps, m_drawn->values.samplingHz, m_description.kind,
                                                  m_drawn->values.centreHz);
        measured = *m_drawn->figures;
    }
    const auto list = [this](const char* key, const QString& label, const std::vector<double>& values) {
        return m_drawn ? screens::figureOfList(QLatin1String(key), label, values, hertz)
                       : screens::figureOf(QLatin1String(key), label, std::nullopt, hertz);
    };
    return {list("minus3dbHz", tr("-3 dB at"), measured.minus3dbHz),
            list("minus6dbHz", tr("-6 dB at"), measured.minus6dbHz),
            list("transitionHz", tr("transition"), measured.transitionHz),
            screens::figureOf(QStringLiteral("stopbandPeakDb"), tr("stop band peak"), measured.stopbandPeakDb,
                              decibels)};
}

// The exact response at the frequency under the pointer, anywhere over the plot.
QString DesignScreen::readout(const QPointF& logical) const
{
    const bool overPlot = logical.x() >= kPlotLeft && logical.x() <= kPlotRight && logical.y() >= kPlotTop
        && logical.y() <= kPlotBottom;
    if (!m_drawn || !overPlot)
        return {};
    const double samplingHz = m_drawn->values.samplingHz;
    const double frequency = dsp::fir::frequencyAtX(logical.x(), samplingHz);
    const dsp::ExactResponse response = dsp::exactResponseAt(m_drawn->taps, samplingHz, frequency);
    return tr("f %1\n|H| %2 (%3)\nphase %4°")
        .arg(hertz(frequency), QString::number(response.magnitude, 'g', 5),
             decibels(dsp::fir::decibels(response.magnitude)), QString::number(response.phaseDeg, 'f', 1));
}

} // namespace fir
