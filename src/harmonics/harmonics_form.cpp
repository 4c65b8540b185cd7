#include "harmonics/harmonics_form.h"

#include "dsp/harmonic_lines.h"
#include "dsp/plot_geometry.h"
#include "forms/runtime.h"
#include "screens/held_traces.h"
#include "screens/screen_setup.h"
#include "screens/shared_state.h"

#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <limits>
#include <map>

namespace harmonics {

namespace {

const QColor kDarkRed(192, 0, 0);

// The wave whose spectrum is drawn, as a legend names it.
QString spectrumDesignName(const screens::SharedState& state)
{
    dsp::Wave wave = dsp::Wave::Square;
    switch (state.WaveType.value_or(dsp::WaveType::Square)) {
    case dsp::WaveType::Square:
        break;
    case dsp::WaveType::Triangle:
        wave = dsp::Wave::Triangle;
        break;
    case dsp::WaveType::Sawtooth:
        wave = dsp::Wave::Sawtooth;
        break;
    case dsp::WaveType::Pulse:
        wave = dsp::Wave::PulseTrain;
        break;
    case dsp::WaveType::Rectified:
        wave = state.RectifyChoice.trimmed().startsWith(QLatin1Char('H'), Qt::CaseInsensitive)
            ? dsp::Wave::HalfWaveRectified
            : dsp::Wave::FullWaveRectified;
        break;
    }
    return screens::waveDesignName(wave, state.Harmonics, state.DutyCycle.toDouble());
}

// The top of the line drawn for a harmonic: its highest end.
double lineTop(const dsp::SpectrumPlot& plot, double x)
{
    double top = dsp::kSpectrumAxisY;
    for (const dsp::Stroke& stroke : plot.strokes)
        if (stroke.from.x == x && stroke.to.x == x)
            top = std::min({top, stroke.from.y, stroke.to.y});
    return top;
}

} // namespace

Form7::Form7(screens::SharedState& shared)
    : Form(QString::fromLatin1(kName), 7485, 5550), m_shared(shared)
{
    setCaption(QStringLiteral("Spectrum plot"));
    setLayoutGrid({screens::kCanvasWidth, screens::kCanvasHeight});
    const forms::FontSpec captionFont = screens::arial(9.75, true);
    Label6 = addLabel(QStringLiteral("Label6"), logicalRect(2, 92, 42, 22),
                      screens::sansSerif(8.25, true));
    Label6->setText(QStringLiteral("Vp"));
    screens::paintControl(Label6, kDarkRed); // no background: the canvas shows through
    Label1 = addLabel(QStringLiteral("Label1"), logicalRect(174, 322, 401, 22), captionFont);
    Label2 = addLabel(QStringLiteral("Label2"), logicalRect(216, 353, 412, 22), captionFont);
    Label3 = addLabel(QStringLiteral("Label3"), logicalRect(21, 384, 617, 22), captionFont);
    Label4 = addLabel(QStringLiteral("Label4"), logicalRect(21, 405, 617, 22), captionFont);
    Label5 = addLabel(QStringLiteral("Label5"), logicalRect(21, 426, 381, 32), captionFont);
    for (QLabel* label : {Label1, Label3, Label4})
        screens::paintControl(label, Qt::black, Qt::white);
    screens::paintControl(Label2, kDarkRed, Qt::white);
    screens::paintControl(Label5, QColor(0, 0, 255), Qt::white);
    Label1->setText(QStringLiteral("Label1"));
    Label2->setText(QStringLiteral("Label2"));
    Label3->setText(QStringLiteral("Label3"));
    Label4->setText(QStringLiteral("Label4"));
    Command1 = addButton(QStringLiteral("Command1"), QStringLiteral("Close"),
                         logicalRect(523, 426, 104, 43), screens::arial(8.25, true));
    onClick(Command1, [this] { Command1_Click(); });
    setDefaultButton(Command1);
    setCancelButton(Command1);
    m_tools = new screens::CanvasTools(*this, *this, shared.canvasTools);
}

// The caller shows the screen modally once it is drawn, so it does not show itself here.
void Form7::Form_Load()
{
    screens::standardSetUp(*this, {.blanked = {}, .show = false, .clearFirst = true});
    const screens::SharedState& state = m_shared;
    const int harmonics = state.Harmonics;
    setMousePointer(11);

    const dsp::SpectrumPlot plot =
        dsp::spectrumPlot(state.WaveType, harmonics, state.DutyCycle.toStdString(),
                          state.RectifyChoice.toStdString());
    screens::drawStrokes(*this, plot.strokes);
    Label1->setText(QString::fromStdString(plot.label1));
    Label2->setText(QString::fromStdString(plot.label2));
    Label3->setText(QString::fromStdString(plot.label3));
    Label4->setText(QString::fromStdString(plot.label4));
    Label5->setText(QString::fromStdString(plot.label5));
    screens::busyOff(*this);
    m_plot = plot;
    m_name = spectrumDesignName(state);
    m_tools->drawingChanged();
}

std::optional<std::vector<dsp::SpectrumRow>> Form7::spectrum() const
{
    if (!m_plot || m_plot->lines.empty())
        return std::nullopt;
    std::vector<dsp::SpectrumRow> rows;
    for (const dsp::SpectrumLine& line : m_plot->lines)
        rows.push_back({line.harmonic, line.seriesAmplitude, line.amplitude});
    return rows;
}

// The wave and its count, as the synthesis screen under it names its files.
QString Form7::fileStem() const
{
    if (!m_plot || !m_shared.WaveType)
        return {};
    static const std::map<dsp::WaveType, QString> kWaves{
        {dsp::WaveType::Square, QStringLiteral("square")},
        {dsp::WaveType::Triangle, QStringLiteral("triangle")},
        {dsp::WaveType::Sawtooth, QStringLiteral("sawtooth")},
        {dsp::WaveType::Pulse, QStringLiteral("pulse-train")},
        {dsp::WaveType::Rectified, QStringLiteral("rectified")}};
    const auto wave = kWaves.find(*m_shared.WaveType);
    if (wave == kWaves.end())
        return {};
    return QStringLiteral("%1-%2-harmonics").arg(wave->second).arg(m_shared.Harmonics);
}

// The harmonic whose line is nearest the pointer, from a little above the vertical axis's top to a
// little below the horizontal axis; the dot on the line's top.
screens::TraceReader Form7::reader() const
{
    if (!m_plot)
        return {};
    return [plot = *m_plot](const QPointF& logical) -> std::optional<screens::TraceReading> {
        constexpr double kMargin = 5;
        constexpr double kTop = dsp::kSpectrumAxisTopY - kMargin;
        constexpr double kBottom = dsp::kSpectrumAxisY + kMargin;
        if (logical.y() < kTop || logical.y() > kBottom)
            return std::nullopt;
        const auto line = dsp::spectrumLineNear(plot, logical.x());
        if (!line)
            return std::nullopt;
        screens::TraceReading reading{
            line->harmonic == 0 ? tr("dc") : tr("harmonic %1").arg(line->harmonic),
            {tr("amplitude %1").arg(QString::number(line->seriesAmplitude, 'g', 5))},
            {QPointF(line->x, lineTop(plot, line->x))}};
        // The screen scales some lines its own way; the series' amplitude is what the curve sums.
        const QString drawn = QString::number(line->amplitude, 'g', 5);
        if (drawn != QString::number(line->seriesAmplitude, 'g', 5))
            reading.values << tr("line drawn %1 high").arg(drawn);
        return reading;
    };
}

// Harmonic numbers under the lines, each where its line stands.
screens::PlotAxes Form7::axes() const
{
    if (!m_plot || m_plot->lines.empty())
        return {};
    constexpr double kAround = 5; // the axes' ends and the full-scale tick stand inside the plot
    const QRectF plot(QPointF(dsp::kSpectrumTickLeft - kAround, dsp::kSpectrumAxisTopY - kAround),
                      QPointF(dsp::kSpectrumAxisRight + kAround, dsp::kSpectrumAxisY + kAround));
    std::vector<double> harmonics;
    for (const dsp::SpectrumLine& line : m_plot->lines)
        harmonics.push_back(line.harmonic);
    std::sort(harmonics.begin(), harmonics.end());
    const std::vector<dsp::SpectrumLine> lines = m_plot->lines;
    const auto lineX = [lines](double harmonic) {
        for (const dsp::SpectrumLine& line : lines)
            if (line.harmonic == harmonic)
                return line.x;
        return std::numeric_limits<double>::quiet_NaN();
    };
    return {plot,
            {{screens::Axis::Side::Below,
              tr("harmonic"),
              {},
              Qt::black,
              harmonics.front(),
              harmonics.back(),
              lineX,
              harmonics,
              dsp::kSpectrumAxisY}}};
}

void Form7::Command1_Click() { runtime().Unload(this); }

} // namespace harmonics
