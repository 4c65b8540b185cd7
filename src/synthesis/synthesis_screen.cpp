#include "synthesis/synthesis_screen.h"

#include "dsp/answer.h"
#include "dsp/curve_lookup.h"
#include "dsp/number_format.h"
#include "dsp/plot_geometry.h"
#include "dsp/series.h"
#include "dsp/wave_type.h"
#include "forms/palette.h"
#include "forms/runtime.h"
#include "screens/held_traces.h"
#include "screens/shared_state.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <map>
#include <numbers>

namespace synthesis {

using forms::Runtime;

std::int16_t toSharedCount(double count)
{
    return static_cast<std::int16_t>(std::clamp(count, -32768.0, 32767.0));
}

SynthesisScreen::SynthesisScreen(const char* name, const QString& caption, dsp::WaveType waveType,
                                 screens::SharedState& shared)
    : Form(QString::fromLatin1(name), 11880, 8595), m_shared(shared), m_waveType(waveType)
{
    setCaption(caption);
    setLayoutGrid({screens::kCanvasWidth, screens::kCanvasHeight});
    m_tools = new screens::CanvasTools(*this, *this, shared.canvasTools);
    m_tools->setExplorable(*this);
}

ButtonColumn SynthesisScreen::standardButtons() const
{
    return {twipsRect(9360, 2160, 2000, 495), twipsRect(9360, 3120, 2000, 495),
            twipsRect(9360, 4080, 2000, 495)};
}

void SynthesisScreen::placeButtons(const ButtonColumn& column)
{
    const forms::FontSpec font = screens::arial(9.75, true);
    Command3 =
        addButton(QStringLiteral("Command3"), QStringLiteral("Do Another"), column.doAnother, font);
    Command2 = addButton(QStringLiteral("Command2"), QStringLiteral("View Spectrum"),
                         column.viewSpectrum, font);
    Command1 =
        addButton(QStringLiteral("Command1"), QStringLiteral("Main Menu"), column.mainMenu, font);
    onClick(Command1, [this] { Command1_Click(); });
    onClick(Command2, [this] { Command2_Click(); });
    onClick(Command3, [this] { Command3_Click(); });
}

QString SynthesisScreen::askHarmonics(const QString& title, const QString& defaultAnswer,
                                      screens::CountConversion conversion)
{
    return screens::ask(*this, title, defaultAnswer, screens::harmonicCountRule(conversion));
}

std::optional<int> SynthesisScreen::screenCount(const QString& answer, ZeroCount zero)
{
    switch (dsp::classifyCount(answer.toStdString())) {
    case dsp::CountKind::Empty:
        return std::nullopt;
    case dsp::CountKind::Negative:
        runtime().End();
    case dsp::CountKind::Zero:
        if (zero == ZeroCount::Stops)
            return std::nullopt;
        return 0;
    case dsp::CountKind::Positive:
        break;
    }
    // The box refuses counts above 32767, so the whole part fits.
    const double count = dsp::wholePart(dsp::readAnswer(answer.toStdString()).value);
    return static_cast<int>(std::min(count, dsp::kMostHarmonics));
}

void SynthesisScreen::captionAndDraw(QLabel* caption, const QString& captionText, int harmonics,
                                     dsp::Wave wave, const std::function<dsp::Curve(int)>& curveOf)
{
    screens::showOnOneLine(caption, screens::captionWith(captionText, harmonics));
    m_shared.Harmonics = toSharedCount(harmonics);
    screens::busyOn(*this);
    setForeColor(forms::paletteColour(0));
    setDrawWidth(1);
    dsp::Curve curve = curveOf(harmonics);
    screens::drawPolyline(*this, curve.points);
    keepDrawn(wave, std::move(curve), harmonics);
    screens::busyOff(*this);
}

void SynthesisScreen::keepDrawn(dsp::Wave wave, dsp::Curve curve, int harmonics, double dutyCycle)
{
    m_drawn = Drawn{wave, std::move(curve), harmonics, dutyCycle};
    m_tools->drawingChanged();
}

std::optional<std::vector<dsp::CurveRow>> SynthesisScreen::curve() const
{
    if (!m_drawn)
        return std::nullopt;
    return dsp::curveInSeriesUnits(m_drawn->wave, m_drawn->curve);
}

std::optional<screens::ToneSource> SynthesisScreen::tone() const
{
    if (!m_drawn)
        return std::nullopt;
    return screens::ToneSource{m_drawn->wave, m_drawn->harmonics, m_drawn->dutyCycle};
}

// The wave and its count ("square-3-harmonics"), with the duty cycle of a pulse train.
QString SynthesisScreen::fileStem() const
{
    if (!m_drawn)
        return {};
    static const std::map<dsp::Wave, QString> kWaves{
        {dsp::Wave::Square, QStringLiteral("square")},
        {dsp::Wave::Triangle, QStringLiteral("triangle")},
        {dsp::Wave::Sawtooth, QStringLiteral("sawtooth")},
        {dsp::Wave::FullWaveRectified, QStringLiteral("full-wave-rectified")},
        {dsp::Wave::HalfWaveRectified, QStringLiteral("half-wave-rectified")},
        {dsp::Wave::PulseTrain, QStringLiteral("pulse-train")}};
    QString stem =
        QStringLiteral("%1-%2-harmonics").arg(kWaves.at(m_drawn->wave)).arg(m_drawn->harmonics);
    if (m_drawn->wave == dsp::Wave::PulseTrain)
        stem += QStringLiteral("-duty-%1")
                    .arg(QString::fromStdString(dsp::captionNumber(m_drawn->dutyCycle)).trimmed());
    return stem;
}

// The screens whose wave jumps measure how far the curve overshoots the jump.
bool SynthesisScreen::measures() const
{
    return m_waveType == dsp::WaveType::Square || m_waveType == dsp::WaveType::Sawtooth
        || m_waveType == dsp::WaveType::Pulse;
}

std::vector<screens::Figure> SynthesisScreen::figures() const
{
    if (!measures())
        return {};
    const std::optional<double> overshoot = m_drawn
        ? dsp::overshootPercent(m_drawn->wave, m_drawn->harmonics, m_drawn->dutyCycle)
        : std::nullopt;
    // A sum that stays below the level has no overshoot: its peak is said instead, as a share of
    // the jump up to the level.
    const auto percent = [](double value) {
        if (value < 0)
            return tr("none, peak %1 % of the level").arg(QString::number(100 + value, 'f', 2));
        return QString::number(value, 'f', 2) + QStringLiteral(" %");
    };
    return {
        screens::figureOf(QStringLiteral("overshootPercent"), tr("overshoot"), overshoot, percent)};
}

// The time under the pointer and the curve's value there, within the curve's span and the
// graticule's height; the dot on the curve where it is read.
screens::TraceReader SynthesisScreen::reader() const
{
    if (!m_drawn)
        return {};
    const dsp::Wave wave = m_drawn->wave;
    const auto rows = dsp::curveInSeriesUnits(wave, m_drawn->curve);
    return [wave, rows](const QPointF& logical) -> std::optional<screens::TraceReading> {
        if (logical.y() < dsp::kGraticuleTop || logical.y() > dsp::kGraticuleBottom)
            return std::nullopt;
        const double time = dsp::timeAtX(wave, logical.x());
        const auto value = dsp::valueAtTime(rows, time);
        if (!value)
            return std::nullopt;
        const dsp::WaveAxes axes = dsp::waveAxes(wave);
        return screens::TraceReading{
            tr("time %1 rad").arg(QString::number(time, 'f', 3)),
            {tr("value %1").arg(QString::number(*value, 'f', 3))},
            {QPointF(logical.x(), axes.yAtZero + axes.yPerValue * *value)}};
    };
}

QString SynthesisScreen::designName() const
{
    if (!m_drawn)
        return {};
    return screens::waveDesignName(m_drawn->wave, m_drawn->harmonics, m_drawn->dutyCycle);
}

// Time under the graticule in periods of the fundamental (2 pi of the series' time), through the
// wave's own mapping of time to x.
screens::PlotAxes SynthesisScreen::axes() const
{
    if (!m_drawn)
        return {};
    const QRectF plot(QPointF(dsp::kGraticuleLeft, dsp::kGraticuleTop),
                      QPointF(dsp::kGraticuleRight, dsp::kGraticuleBottom));
    const dsp::WaveAxes wave = dsp::waveAxes(m_drawn->wave);
    const auto periodX = [wave](double periods) {
        return wave.xAtZero + wave.xPerTime * (2 * std::numbers::pi * periods);
    };
    const auto [first, last] = screens::valuesSpanned(periodX, plot.left(), plot.right());
    return {plot,
            {{screens::Axis::Side::Below,
              tr("periods"),
              {},
              Qt::black,
              std::max(0.0, first),
              last,
              periodX,
              {},
              dsp::kGraticuleBottom}}};
}

std::vector<screens::ExploreControl> SynthesisScreen::exploreControls() const
{
    const bool odd = m_waveType == dsp::WaveType::Square || m_waveType == dsp::WaveType::Triangle;
    return {{QStringLiteral("harmonics"), odd ? tr("Odd harmonics") : tr("Harmonics"),
             screens::ExploreControl::Kind::Count}};
}

// The values of the curve drawn, as the screen took them from its answers.
std::optional<screens::ExploreValues> SynthesisScreen::drawnValues() const
{
    if (!m_drawn)
        return std::nullopt;
    return screens::ExploreValues{
        {QStringLiteral("harmonics"), m_drawn->harmonics},
        {QStringLiteral("duty"), m_drawn->dutyCycle},
        {QStringLiteral("rectify"), m_drawn->wave == dsp::Wave::HalfWaveRectified ? 1 : 0}};
}

ZeroCount SynthesisScreen::zeroCount(const screens::ExploreValues&) const
{
    return ZeroCount::Draws;
}

// Counts the screen draws, up to what the count box lets through; a duty cycle of 0 to 1.
screens::ExploreRange SynthesisScreen::exploreRange(const QString& name,
                                                    const screens::ExploreValues& values) const
{
    if (name == QLatin1String("duty"))
        return {0, 1};
    return {zeroCount(values) == ZeroCount::Stops ? 1.0 : 0.0, dsp::kMostHarmonics};
}

SynthesisAnswers SynthesisScreen::answersFor(const screens::ExploreValues& values) const
{
    return {screens::typedNumber(values.at(QStringLiteral("harmonics")), 0)};
}

// The canvas as the set-up before the questions leaves it, then what follows the questions.
void SynthesisScreen::explore(const screens::ExploreValues& values)
{
    screens::clearForRedraw(*this, captions());
    screens::drawGraticuleOn(*this);
    m_drawn.reset();
    drawAnswers(answersFor(values));
}

void SynthesisScreen::Form_Unload() { runtime().Load(QStringLiteral("Form2")); }

void SynthesisScreen::Command1_Click() { runtime().Unload(this); }

void SynthesisScreen::Command2_Click()
{
    m_shared.WaveType = m_waveType;
    Runtime& runtime = this->runtime();
    if (!runtime.knows(QStringLiteral("Form7")))
        return;
    if (forms::Form* spectrum = runtime.Load(QStringLiteral("Form7")))
        spectrum->Show(1);
}

void SynthesisScreen::Command3_Click()
{
    Runtime& runtime = this->runtime();
    const QString again = name();
    runtime.Unload(this);
    runtime.Load(again);
}

} // namespace synthesis
