// What a filter screen offers the canvas tools: its taps, its response at the sweep's points,
// the exact response under the pointer, and the measured band edges and stop band.

#include "fir/design_screen.h"

#include "dsp/plot_geometry.h"
#include "dsp/response_table.h"

#include <algorithm>
#include <cmath>

namespace fir {
namespace {

QString hertz(double value) { return QString::number(value, 'g', 6) + QStringLiteral(" Hz"); }
QString decibels(double value) { return QString::number(value, 'f', 2) + QStringLiteral(" dB"); }

// Figures in hertz show to a fixed number of decimals, enough for 1e-5 of the sampling rate and
// never fewer than two: a column of them lines up.
int hertzDecimals(double samplingHz)
{
    constexpr int kFewest = 2;
    constexpr int kMost = 9;
    const double needed = std::ceil(-std::log10(samplingHz * 1e-5));
    return std::isfinite(needed) ? std::clamp(static_cast<int>(needed), kFewest, kMost) : kFewest;
}

QString fixedHertz(double value, int decimals)
{
    return QString::number(value, 'f', decimals) + QStringLiteral(" Hz");
}

// Which side each entry of a figure belongs to; a lowpass or highpass edge needs no name.
QStringList edgeSides(dsp::FilterKind kind)
{
    if (dsp::edgeCount(kind) == 1)
        return {};
    return {DesignScreen::tr("lower"), DesignScreen::tr("upper")};
}

QStringList stopBandSides(dsp::FilterKind kind)
{
    switch (kind) {
    case dsp::FilterKind::Lowpass:
        return {DesignScreen::tr("above")};
    case dsp::FilterKind::Highpass:
        return {DesignScreen::tr("below")};
    case dsp::FilterKind::Bandpass:
        return {DesignScreen::tr("below"), DesignScreen::tr("above")};
    case dsp::FilterKind::Bandstop:
        return {DesignScreen::tr("between")};
    }
    return {};
}

} // namespace

// The taps as listed: the rectangular screen lists each tap computed afresh, which can differ
// from the stored one in the last digit.
std::optional<std::vector<double>> DesignScreen::taps() const
{
    if (!m_drawn)
        return std::nullopt;
    return m_drawn->listed;
}

// The taps whose response is drawn, which are not always the values listed.
std::optional<screens::NoiseFilter> DesignScreen::noiseFilter() const
{
    if (!m_drawn)
        return std::nullopt;
    return screens::NoiseFilter{m_drawn->taps, m_drawn->values.samplingHz};
}

// The window and the design's numbers in the order asked ("blackman-lowpass-1000Hz-150Hz-15taps").
QString DesignScreen::fileStem() const
{
    if (!m_drawn)
        return {};
    const DesignValues& values = m_drawn->values;
    QString stem = QString::fromLatin1(m_description.fileName);
    for (const Question& question : m_description.questions) {
        switch (question.role) {
        case Role::SamplingHz:
            stem += QStringLiteral("-%1Hz").arg(captionNumber(values.samplingHz).trimmed());
            break;
        case Role::BandHz:
            stem += QStringLiteral("-%1Hz").arg(captionNumber(values.bandHz).trimmed());
            break;
        case Role::CentreHz:
            stem += QStringLiteral("-%1Hz").arg(captionNumber(values.centreHz).trimmed());
            break;
        case Role::Taps:
            stem += QStringLiteral("-%1taps").arg(values.taps);
            break;
        case Role::Phase:
            break;
        }
    }
    return stem;
}

std::optional<std::vector<dsp::ResponseRow>> DesignScreen::response() const
{
    if (!m_drawn)
        return std::nullopt;
    return dsp::fir::responseTable(m_drawn->sweep, m_drawn->taps, m_drawn->values.samplingHz);
}

// Measured once per design, when first asked for; null in every place while nothing is drawn.
std::vector<screens::Figure> DesignScreen::figures() const
{
    const dsp::FilterKind kind = m_description.kind;
    const dsp::SideFigures noEdges(dsp::edgeCount(kind));
    dsp::FilterFigures measured{std::nullopt, noEdges, noEdges, noEdges,
                                dsp::SideFigures(dsp::stopBandCount(kind))};
    if (m_drawn) {
        if (!m_drawn->figures)
            m_drawn->figures = dsp::measureFilter(m_drawn->taps, m_drawn->values.samplingHz, kind,
                                                  m_drawn->values.centreHz);
        measured = *m_drawn->figures;
    }
    const int decimals = m_drawn ? hertzDecimals(m_drawn->values.samplingHz) : 2;
    const auto inHertz = [decimals](double value) { return fixedHertz(value, decimals); };
    const QStringList edges = edgeSides(kind);
    const auto edge = [&](const char* key, const QString& label, const dsp::SideFigures& values) {
        return screens::figureOfSides(QLatin1String(key), label, values, edges, inHertz);
    };
    return {edge("minus3dbHz", tr("-3 dB at"), measured.minus3dbHz),
            edge("minus6dbHz", tr("-6 dB at"), measured.minus6dbHz),
            edge("transitionHz", tr("transition"), measured.transitionHz),
            screens::figureOfSides(QStringLiteral("stopbandPeakDb"), tr("stop band peak"),
                                   measured.stopbandPeakDb, stopBandSides(kind), decibels)};
}

// The exact response at the frequency under the pointer, anywhere over the plot: 0 Hz to fs/2
// across, the graticule's height down.
QString DesignScreen::readout(const QPointF& logical) const
{
    const bool overPlot = logical.x() >= dsp::kResponseZeroHzX
        && logical.x() <= dsp::kResponseHalfSamplingX && logical.y() >= dsp::kGraticuleTop
        && logical.y() <= dsp::kGraticuleBottom;
    if (!m_drawn || !overPlot)
        return {};
    const double samplingHz = m_drawn->values.samplingHz;
    const double frequency = dsp::fir::frequencyAtX(logical.x(), samplingHz);
    const dsp::ExactResponse response = dsp::exactResponseAt(m_drawn->taps, samplingHz, frequency);
    return tr("f %1\n|H| %2 (%3)\nphase %4°")
        .arg(hertz(frequency), QString::number(response.magnitude, 'g', 5),
             decibels(dsp::fir::decibels(response.magnitude)),
             QString::number(response.phaseDeg, 'f', 1));
}

} // namespace fir
