#pragma once

// A window of the forms runtime. Form uses DrawingRecord, and the two interfaces at the bottom:
// FormHost (what it asks of the runtime that loaded it) and CanvasOverlay (what it paints over
// its canvas). Runtime, CanvasLayer, the driver and the snapshot use Form; Form uses none of them.

#include "forms/canvas_mapping.h"
#include "forms/canvas_overlay.h"
#include "forms/drawing_record.h"
#include "forms/form_host.h"
#include "forms/thin_line.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QMainWindow>
#include <QPainter>
#include <QPen>
#include <QPointer>

#include <array>
#include <climits>
#include <functional>
#include <optional>
#include <span>
#include <vector>

class QAbstractButton;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;

namespace forms {

class Runtime;

// Layouts are designed in 1/1440 inch; 15 of them make one pixel at 96 pixels per inch.
constexpr int kTwipsPerPixel = 15;
int twipsToPixels(int twips);

struct FontSpec {
    QString family;
    double points;
    bool bold = false;
};

// A menu and its submenus in text `scale` times its size where that is below 1 (the window's
// text scale), and smaller still where they would be larger than `room`.
void fitMenuInside(QMenu& menu, const QSize& room, double scale);

// How a focused button or check box shows its focus: a ring this wide, in this colour.
struct FocusRing {
    int width = 2;
    QColor colour; // invalid: the palette's highlight
};
void setFocusRing(const FocusRing& ring);

// One screen: a window of fixed client size whose client area is a persistent drawing canvas
// with a logical scale, plus the labels, buttons and other controls of its layout.
class Form : public QMainWindow {
    Q_OBJECT
public:
    Form(const QString& name, int clientWidthTwips, int clientHeightTwips);
    ~Form() override;

    const QString& name() const { return m_name; }
    // The client area in logical (device-independent) pixels.
    QSize clientPixels() const { return m_clientSize; }
    // Below 1 where the window, at the desktop's scale factor, would not fit the screen.
    double zoom() const { return m_zoom; }

    // Lets the window be resized and maximised. At any other size than its own the canvas is drawn
    // again from its record at the size shown, and the controls move and scale with it; the
    // persistent image, and so Point, keep the designed size.
    void allowResizing();
    // How much larger than designed the client area is shown now (the smaller of across and
    // down); 1 at the designed size.
    double layoutScale() const;
    // The size of text relative to the layout's design: the fitting zoom times the layout scale.
    double textScale() const { return m_zoom * layoutScale(); }
    // Traces (what is drawn after the graticule) shown this many times wider. The persistent
    // image is left as it is: the window shows the record drawn again.
    void setTraceWidening(double factor);
    double traceWidening() const { return m_traceWidening; }
    // The canvas as the window shows it, in device pixels: the persistent image at the designed
    // size with plain traces, else the record drawn at the size shown.
    const QImage& shownCanvas();

    virtual void Form_Load() { }
    virtual void Form_Unload() { }

    // Window.
    void setCaption(const QString& caption);
    QString caption() const;
    void centreOnScreen();
    // Modeless (0) or modal (1); a modal show returns once the form is unloaded or hidden.
    void Show(int modal = 0);
    bool isModal() const { return m_modal; }

    // Canvas state.
    void setBackColor(const QColor& colour) { m_backColor = colour; }
    QColor backColor() const { return m_backColor; }
    void setForeColor(const QColor& colour)
    {
        m_foreColor = colour;
        m_foreRgba = colour.rgba();
    }
    QColor foreColor() const { return m_foreColor; }
    void setDrawWidth(int pixels) { m_drawWidth = qBound(1, pixels, 64); }
    int drawWidth() const { return m_drawWidth; }
    void setScaleHeight(double units);
    void setScaleWidth(double units);
    double scaleWidth() const { return m_scaleWidth; }
    double scaleHeight() const { return m_scaleHeight; }
    void setMousePointer(int pointer);
    int mousePointer() const { return m_mousePointer; }

