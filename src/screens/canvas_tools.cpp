#include "screens/canvas_tools.h"

#include "dsp/plot_geometry.h"
#include "forms/form.h"
#include "screens/analysis_tools.h"
#include "screens/explore_panel.h"
#include "screens/held_traces.h"
#include "screens/measurements_box.h"
#include "screens/preferences.h"

#include <QAction>
#include <QJsonArray>
#include <QLabel>
#include <QPainter>
#include <QScreen>

#include <cmath>

namespace screens {
namespace {

// The graticule, in logical units: where the measurements box may stand.
const QRectF kPlotArea(QPointF(dsp::kGraticuleLeft, dsp::kGraticuleTop),
                       QPointF(dsp::kGraticuleRight, dsp::kGraticuleBottom));

std::uint64_t nextToolsId()
{
    static std::uint64_t last = 0;
    return ++last;
}

} // namespace

Figure figureOf(const QString& key, const QString& label, std::optional<double> value,
                const std::function<QString(double)>& format)
{
    if (!value || !std::isfinite(*value))
        return {key, label, QJsonValue(QJsonValue::Null), {QStringLiteral("-")}, {}};
    return {key, label, *value, {format(*value)}, {}};
}

Figure figureOfSides(const QString& key, const QString& label,
                     const std::vector<std::optional<double>>& values, const QStringList& sides,
                     const std::function<QString(double)>& format)
{
    Figure figure{key, label, QJsonArray(), {}, sides};
    QJsonArray array;
    for (const std::optional<double>& value : values) {
        const Figure one = figureOf(key, label, value, format);
        array.append(one.value);
        figure.shown << one.shown;
    }
    figure.value = array;
    return figure;
}

CanvasTools::CanvasTools(forms::Form& form, CanvasContent& content, CanvasToolState& kept)
    : QObject(&form), m_form(form), m_content(content), m_state(kept), m_id(nextToolsId())
{
    setObjectName(QStringLiteral("canvasTools")); // the scripted driver's --explore finds it
    addEntries();
    m_analysis = new AnalysisTools(form, content, kept.analysis);
    forms::CanvasLayer& layer = forms::CanvasLayer::of(form);
    layer.setMenu([this] { return offered(); });
    layer.setPointerText([this](const QPointF& at) { return readoutAt(at); });
    if (const auto place = m_state.notePlace.find(form.name()); place != m_state.notePlace.end())
        layer.setNotePlace(place->second);
    layer.setNoteMoved([this](const QPointF& place) { m_state.notePlace[m_form.name()] = place; });
    layer.setExporter(
        [this](const QString& what, const QString& file) { return exportAs(what, file); });
    layer.setState([this] { return state(); });
    Preferences& preferences = Preferences::instance();
    connect(&preferences, &Preferences::presentationChanged, this,
            &CanvasTools::presentationChanged);
    presentationChanged(preferences.presentation());
    drawingChanged();
}

// For a projector: traces shown wider, the read-out and measurements in larger text, and the
// focus in a bold ring of a colour that stands out from every control.
void CanvasTools::presentationChanged(bool on)
{
    constexpr double kTraceWidening = 2.5;
    constexpr double kTextEnlargement = 1.5;
    m_presentation->setChecked(on);
    m_form.setTraceWidening(on ? kTraceWidening : 1);
    forms::CanvasLayer::of(m_form).setTextEnlargement(on ? kTextEnlargement : 1);
    forms::setFocusRing(on ? forms::FocusRing{4, QColor(255, 102, 0)} : forms::FocusRing{});
}

QAction* CanvasTools::addEntry(const char* name, const QString& caption, std::function<void()> run)
{
    auto* action = new QAction(caption, this);
    action->setObjectName(QString::fromLatin1(name));
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return action;
}

// The picture's entries carry the shortcuts, so they also work with the menu closed.
void CanvasTools::addEntries()
{
    m_copyPicture = addEntry("copyPicture", tr("Copy picture"), [this] { copyPicture(); });
    m_copyPicture->setShortcut(QKeySequence::Copy);
    m_save[Thing::Picture] =
        addEntry("savePicture", tr("Save picture..."), [this] { saveWithDialog(Thing::Picture); });
    m_save[Thing::Picture]->setShortcut(QKeySequence::Save);
    m_copySlide = addEntry("copySlide", tr("Copy slide"), [this] { copySlide(); });
    m_save[Thing::Slide] =
        addEntry("saveSlide", tr("Save slide..."), [this] { saveWithDialog(Thing::Slide); });
    m_axes = addEntry("showAxes", tr("Show axes"), [this] {
        m_state.showAxes = m_axes->isChecked();
        showAxes();
    });
    m_axes->setCheckable(true);
    m_axes->setShortcut(Qt::CTRL | Qt::Key_G);
    for (QAction* keyed : {m_copyPicture, m_save[Thing::Picture], m_axes}) {
        keyed->setShortcutVisibleInContextMenu(true);
        m_form.addAction(keyed);
    }
    m_copyTaps = addEntry("copyTaps", tr("Copy taps"), [this] { copyTaps(); });
    m_save[Thing::Taps] =
        addEntry("saveTaps", tr("Save taps..."), [this] { saveWithDialog(Thing::Taps); });
    m_save[Thing::Response] = addEntry("saveResponse", tr("Save response..."),
                                       [this] { saveWithDialog(Thing::Response); });
    m_save[Thing::Curve] =
        addEntry("saveCurve", tr("Save curve..."), [this] { saveWithDialog(Thing::Curve); });
    m_save[Thing::Spectrum] = addEntry("saveSpectrum", tr("Save spectrum..."),
                                       [this] { saveWithDialog(Thing::Spectrum); });
    m_measurements = addEntry("showMeasurements", tr("Show measurements"), [this] {
        m_state.showMeasurements = m_measurements->isChecked();
        showNote();
    });
    m_measurements->setCheckable(true);
    m_hold = addEntry("hold", tr("Hold this trace"), [this] { hold(); });
    m_clearHeld = addEntry("clearHeld", tr("Clear held traces"), [this] { clearHeld(); });
    addListenEntries();
    m_presentation = addEntry("presentation", tr("Presentation"), [this] {
        Preferences::instance().setPresentation(m_presentation->isChecked());
    });
    m_presentation->setCheckable(true);
    m_explore = addEntry("explore", tr("Explore..."), [this] { openExplore(); });
    m_explore->setShortcut(Qt::CTRL | Qt::Key_E);
    m_explore->setShortcutVisibleInContextMenu(true);
    for (QAction*& separator : m_separators) {
        separator = new QAction(this);
        separator->setSeparator(true);
    }
}

// Only what the screen has now, in five groups: the picture, the data, the sound, the measuring
// aids, the live controls.
QList<QAction*> CanvasTools::offered() const
{
    QList<QList<QAction*>> groups(5);
    groups[0] << m_copyPicture << m_save.at(Thing::Picture) << m_copySlide
              << m_save.at(Thing::Slide);
    if (has(Thing::Taps))
        groups[1] << m_copyTaps << m_save.at(Thing::Taps);
    for (Thing thing : {Thing::Response, Thing::Curve, Thing::Spectrum})
        if (has(thing))
            groups[1] << m_save.at(thing);
    groups[2] = listenEntries();
    if (m_content.measures()) {
        m_measurements->setChecked(m_state.showMeasurements);
        groups[3] << m_measurements;
    }
    m_axes->setChecked(m_state.showAxes);
    groups[3] << m_axes;
    if (m_content.holdable())
        groups[3] << m_hold;
    if (const auto held = m_state.held.find(family()); held != m_state.held.end())
        if (!held->second.empty())
            groups[3] << m_clearHeld;
    groups[3] << m_presentation;
    if (m_explorable)
        groups[4] << m_explore;
    if (m_analysis->offered())
        groups[4] << m_analysis->entry();
    QList<QAction*> entries;
    std::size_t separators = 0;
    for (const QList<QAction*>& group : groups) {
        if (group.isEmpty())
            continue;
        if (!entries.isEmpty())
            entries << m_separators.at(separators++);
        entries << group;
    }
    return entries;
}

bool CanvasTools::has(Thing thing) const
{
    switch (thing) {
    case Thing::Picture:
    case Thing::Slide:
        return true;
    case Thing::Taps:
        return m_content.taps().has_value();
    case Thing::Response:
        return m_content.response().has_value();
    case Thing::Curve:
        return m_content.curve().has_value();
    case Thing::Spectrum:
        return m_content.spectrum().has_value();
    case Thing::Sound:
        return m_content.tone() || m_content.noiseFilter();
    case Thing::Noise:
        return m_content.noiseFilter().has_value();
    }
    return false;
}

void CanvasTools::drawingChanged()
{
    showHeld();
    showAxes();
    showNote();
    refreshReadout();
    soundFollowsDrawing();
    if (m_panel)
        m_panel->drawingChanged();
    m_analysis->drawingChanged();
}

// A read-out on show reads the new drawing at once, where the pointer last asked for one.
void CanvasTools::refreshReadout()
{
    QLabel* readout = forms::CanvasLayer::of(m_form).readout();
    if (!readout || !readout->isVisible())
        return;
    const QString text = readoutAt(m_lastAsked);
    readout->setVisible(!text.isEmpty());
    readout->setText(text);
    readout->adjustSize();
}

void CanvasTools::answersChanged()
{
    if (m_panel)
        m_panel->drawingChanged();
}

void CanvasTools::setExplorable(Explorable& screen)
{
    m_explorable = &screen;
    m_form.addAction(m_explore);
}

ExplorePanel* CanvasTools::explorePanel()
{
    if (!m_panel && m_explorable)
        m_panel = new ExplorePanel(m_form, *m_explorable);
    return m_panel;
}

// Beside the window: on its right, else on its left; where neither side has room, over the
// window's right-hand part (its list and buttons) rather than over the plot.
void CanvasTools::openExplore()
{
    ExplorePanel* panel = explorePanel();
    if (!panel)
        return;
    if (!panel->isVisible()) {
        panel->adjustSize();
        const QRect window = m_form.frameGeometry();
        const QScreen* screen = m_form.screen();
        const QRect room = screen ? screen->availableGeometry() : QRect();
        const int width = panel->frameGeometry().width();
        QPoint at = window.topRight() + QPoint(8, 0);
        if (room.isValid() && at.x() + width > room.right()) {
            const int left = window.left() - width - 8;
            at.setX(left >= room.left() ? left : room.right() - width);
        }
        panel->move(at);
    }
    panel->show();
    panel->raise();
    panel->activateWindow();
}

QString CanvasTools::exploreStep(const QString& nameAndValue)
{
    ExplorePanel* panel = explorePanel();
    if (!panel)
        return tr("%1 has no Explore panel").arg(m_form.name());
    const qsizetype equals = nameAndValue.indexOf(QLatin1Char('='));
    if (equals <= 0)
        return tr("write NAME=VALUE");
    return panel->applyStep(nameAndValue.left(equals).trimmed(), nameAndValue.mid(equals + 1));
}

void CanvasTools::hold()
{
    const forms::DrawingRecord& record = m_form.drawingRecord();
    HeldDrawing drawing{record.trace(),
                        m_content.measures() ? m_content.figures() : std::vector<Figure>{},
                        m_content.designName(), m_content.reader(), m_content.drawnCaptions()};
    drawing.heldBy = m_id;
    drawing.clears = record.clears();
    holdTrace(m_state.held[family()], std::move(drawing));
    drawingChanged();
}

void CanvasTools::clearHeld()
{
    m_state.held.erase(family());
    drawingChanged();
}

// Filter screens of one sampling rate share a plot, and so do the synthesis screens.
QString CanvasTools::family() const
{
    const QString family = m_content.holdFamily();
    return family.isEmpty() ? m_form.name() : family;
}

std::vector<const HeldDrawing*> CanvasTools::heldShown() const
{
    const auto found = m_state.held.find(family());
    if (found == m_state.held.end())
        return {};
    return screens::heldShown(found->second, m_id, m_form.drawingRecord().clears());
}

// The held traces under the drawing, their legend, and the captions they need.
void CanvasTools::showHeld()
{
    forms::CanvasLayer& layer = forms::CanvasLayer::of(m_form);
    const std::vector<const HeldDrawing*> shown = heldShown();
    if (shown.empty())
        layer.setUnderlay({});
    else
        layer.setUnderlay(
            [this](QPainter& painter, const QRectF& canvas) { paintHeld(painter, canvas); });
    layer.setLegend(legendHtml(legend()));
    QStringList captions;
    for (const HeldDrawing* held : shown)
        captions << held->captions;
    captions.removeDuplicates();
    m_content.showHeldCaptions(captions);
}

void CanvasTools::paintHeld(QPainter& painter, const QRectF& canvas) const
{
    for (const HeldDrawing* held : heldShown()) {
        const QPointF offset = heldOffset(*held);
        painter.save();
        painter.translate(offset.x() * canvas.width() / m_form.scaleWidth(),
                          offset.y() * canvas.height() / m_form.scaleHeight());
        paintHeldTraces(painter, canvas, {held});
        painter.restore();
    }
}

QPointF CanvasTools::heldOffset(const HeldDrawing& held) const
{
    return m_content.heldOffset(held.colour);
}

std::vector<LegendLine> CanvasTools::legend() const
{
    const std::vector<const HeldDrawing*> shown = heldShown();
    if (shown.empty())
        return {};
    std::vector<LegendLine> lines;
    if (const QString name = m_content.designName(); !name.isEmpty())
        lines.push_back({Qt::black, name});
    for (const HeldDrawing* held : shown)
        lines.push_back({heldColours().at(held->colour).colour, held->name});
    return lines;
}

// The place read once, then each trace's values: the current drawing's alone while nothing is
// held, else each under its name in its colour. The marker dots follow.
QString CanvasTools::readoutAt(const QPointF& logical)
{
    m_lastAsked = logical;
    std::vector<forms::CanvasLayer::Marker> markers;
    QString place;
    QStringList blocks;
    const auto read = [&](const TraceReader& reader, const QColor& colour, const QString& name,
                          const QPointF& offset = {}) {
        const std::optional<TraceReading> reading = reader ? reader(logical) : std::nullopt;
        if (!reading)
            return;
        if (place.isEmpty())
            place = reading->place;
        for (const QPointF& at : reading->markers)
            markers.push_back({at + offset, colour});
        QString block = name.isEmpty()
            ? QString()
            : QStringLiteral("<span style=\"color:%1\">&#9632; %2</span><br>")
                  .arg(colour.name(), name.toHtmlEscaped());
        QStringList values;
        for (const QString& value : reading->values)
            values << value.toHtmlEscaped();
        blocks << block + values.join(QStringLiteral("<br>"));
    };
    const std::vector<const HeldDrawing*> shown = heldShown();
    read(m_content.reader(), Qt::black, shown.empty() ? QString() : tr("this trace"));
    for (const HeldDrawing* held : shown)
        read(held->read, heldColours().at(held->colour).colour, held->name, heldOffset(*held));
    forms::CanvasLayer::of(m_form).setMarkers(std::move(markers));
    if (blocks.isEmpty())
        return {};
    return QStringLiteral("<p style=\"white-space:pre\">%1<br>%2</p>")
        .arg(place.toHtmlEscaped(), blocks.join(QStringLiteral("<br>")));
}

// Nothing while nothing is measured: a new design's questions leave no old figures on show.
void CanvasTools::showNote()
{
    const bool wanted = m_content.measures() && m_state.showMeasurements;
    const std::vector<Figure> figures = wanted ? m_content.figures() : std::vector<Figure>{};
    const QString text = anyMeasured(figures) ? measurementsHtml(figures, heldShown()) : QString();
    forms::CanvasLayer::of(m_form).setNote(text, kPlotArea);
}

QJsonObject CanvasTools::state() const
{
    QJsonObject axes;
    if (m_state.showAxes)
        axes.insert(QStringLiteral("axes"), axesState());
    if (!m_content.measures())
        return axes;
    const std::vector<Figure> figures = m_content.figures();
    const auto valuesOf = [](const std::vector<Figure>& list) {
        QJsonObject values;
        for (const Figure& figure : list)
            values.insert(figure.key, figure.value);
        return values;
    };
    QJsonObject state{{QStringLiteral("figures"), valuesOf(figures)}};
    if (m_state.showAxes)
        state.insert(QStringLiteral("axes"), axesState());
    const std::vector<const HeldDrawing*> shown = heldShown();
    if (!shown.empty())
        state.insert(QStringLiteral("heldFigures"), valuesOf(shown.back()->figures));
    return state;
}

} // namespace screens
