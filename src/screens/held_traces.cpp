#include "screens/held_traces.h"

#include <QCoreApplication>
#include <QPainter>

#include <algorithm>

namespace screens {

const std::array<HeldColour, kMostHeld>& heldColours()
{
    static const std::array<HeldColour, kMostHeld> colours{{{QColor(0x00, 0x72, 0xB2), "blue"},
                                                            {QColor(0xD5, 0x5E, 0x00), "vermilion"},
                                                            {QColor(0x00, 0x9E, 0x73), "green"},
                                                            {QColor(0xCC, 0x79, 0xA7), "purple"}}};
    return colours;
}

void holdTrace(std::vector<HeldDrawing>& held, HeldDrawing drawing)
{
    if (held.size() >= kMostHeld)
        held.erase(held.begin(), held.end() - (kMostHeld - 1));
    for (std::size_t colour = 0; colour < kMostHeld; ++colour) {
        const bool taken = std::any_of(held.begin(), held.end(), [colour](const HeldDrawing& h) {
            return h.colour == colour;
        });
        if (!taken) {
            drawing.colour = colour;
            break;
        }
    }
    held.push_back(std::move(drawing));
}

std::vector<const HeldDrawing*> heldShown(const std::vector<HeldDrawing>& held, std::uint64_t tools,
                                          unsigned long clears)
{
    std::vector<const HeldDrawing*> shown;
    for (const HeldDrawing& drawing : held)
        if (drawing.heldBy != tools || drawing.clears != clears)
            shown.push_back(&drawing);
    return shown;
}

void paintHeldTraces(QPainter& painter, const QRectF& canvas,
                     const std::vector<const HeldDrawing*>& shown)
{
    for (const HeldDrawing* held : shown) {
        const QColor colour = heldColours().at(held->colour).colour;
        held->trace.replay(
            painter, canvas,
            {.fillBackground = false, .recolour = [colour](const QColor&) { return colour; }});
    }
}

QString waveDesignName(dsp::Wave wave, int harmonics, double dutyCycle)
{
    const auto tr = [](const char* text, int n = -1) {
        return QCoreApplication::translate("screens::CanvasTools", text, nullptr, n);
    };
    QString name;
    switch (wave) {
    case dsp::Wave::Square:
        name = tr("square wave");
        break;
    case dsp::Wave::Triangle:
        name = tr("triangle wave");
        break;
    case dsp::Wave::Sawtooth:
        name = tr("sawtooth wave");
        break;
    case dsp::Wave::FullWaveRectified:
        name = tr("full-wave rectified sine");
        break;
    case dsp::Wave::HalfWaveRectified:
        name = tr("half-wave rectified sine");
        break;
    case dsp::Wave::PulseTrain:
        name = tr("pulse train, duty cycle %1").arg(QString::number(dutyCycle, 'g', 6));
        break;
    }
    return name + QStringLiteral(", ") + tr("%n harmonics", harmonics);
}

QString legendHtml(const std::vector<LegendLine>& lines)
{
    QString html;
    for (const LegendLine& line : lines) {
        if (!html.isEmpty())
            html += QStringLiteral("<br>");
        html += QStringLiteral("<span style=\"color:%1\">&#9632; %2</span>")
                    .arg(line.colour.name(), line.text.toHtmlEscaped());
    }
    return html;
}

} // namespace screens
