#pragma once

#include "dsp/curve_row.h"
#include "dsp/export_formats.h"
#include "dsp/sound.h"
#include "forms/canvas_layer.h"
#include "screens/canvas_tool_state.h"
#include "screens/plot_axes.h"

#include <QJsonArray>
#include <QObject>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class QAction;
class QActionGroup;
class QPainter;

namespace forms {
class Form;
}

namespace screens {

class AnalysisTools;
class Explorable;
class ExplorePanel;

// A figure of one number, or of one number for each side named ("-" for none, null in the
// state, kept in its place); `format` writes one number.
Figure figureOf(const QString& key, const QString& label, std::optional<double> value,
                const std::function<QString(double)>& format);
Figure figureOfSides(const QString& key, const QString& label,
                     const std::vector<std::optional<double>>& values, const QStringList& sides,
                     const std::function<QString(double)>& format);

class SoundPlayer;

// The wave of a synthesis drawing, as its tone plays it.
struct ToneSource {
    dsp::Wave wave;
    int harmonics;
    double dutyCycle = 0;
};

// The design of a filter drawing, which noise is played through.
struct NoiseFilter {
    std::vector<double> taps;
    double samplingHz;
};

// What a drawing screen offers the lecturer's tools. Each screen family implements it once; what
// a screen does not have it leaves at the default: nothing.
class CanvasContent {
public:
    virtual ~CanvasContent() = default;
    virtual std::optional<std::vector<double>> taps() const { return std::nullopt; }
    virtual std::optional<std::vector<dsp::ResponseRow>> response() const { return std::nullopt; }
    virtual std::optional<std::vector<dsp::CurveRow>> curve() const { return std::nullopt; }
    virtual std::optional<std::vector<dsp::SpectrumRow>> spectrum() const { return std::nullopt; }
    virtual std::optional<ToneSource> tone() const { return std::nullopt; }
    virtual std::optional<NoiseFilter> noiseFilter() const { return std::nullopt; }
    // Whether the screen measures figures, and the figures, their values null while nothing is
    // drawn (measuring may take a while: they are asked for only when wanted).
    virtual bool measures() const { return false; }
    virtual std::vector<Figure> figures() const { return {}; }
    // What reads the drawing under the pointer; none while nothing is drawn.
    virtual TraceReader reader() const { return {}; }
    // Whether there is a trace to hold for the next drawing.
    virtual bool holdable() const { return false; }
    // The plot's axes, from the mappings the screen draws with; none while nothing is drawn.
    virtual PlotAxes axes() const { return {}; }
    // The drawing's design in words, for a legend ("square wave, 3 harmonics"); empty while
    // nothing is drawn.
    virtual QString designName() const { return {}; }
    // The screens whose held traces this one shows, sharing its axes; empty: this screen alone.
    virtual QString holdFamily() const { return {}; }
    // How far a held trace in a colour (its place in the held colours) stands beside where it
    // was drawn, in logical units: nowhere, unless it would hide behind the drawing.
    virtual QPointF heldOffset(std::size_t) const { return {}; }
    // The window's captions that the drawing needs beside it ("phase" for the +-180 labels)...
    virtual QStringList drawnCaptions() const { return {}; }
    // ...and the ones the held traces shown need, which the window shows where its own drawing
    // left them out.
    virtual void showHeldCaptions(const QStringList&) { }
    // What the save dialogs name a file after: the drawing's design ("square-3-harmonics");
    // empty: the window's name.
    virtual QString fileStem() const { return {}; }
};

struct SlideContent;

// The lecturer's tools on one screen's canvas: the context menu and its shortcuts, the read-out
// under the pointer, the measurements box, the held trace, and what --export writes. One piece
// of code for every screen; the screen only says what it has (CanvasContent).
class CanvasTools : public QObject {
    Q_OBJECT
public:
    // `kept` is what the tools keep across windows (the session's).
    CanvasTools(forms::Form& form, CanvasContent& content, CanvasToolState& kept);

    // After each drawing: the box, the held trace, the Explore panel and what is offered
    // follow it.
    void drawingChanged();

