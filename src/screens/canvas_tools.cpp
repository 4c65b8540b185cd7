#include "screens/canvas_tools.h"

#include "dsp/plot_geometry.h"
#include "forms/form.h"
#include "screens/explore_panel.h"
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

// Held traces show in their own colours, washed out towards white.
QColor muted(const QColor& colour)
{
    constexpr double kWash = 0.6;
    const auto wash = [](int part) {
        return part + static_cast<int>(std::lround((255 - part) * kWash));
    };
    return QColor(wash(colour.red()), wash(colour.green()), wash(colour.blue()));
}

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

QString CanvasContent::readout(const QPointF&) const { return {}; }

CanvasTools::CanvasTools(forms::Form& form, CanvasContent& content, CanvasToolState& kept)
    : QObject(&form), m_form(form), m_content(content), m_state(kept), m_id(nextToolsId())
{
    setObjectName(QStringLiteral("canvasTools")); // the scripted driver's --explore finds it
    addEntries();
    forms::CanvasLayer& layer = forms::CanvasLayer::of(form);
    layer.setMenu([this] { return offered(); });
    layer.setPointerText([this](const QPointF& at) {
        m_lastAsked = at;
        return m_content.readout(at);
    });
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
    for (QAction* keyed : {m_copyPicture, m_save[Thing::Picture]}) {
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
    m_clearHeld = addEntry("clearHeld", tr("Clear held trace"), [this] { clearHeld(); });
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
    groups[0] << m_copyPicture << m_save.at(Thing::Picture);
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
    if (m_content.holdable())
        groups[3] << m_hold;
    if (m_state.held.count(m_form.name()))
        groups[3] << m_clearHeld;
    groups[3] << m_presentation;
    if (m_explorable)
        groups[4] << m_explore;
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
    forms::CanvasLayer& layer = forms::CanvasLayer::of(m_form);
    if (heldShown())
        layer.setUnderlay(
            [this](QPainter& painter, const QRectF& canvas) { paintHeld(painter, canvas); });
    else
        layer.setUnderlay({});
    showNote();
    refreshReadout();
    soundFollowsDrawing();
    if (m_panel)
        m_panel->drawingChanged();
}

// A read-out on show reads the new drawing at once, where the pointer last asked for one.
void CanvasTools::refreshReadout()
{
    QLabel* readout = forms::CanvasLayer::of(m_form).readout();
    if (!readout || !readout->isVisible())
        return;
    const QString text = m_content.readout(m_lastAsked);
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
    const auto figures = m_content.measures() ? m_content.figures() : std::vector<Figure>{};
    m_state.held[m_form.name()] = {record.trace(), figures, m_id, record.clears()};
    drawingChanged();
}

void CanvasTools::clearHeld()
{
    m_state.held.erase(m_form.name());
    drawingChanged();
}

// The held trace shows from the next drawing on: on a new window of the screen, or on this one
// once it has been cleared for a new drawing.
const HeldDrawing* CanvasTools::heldShown() const
{
    const auto& held = m_state.held;
    const auto found = held.find(m_form.name());
    if (found == held.end())
        return nullptr;
    const HeldDrawing& drawing = found->second;
    const bool sameDrawing =
        drawing.heldBy == m_id && drawing.clears == m_form.drawingRecord().clears();
    return sameDrawing ? nullptr : &drawing;
}

void CanvasTools::paintHeld(QPainter& painter, const QRectF& canvas) const
{
    if (const HeldDrawing* held = heldShown())
        held->trace.replay(painter, canvas, {.fillBackground = false, .recolour = muted});
}

void CanvasTools::showNote()
{
    const bool shown = m_content.measures() && m_state.showMeasurements;
    const QString text = shown ? noteText(m_content.figures(), heldShown()) : QString();
    forms::CanvasLayer::of(m_form).setNote(text, kPlotArea);
}

// A small table: each figure, a row for each of its values with the side it belongs to, then
// the held trace's beside it when one is shown.
QString CanvasTools::noteText(const std::vector<Figure>& figures, const HeldDrawing* held) const
{
    const auto cell = [](const QString& text, const char* style = "") {
        return QStringLiteral("<td style=\"%1\">%2</td>")
            .arg(QLatin1String(style), text.toHtmlEscaped());
    };
    // Columns stand apart by a gap on the right of each but the last; numbers align right.
    const char* gap = "padding-right:10px";
    QString rows;
    if (held)
        rows += QStringLiteral("<tr><td></td><td></td>")
            + cell(tr("this trace"), "font-weight:bold; padding-right:10px")
            + cell(tr("held"), "color:#777777") + QStringLiteral("</tr>");
    for (const Figure& figure : figures) {
        const Figure* before = nullptr;
        if (held)
            for (const Figure& old : held->figures)
                if (old.key == figure.key)
                    before = &old;
        for (qsizetype i = 0; i < figure.shown.size(); ++i) {
            rows += QStringLiteral("<tr>") + cell(i == 0 ? figure.label : QString(), gap)
                + cell(figure.sides.value(i), gap)
                + cell(figure.shown[i],
                       held ? "text-align:right; padding-right:10px" : "text-align:right");
            if (held)
                rows +=
                    cell(before ? before->shown.value(i, QStringLiteral("-")) : QStringLiteral("-"),
                         "text-align:right; color:#777777");
            rows += QStringLiteral("</tr>");
        }
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">%1</table>").arg(rows);
}

QJsonObject CanvasTools::state() const
{
    if (!m_content.measures())
        return {};
    const std::vector<Figure> figures = m_content.figures();
    const auto valuesOf = [](const std::vector<Figure>& list) {
        QJsonObject values;
        for (const Figure& figure : list)
            values.insert(figure.key, figure.value);
        return values;
    };
    QJsonObject state{{QStringLiteral("figures"), valuesOf(figures)}};
    if (const HeldDrawing* held = heldShown())
        state.insert(QStringLiteral("heldFigures"), valuesOf(held->figures));
    return state;
}

} // namespace screens
