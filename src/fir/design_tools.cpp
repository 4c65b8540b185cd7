// What a filter screen offers the canvas tools: its taps, its response at the sweep's points,
// the exact response under the pointer, and the measured band edges and stop band.

#include "fir/design_screen.h"

#include "dsp/fir_design.h"
#include "dsp/plot_geometry.h"
#include "dsp/response_table.h"
#include "forms/palette.h"

#include <QLineEdit>

#include <algorithm>
#include <cmath>

namespace fir {
namespace {

// The box gives decibels to a tenth; the read-out to a hundredth, to follow the pointer.
QString decibels(double value) { return QString::number(value, 'f', 1) + QStringLiteral(" dB"); }
QString fineDecibels(double value) { return QString::number(value, 'f', 2); }

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

QStringList passBandSides(dsp::FilterKind kind)
{
    if (dsp::passBandCount(kind) == 1)
        return {};
    return {DesignScreen::tr("below"), DesignScreen::tr("above")};
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
    dsp::FilterFigures measured{std::nullopt,
                                noEdges,
                                noEdges,
                                noEdges,
                                dsp::SideFigures(dsp::stopBandCount(kind)),
                                dsp::SideFigures(dsp::passBandCount(kind))};
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
                                   measured.stopbandPeakDb, stopBandSides(kind), decibels),
            screens::figureOfSides(QStringLiteral("passbandRippleDb"), tr("pass band ripple"),
                                   measured.passbandRippleDb, passBandSides(kind), decibels)};
}

// The exact response at the frequency under the pointer, anywhere over the plot: 0 Hz to fs/2
// across, the graticule's height down. Its decibels on both references: 1, and the largest tap,
// the logarithmic trace's 0 dB. The dots go on the linear trace and the logarithmic one.
screens::TraceReader DesignScreen::reader() const
{
    if (!m_drawn)
        return {};
    const std::vector<double> taps = m_drawn->taps;
    const double samplingHz = m_drawn->values.samplingHz;
    const double scale = m_description.linearScale;
    const bool logTrace = m_description.logTrace;
    return [taps, samplingHz, scale,
            logTrace](const QPointF& logical) -> std::optional<screens::TraceReading> {
        const bool overPlot = logical.x() >= dsp::kResponseZeroHzX
            && logical.x() <= dsp::kResponseHalfSamplingX && logical.y() >= dsp::kGraticuleTop
            && logical.y() <= dsp::kGraticuleBottom;
        if (!overPlot)
            return std::nullopt;
        const double frequency = dsp::fir::frequencyAtX(logical.x(), samplingHz);
        const dsp::ExactResponse response = dsp::exactResponseAt(taps, samplingHz, frequency);
        const double reference = dsp::fir::logReference(taps);
        const double level = dsp::fir::decibels(response.magnitude);
        screens::TraceReading reading{
            QStringLiteral("f ") + fixedHertz(frequency, hertzDecimals(samplingHz)),
            {tr("|H| %1   phase %2°")
                 .arg(QString::number(response.magnitude, 'g', 5),
                      QString::number(response.phaseDeg, 'f', 1)),
             tr("%1 dB re 1, %2 dB re largest tap")
                 .arg(fineDecibels(level), fineDecibels(level - dsp::fir::decibels(reference)))},
            {QPointF(logical.x(), dsp::fir::linearTraceY(response.magnitude, scale))}};
        if (logTrace)
            reading.markers.emplace_back(logical.x(),
                                         dsp::fir::logTraceY(response.magnitude, reference));
        return reading;
    };
}

// "Blackman lowpass, fs 1000 Hz, fc 150 Hz, 15 taps": the numbers as the captions write them.
QString DesignScreen::designName() const
{
    if (!m_drawn)
        return {};
    const DesignValues& v = m_drawn->values;
    QString band;
    switch (m_description.kind) {
    case dsp::FilterKind::Lowpass:
        band = tr("lowpass, fs %1 Hz, fc %2 Hz");
        break;
    case dsp::FilterKind::Highpass:
        band = tr("highpass, fs %1 Hz, fc %2 Hz");
        break;
    case dsp::FilterKind::Bandpass:
        band = tr("bandpass, fs %1 Hz, pass %2 Hz wide at %3 Hz");
        break;
    case dsp::FilterKind::Bandstop:
        band = tr("bandstop, fs %1 Hz, stop %2 Hz wide at %3 Hz");
        break;
    }
    const auto number = [](double value) { return captionNumber(value).trimmed(); };
    band = band.arg(number(v.samplingHz), number(v.bandHz));
    if (band.contains(QLatin1String("%3")))
        band = band.arg(number(v.centreHz));
    return tr("%1 %2, %n taps", nullptr, v.taps).arg(QLatin1String(m_description.window), band);
}