    // Canvas drawing, in logical units.
    void Cls();
    void PSet(double x, double y);
    void PSet(double x, double y, const QColor& colour);
    void Line(double x1, double y1, double x2, double y2);
    void LineTo(double x2, double y2);
    // For traces of tens of thousands of calls, the same pixels, record and state as the loops
    // of single calls: PSet at each point, point i in pens[i % pens.size()] (its colour and draw
    // width set before it), and LineTo each end in turn.
    struct DotPen {
        QColor colour;
        int drawWidth;
    };
    void PSetInTurns(std::span<const QPointF> points, std::span<const DotPen> pens);
    void LineToEach(std::span<const QPointF> ends);
    // The mapping of logical units onto the canvas's pixels as it stands now, for working out a
    // trace's pixels on another thread (map below) while this one goes on.
    CanvasMapping canvasMapping() const;
    // The pixels of a trace worked out ahead. The batched calls given them draw, record and leave
    // the same as without them; where the canvas's size or scale, or the point that the lines go
    // on from, have changed since, they work the pixels out afresh.
    struct MappedDots {
        CanvasMapping mapping;
        std::vector<QPoint> pixels; // each point's; kNotDrawn for a point that is not a number
        static constexpr QPoint kNotDrawn{INT_MIN, INT_MIN};
        void map(const CanvasMapping& onto, std::span<const QPointF> points);
    };
    struct MappedPolyline {
        CanvasMapping mapping;
        QPointF from;
        ThinLineMask mask;
        void map(const CanvasMapping& onto, QPointF start, std::span<const QPointF> ends);
    };
    void PSetInTurns(std::span<const QPointF> points, std::span<const DotPen> pens,
                     const MappedDots& mapped);
    void LineToEach(std::span<const QPointF> ends, const MappedPolyline& mapped);
    QColor Point(double x, double y);
    void Refresh();
    // While one stands, Refresh leaves the window to repaint once its handler is done: a redraw
    // that replaces the whole drawing at once has no steps worth showing on the way.
    class DeferredRefresh {
    public:
        explicit DeferredRefresh(Form& form) : m_form(form) { ++m_form.m_refreshDeferred; }
        ~DeferredRefresh() { --m_form.m_refreshDeferred; }
        DeferredRefresh(const DeferredRefresh&) = delete;
        DeferredRefresh& operator=(const DeferredRefresh&) = delete;

    private:
        Form& m_form;
    };

    // The persistent image as it stands now, in device pixels.
    const QImage& canvasImage();
    // The client area as the window shows it: controls over the canvas, through the widget's own
    // painting once every pending repaint has been done.
    QImage shownPicture();
    // The drawing calls since the last Cls, in logical units (see DrawingRecord).
    const DrawingRecord& drawingRecord() const { return m_record; }
    DrawingRecord& drawingRecord() { return m_record; }
    // What is painted over the canvas (see CanvasLayer::of); nothing of it reaches the persistent
    // image. The overlay is a child of the window, which keeps one at a time.
    void setOverlay(CanvasOverlay* overlay) { m_overlay = overlay; }
    CanvasOverlay* overlay() const { return m_overlay.data(); }

    // Controls, placed in design units (1/1440 inch) or in units of the layout grid: the client
    // area divided into grid.width() x grid.height() units (pixels until a grid is set).
    void setLayoutGrid(const QSizeF& grid) { m_layoutGrid = grid; }
    QRect twipsRect(int left, int top, int width, int height) const;
    QRect logicalRect(int left, int top, int width, int height) const;
    QLabel* addLabel(const QString& objectName, const QRect& rect, const FontSpec& font);
    QPushButton* addButton(const QString& objectName, const QString& caption, const QRect& rect,
                           const FontSpec& font);
    QCheckBox* addCheckBox(const QString& objectName, const QString& caption, const QRect& rect);
    QListWidget* addList(const QString& objectName, const QRect& rect);
    QLineEdit* addTextBox(const QString& objectName, const QRect& rect);
    QMenu* addMenu(const QString& objectName, const QString& caption);
    QAction* addMenuItem(QMenu* menu, const QString& objectName, const QString& caption,
                         std::function<void()> handler);
    void onClick(QAbstractButton* button, std::function<void()> handler);
    // A control made by the screen itself, listed with the others.
    void addControl(QWidget* control);
    // Every control added above, in the order added.
    const std::vector<QWidget*>& controls() const { return m_controls; }

    // Return and Escape anywhere in the window press these buttons.
    void setDefaultButton(QPushButton* button) { m_defaultButton = button; }
    void setCancelButton(QPushButton* button) { m_cancelButton = button; }

