#pragma once

// CanvasLayer uses Form and attaches itself to it as the window's CanvasOverlay; Form knows only
// that interface. The driver and the snapshot use CanvasLayer.

#include "forms/canvas_overlay.h"

#include <QColor>
#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>

#include <functional>
#include <optional>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QPainter;
class QWidget;

namespace forms {

class Form;

// A file's contents as a window offers them, for the scripted driver and for save dialogs.
struct ExportOutcome {
    bool offered = false; // false: the window has no such thing (now)
    QByteArray contents;
    QString problem; // set when offered but not in this form (an extension it does not write)
};

// What lies over a window's canvas without ever touching its persistent image: a painting
// under the controls, a note box, a read-out that follows the pointer, a context menu, and
// what the window can write out. The screens fill it in through these hooks; the layer knows
// nothing of what they draw.
class CanvasLayer : public CanvasOverlay {
    Q_OBJECT
public:
    // The window's layer, made on first use.
    static CanvasLayer& of(Form& form);
    // The window's layer if one has been made.
    static CanvasLayer* existing(const Form& form);
    ~CanvasLayer() override;

    // Painted over the canvas, in device pixels onto `canvas` (the whole canvas), and shown only
    // where the canvas shows its background, so the drawing and its graticule stay in front.
    using Underlay = std::function<void(QPainter& painter, const QRectF& canvas)>;
    void setUnderlay(Underlay underlay);
    // Paints the underlay afresh (after what it paints has changed).
    void refreshUnderlay();
    // Painted over everything on the canvas (the drawing too), in device pixels onto `client`
    // (the whole client area), each time the window paints: labels that must read whole.
    void setOverpaint(Underlay overpaint);

    // A small box of rich text over the canvas, in whichever corner of `area` (logical units)
    // hides the least of the drawing. Empty text hides it.
    void setNote(const QString& richText, const QRectF& area);
    QLabel* note() const { return m_note; }
    // The user drags the box with the mouse: from then on it stands where `place` says (its top
    // left, logical units) rather than in a corner; nothing: back to the corners. `moved` hears
    // of each place the user drops it at.
    void setNotePlace(std::optional<QPointF> place);
    void setNoteMoved(std::function<void(const QPointF& place)> moved);
    // A second box of rich text, the legend, in the corner of the note's area that hides the
    // least of the drawing and not the note. Empty text hides it.
    void setLegend(const QString& richText);
    QLabel* legend() const { return m_legend; }

    // The rich text shown next to the pointer at a logical position; empty: no read-out there.
    using PointerText = std::function<QString(const QPointF& logical)>;
    void setPointerText(PointerText text);
    QLabel* readout() const { return m_readout; }
    // Dots painted over the drawing where the read-out reads it, while the read-out shows.
    struct Marker {
        QPointF logical;
        QColor colour;
    };
    void setMarkers(std::vector<Marker> markers);

    // The actions the context menu offers now, in order (separator actions included). The right
    // mouse button on the canvas, the Menu key and Shift+F10 open it.
    using MenuOffer = std::function<QList<QAction*>()>;
    void setMenu(MenuOffer offer);
    void openMenu(const QPoint& clientPoint);
    QMenu* menu() const { return m_menu; }
    // Triggers the offered, enabled action of this object name; false when there is none.
    bool runAction(const QString& name);

    // What the window writes out for a named thing and a file name (its extension picks the form).
    using Exporter = std::function<ExportOutcome(const QString& what, const QString& fileName)>;
    void setExporter(Exporter exporter) { m_exporter = std::move(exporter); }
    ExportOutcome exportAs(const QString& what, const QString& fileName) const;

    // Entries added to the window's object in a snapshot's state.
    void setState(std::function<QJsonObject()> state) { m_state = std::move(state); }
    QJsonObject state() const { return m_state ? m_state() : QJsonObject(); }

    void paintOver(QPainter& painter) override;

    // Where a logical position lies in the client area (logical pixels), and on the canvas as
    // shown, in device pixels: what the underlay paints onto. Both follow the window's size.
    QPointF toClient(const QPointF& logical) const;
    QPointF toDevice(const QPointF& logical) const;
    // The logical position at the middle of a client area pixel.
    QPointF toLogical(const QPoint& clientPoint) const;

    // The read-out and the note box in text this many times their size (they follow the window's
    // size besides).
    void setTextEnlargement(double factor);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit CanvasLayer(Form& form);
    void pointerAt(const QPoint& clientPoint);
    QPointF cornerToLogical(const QPoint& clientPoint) const;
    void scaleText();
    QPoint menuPointFromKeyboard() const;
    void placeNote();
    void placeLegend();
    QRect noteAreaOnClient() const;
    std::vector<QPoint> cornersBestFirst(const QSize& box) const;
    bool dragNote(QEvent* event);
    void paintMarkers(QPainter& painter) const;
    QImage underlayShown();

    Form& m_form;
    QWidget* m_client;
    QLabel* m_readout;
    QLabel* m_note;
    QLabel* m_legend;
    QMenu* m_menu;
    QAction* m_menuKey = nullptr;
    QRectF m_noteArea;
    Underlay m_underlay;
    Underlay m_overpaint;
    QImage m_underlayImage;
    bool m_underlayStale = true;
    PointerText m_pointerText;
    MenuOffer m_offer;
    Exporter m_exporter;
    std::function<QJsonObject()> m_state;
    QPoint m_pointer{-1, -1};
    std::optional<QPointF> m_notePlace;
    std::function<void(const QPointF&)> m_noteMoved;
    std::optional<QPoint> m_dragFrom; // where in the box the mouse took hold of it
    std::vector<Marker> m_markers;
    double m_textEnlargement = 1;
};

} // namespace forms