// Every filter screen of one sampling rate plots 0 Hz to fs/2 across the same width.
QString DesignScreen::holdFamily() const
{
    if (!m_drawn)
        return QStringLiteral("filter");
    return QStringLiteral("filter at %1 Hz").arg(m_drawn->values.samplingHz, 0, 'g', 17);
}

QStringList DesignScreen::drawnCaptions() const
{
    return m_phaseDrawn && m_drawn ? QStringList{QStringLiteral("phase")} : QStringList{};
}

// A held phase trace keeps its +-180 labels when this design has no phase trace of its own.
void DesignScreen::showHeldCaptions(const QStringList& captions)
{
    if (m_phaseDrawn && m_drawn)
        return;
    const bool phase = captions.contains(QStringLiteral("phase"));
    Text1->setText(phase ? QStringLiteral("+180") : QString());
    Text2->setText(phase ? QStringLiteral("-180") : QString());
    if (Text3)
        Text3->setText(phase ? QStringLiteral("0") : QString());
}

// Frequency under the plot, below the frequency labels; the linear trace's magnitude and the
// logarithmic trace's decibels (against the largest tap, which that trace measures from) on the
// left, in the traces' colours; the phase on the right when it is drawn. Each through the
// function that draws it.
screens::PlotAxes DesignScreen::axes() const
{
    if (!m_drawn)
        return {};
    using Side = screens::Axis::Side;
    const QRectF plot(QPointF(dsp::kGraticuleLeft, dsp::kGraticuleTop),
                      QPointF(dsp::kGraticuleRight, dsp::kGraticuleBottom));
    const double samplingHz = m_drawn->values.samplingHz;
    const int taps = static_cast<int>(m_drawn->taps.size());
    const auto frequencyX = [samplingHz, taps](double hz) {
        return dsp::fir::responseX(hz / samplingHz * taps, taps);
    };
    const double scale = m_description.linearScale;
    const auto linearY = [scale](double magnitude) {
        return dsp::fir::linearTraceY(magnitude, scale);
    };
    const double reference = dsp::fir::logReference(m_drawn->taps);
    const auto decibelY = [reference](double db) {
        return dsp::fir::logTraceY(reference * std::pow(10.0, db / 20), reference);
    };
    const auto [leastMagnitude, mostMagnitude] =
        screens::valuesSpanned(linearY, plot.bottom(), plot.top());
    const auto [leastDb, mostDb] = screens::valuesSpanned(decibelY, plot.bottom(), plot.top());
    const double frequencyRow = m_description.layout.frequencyLabelTop + kFrequencyLabelHeight;
    screens::PlotAxes axes{plot, {}};
    axes.axes.push_back(
        {Side::Below, tr("Hz"), {}, Qt::black, 0, samplingHz / 2, frequencyX, {}, frequencyRow});
    axes.axes.push_back({Side::Left,
                         tr("|H|"),
                         {},
                         forms::paletteColour(12),
                         std::max(0.0, leastMagnitude),
                         mostMagnitude,
                         linearY,
                         {},
                         0});
    if (m_description.logTrace)
        axes.axes.push_back(
            {Side::Left, tr("dB re largest tap"), {}, Qt::black, leastDb, mostDb, decibelY, {}, 0});
    if (m_phaseDrawn)
        axes.axes.push_back({Side::Right,
                             {},
                             QStringLiteral("°"),
                             forms::paletteColour(2),
                             -180,
                             180,
                             [](double degrees) { return dsp::fir::phaseTraceY(degrees); },
                             {},
                             0});
    return axes;
}

} // namespace fir