    // The runtime that loaded this form; handlers reach it here.
    Runtime& runtime() const { return *m_runtime; }

    // Called by the runtime that loads the window: the runtime for screen code, and the host that
    // the window's own calls go to (the same object).
    void attach(Runtime& runtime, FormHost& host)
    {
        m_runtime = &runtime;
        m_host = &host;
    }
    void setModalFlag(bool modal) { m_modal = modal; }

signals:
    // The client area was shown at another size (see layoutScale).
    void layoutScaled();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    QPoint toDevice(double x, double y) const;
    struct PenWidths;
    const PenWidths& penWidths() const;
    void canvasDrawn(const QRect& pixels);
    void canvasChanged(const QRect& pixels);
    QRect clientRectOf(const QRect& pixels) const;
    void placeCentred();
    QFont layoutFont(const FontSpec& font) const;
    template <typename Control>
    Control* placeControl(Control* control, const QString& objectName, const QRect& rect,
                          const FontSpec& font);
    bool finite(double x, double y) const;
    QPainter& painter();
    void endPainting();
    void invokeHandler(const std::function<void()>& handler);
    void fillDot(uchar* bits, const QPoint& centre, QRgb colour, int width);
    void dotsInTurns(std::span<const QPointF> points, std::span<const DotPen> pens,
                     const QPoint* mapped);
    QPoint lineStartPixel() const;
    QPoint lineEndPixel(double x2, double y2);
    void remember(QWidget* control);
    void layOutControls();
    void fitText(QWidget* control) const;
    void pointIn(double x, double y, QRgb colour);
    void wideLine(const QPoint& from, const QPoint& to, int width);
    DrawingPen pen(QRgb colour, const PenWidths& widths) const;

    QString m_name;
    Runtime* m_runtime = nullptr;
    FormHost* m_host = nullptr;
    QWidget* m_client = nullptr;
    double m_zoom = 1;
    double m_deviceRatio = 1;
    QSize m_clientSize;
    QSizeF m_layoutGrid;
    std::vector<QWidget*> m_controls;
    // Each control's place and font at the designed size, for laying it out at another.
    struct Designed {
        QPointer<QWidget> control;
        QRect rect;
        QFont font;
    };
    std::vector<Designed> m_designed;
    bool m_everScaled = false;
    double m_traceWidening = 1;
    QImage m_shown; // the record drawn at the size shown, when that is not the image itself
    unsigned long m_shownVersion = 0;
    unsigned long m_canvasVersion = 1;
    QImage m_image;
    QSize m_pixels;               // m_image's size
    qsizetype m_bytesPerLine = 0; // m_image's
    bool m_repaintPending = false;
    QRect m_unshown;       // device pixels changed since the window last painted
    QRect m_drawnSinceCls; // device pixels drawn on since the image was last cleared
    QColor m_clearedWith = Qt::white;
    bool m_centred = false;
    QSize m_centredFrameMargins;
    QPushButton* m_defaultButton = nullptr;
    QPushButton* m_cancelButton = nullptr;
    QPainter m_painter;
    QPen m_activePen;
    // For each draw width, the pen width in device pixels and, for the record, in logical units,
    // with the logical scale they were worked out for (screens switch widths call by call).
    struct PenWidths {
        int drawWidth = 0; // 0: not worked out yet
        double scaleWidth = 0;
        int device = 1;
        double logical = 1;
    };
    mutable std::array<PenWidths, 65> m_penWidths;
    // The pixel of the last line's end, with the point and scale it was worked out for, so that
    // a polyline maps each of its points once.
    struct MappedPoint {
        double x, y, scaleWidth, scaleHeight; // compared exactly
        QPoint pixel;
        bool mapped = false; // none yet
    };
    MappedPoint m_lastEnd;
    QColor m_backColor = Qt::white;
    QColor m_foreColor = Qt::black;
    QRgb m_foreRgba = qRgb(0, 0, 0); // m_foreColor's, looked up once per change
    int m_drawWidth = 1;
    double m_scaleWidth;
    double m_scaleHeight;
    int m_mousePointer = 0;
    int m_refreshDeferred = 0;
    QPointF m_current;
    bool m_modal = false;
    DrawingRecord m_record;
    QPointer<CanvasOverlay> m_overlay;

    friend class ClientArea;
};

} // namespace forms