    // The screen's answers changed outside the panel (questions asked again, a check box
    // clicked): the Explore panel reads them afresh.
    void answersChanged();
    // Offers the Explore panel for the screen's answers ("Explore...", Ctrl+E).
    void setExplorable(Explorable& screen);
    // Opens the panel beside the window (made on first use).
    void openExplore();
    // The panel, made on first use; null on a screen without one.
    ExplorePanel* explorePanel();
    // --explore NAME=VALUE on this window: empty when done, else the problem.
    Q_INVOKABLE QString exploreStep(const QString& nameAndValue);

    // --axes on|off on this window: empty when done, else the problem.
    Q_INVOKABLE QString axesStep(const QString& onOrOff);

    // What a screen can write out.
    enum class Thing { Picture, Slide, Taps, Response, Curve, Spectrum, Sound, Noise };

    // The current drawing's design in black, then each held trace shown in its colour; nothing
    // while no trace is held.
    std::vector<LegendLine> legend() const;
    // The held traces shown, each in its colour, onto `canvas` (the whole canvas).
    void paintHeld(QPainter& painter, const QRectF& canvas) const;
    // The read-out at a logical position: the place, then every trace's values there.
    QString readoutAt(const QPointF& logical);

private:
    QAction* addEntry(const char* name, const QString& text, std::function<void()> run);
    void addEntries();
    QList<QAction*> offered() const;
    bool has(Thing thing) const;
    forms::ExportOutcome exportAs(const QString& what, const QString& fileName) const;
    forms::ExportOutcome exportThing(Thing thing, const QString& fileName) const;
    forms::ExportOutcome exportPicture(const QString& fileName) const;
    forms::ExportOutcome exportTable(Thing thing, const QString& fileName) const;
    void copyPicture();
    void copySlide();
    SlideContent slideContent() const;
    forms::ExportOutcome exportSlide(const QString& fileName) const;
    QStringList captions() const;
    void showAxes();
    AxisLayout windowAxisLayout(const QRectF& client) const;
    QJsonArray axesState() const;
    void copyTaps();
    void addListenEntries();
    QList<QAction*> listenEntries() const;
    std::optional<dsp::Sound> soundOf(Thing thing) const;
    void listen(Thing thing);
    std::optional<dsp::Sound> playableSound(Thing thing) const;
    void soundFollowsDrawing();
    void saveWithDialog(Thing thing);
    void presentationChanged(bool on);
    QString suggestedPath(Thing thing) const;
    void hold();
    void clearHeld();
    QString family() const;
    std::vector<const HeldDrawing*> heldShown() const;
    QPointF heldOffset(const HeldDrawing& held) const;
    void showHeld();
    void showNote();
    void refreshReadout();
    QJsonObject state() const;

    forms::Form& m_form;
    CanvasContent& m_content;
    CanvasToolState& m_state;
    std::uint64_t m_id;
    QAction* m_copyPicture = nullptr;
    QAction* m_copySlide = nullptr;
    QAction* m_axes = nullptr;
    QAction* m_copyTaps = nullptr;
    std::map<Thing, QAction*> m_save;
    QAction* m_measurements = nullptr;
    QAction* m_hold = nullptr;
    QAction* m_clearHeld = nullptr;
    QAction* m_listen = nullptr;
    QAction* m_fundamental = nullptr; // its menu: one entry for each fundamental
    QAction* m_listenThrough = nullptr;
    QAction* m_listenAlone = nullptr;
    SoundPlayer* m_player = nullptr; // made on the first Listen
    Thing m_playing = Thing::Sound;  // what the player was last asked to play
    QAction* m_explore = nullptr;
    QAction* m_presentation = nullptr;
    Explorable* m_explorable = nullptr;
    ExplorePanel* m_panel = nullptr;
    AnalysisTools* m_analysis = nullptr; // "Analyse...", offered while there is a design
    QPointF m_lastAsked;                 // where the read-out was last asked for, in logical units
    std::array<QAction*, 4> m_separators{};
};

// What --export writes and in which forms, for the help text.
QString exportHelp();

} // namespace screens
