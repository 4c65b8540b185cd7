#pragma once

#include "dsp/filter_figures.h"
#include "dsp/fir_response.h"
#include "forms/form.h"
#include "screens/canvas_tools.h"
#include "screens/explore_panel.h"
#include "screens/shared_state.h"

#include <QColor>
#include <QPointF>
#include <QString>

#include <array>
#include <optional>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace fir {

// What each answer of a design screen stands for.
enum class Role { SamplingHz, BandHz, CentreHz, Taps, Phase };

struct Question {
    Role role;
    QString title;
    QString defaultAnswer;
};

// The answers as typed; tests and formulas read them as numbers, captions show them as they are.
class Answers {
public:
    const QString& text(Role role) const { return m_texts[index(role)]; }
    void setText(Role role, const QString& text) { m_texts[index(role)] = text; }
    bool asked(Role role) const { return m_asked[index(role)]; }
    void setAsked(Role role) { m_asked[index(role)] = true; }

private:
    static std::size_t index(Role role) { return static_cast<std::size_t>(role); }
    std::array<QString, 5> m_texts;
    std::array<bool, 5> m_asked{};
};

// The numbers a coefficient rule needs, once the answers have passed their tests.
struct DesignValues {
    double samplingHz = 0;
    double bandHz = 0;   // cutoff, pass bandwidth or stop bandwidth
    double centreHz = 0; // band-pass and band-stop screens only
    int taps = 0;
};

// A number as the captions and the tap list write it.
QString captionNumber(double value);

using CoefficientRule = std::vector<double> (*)(const DesignValues& values);

// Left, top, width and height in logical units of the 640 x 480 canvas.
struct LogicalRect {
    int left;
    int top;
    int width;
    int height;
};

// One caption line under the plot: fixed text, the answer as typed, then the unit.
struct CaptionLine {
    const char* label;
    LogicalRect rect;
    QString text;
    Role answer;
    QString unit;
};

// The frequency labels' height, in logical units.
inline constexpr int kFrequencyLabelHeight = 14;

// Where the controls stand. The defaults are the Blackman lowpass screen's; the other screens
// move a few of them.
struct DesignLayout {
    LogicalRect coefficientPanel{504, 13, 130, 262};                      // Label4, the list header
    LogicalRect coefficientList{511, 27, 117, 243};                       // List1
    LogicalRect plusLabel{481, 49, 23, 16};                               // Text1, +180 degrees
    std::optional<LogicalRect> zeroLabel = LogicalRect{481, 189, 23, 16}; // Text3, 0 degrees
    LogicalRect minusLabel{481, 330, 23, 16};                             // Text2, -180 degrees
    int frequencyLabelTop = 387;                                          // Label6, Label5, Label3
    QColor frequencyLabelColour{192, 0, 0};
    int buttonLeft = 537; // Command2, Command1
};

// Everything in which one filter screen differs from the others.
struct DesignScreenDescription {
    const char* name;
    const char* fileName; // what saved files are named after, before the design's numbers
    QString caption;
    std::vector<Question> questions; // in the order asked; the answers are tested in that order
    std::vector<CaptionLine> captions;
    CoefficientRule coefficients;
    // What List1 shows when it is not the stored taps themselves.
    CoefficientRule listedValues = nullptr;
    double linearScale = dsp::fir::kLinearScale;
    bool logTrace = true;
    // Show the finished magnitude traces before the phase trace is computed.
    bool refreshBeforePhase = false;
    // The window that shapes the taps, as a legend names the design.
    const char* window = "Blackman";
    const char* aboutBox;
    // What the measured figures take as pass and stop bands.
    dsp::FilterKind kind = dsp::FilterKind::Lowpass;
    const char* helpMenu = "menuHelp";
    const char* aboutItem = "menuAbout";
    DesignLayout layout;
};

// The questions and caption lines the screens share.
Question samplingQuestion();
Question cutoffQuestion(const QString& defaultAnswer);
Question centreQuestion();
Question tapsQuestion(const QString& defaultAnswer);
Question phaseQuestion();
CaptionLine samplingCaption(const char* label, LogicalRect rect);
CaptionLine cutoffCaption(const char* label, LogicalRect rect);
CaptionLine centreCaption(const char* label, LogicalRect rect);
CaptionLine tapsCaption(const char* label, LogicalRect rect);

// A filter screen: shows itself over an empty graticule, asks for the design, ends the program on
// unusable answers, captions the answers, lists the taps of its coefficient rule and draws the
// response as a linear and a logarithmic magnitude trace, and as a phase trace on request. The
// canvas tools offer the taps and the response, read the exact response out under the pointer
// and measure the band edges and the stop band. The Explore panel designs again for other answers.
class DesignScreen : public forms::Form, public screens::CanvasContent, public screens::Explorable {
    Q_OBJECT
public:
    // The shared values hold what the canvas tools keep from one window to the next.
    DesignScreen(const DesignScreenDescription& description, screens::SharedState& shared);

    void Form_Load() override;
    // " Do Another": a fresh screen asks again.
    virtual void Command1_Click();
    // "Main Menu": there is no unload handler to bring the menu back, so the button does it.
    void Command2_Click();
    void menuAbout_Click();

    // Everything after the captions, for given values: taps, list, traces and labels.
    void drawDesign(const DesignValues& values, bool withPhase);

    std::optional<std::vector<double>> taps() const override;
    std::optional<std::vector<dsp::ResponseRow>> response() const override;
    bool measures() const override { return true; }
    std::vector<screens::Figure> figures() const override;
    screens::TraceReader reader() const override;
    bool holdable() const override { return m_drawn.has_value(); }
    screens::PlotAxes axes() const override;
    QString designName() const override;
    QString holdFamily() const override;
    QStringList drawnCaptions() const override;
    void showHeldCaptions(const QStringList& captions) override;
    std::optional<screens::NoiseFilter> noiseFilter() const override;
    QString fileStem() const override;

    std::vector<screens::ExploreControl> exploreControls() const override;
    std::optional<screens::ExploreValues> drawnValues() const override;
    screens::ExploreRange exploreRange(const QString& name,
                                       const screens::ExploreValues& values) const override;
    void explore(const screens::ExploreValues& values) override;

protected:
    // The whole flow, from the set-up to the last trace.
    void runDesign();
    // What follows the questions: tests, captions, taps, list and traces. The question flow and
    // the Explore panel both design with it.
    void drawAnswers(const Answers& answers);
    void answersChanged() { m_tools->answersChanged(); }
    // The rectangular screen's check boxes, set from the panel's values.
    virtual void setExploredChecks(const screens::ExploreValues&) { }

    // Hooks for the rectangular-window screen.
    virtual void blankTapPlotLabels() { }
    virtual void captionTapPlot() { }
    virtual void plotTaps(const DesignValues&) { }
    virtual bool wantsPhase(const Answers& answers) const;

    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QListWidget* List1 = nullptr;
    QLineEdit* Text1 = nullptr;
    QLineEdit* Text2 = nullptr;
    QLineEdit* Text3 = nullptr;
    QPushButton* Command1 = nullptr;
    QPushButton* Command2 = nullptr;

private:
    void addPanelAndList();
    void addPhaseLabels();
    void addFrequencyLabels();
    void addCaptionLines();
    void addButtonsAndMenu();

    void clearPhaseLabels();
    void setUpCanvas();
    Answers answersFor(const screens::ExploreValues& values) const;
    void prepareNextTapCount(int tapsBefore);
    Answers askQuestions();
    DesignValues testAnswers(const Answers& answers) const;
    void writeCaptions(const Answers& answers);
    void listTaps(const std::vector<double>& taps);
    void traceMagnitude(const std::vector<dsp::fir::ResponsePoint>& sweep, double reference,
                        int taps, const forms::CanvasMapping& mapping);
    void drawMagnitude();
    void writeFrequencyLabels(double samplingHz);
    void tracePhase(const std::vector<dsp::fir::ResponsePoint>& sweep, int taps,
                    const forms::CanvasMapping& mapping);
    static QPointF phaseStart();
    void drawPhase();

    // The design on the canvas, for the canvas tools; its figures once measured.
    struct Drawn {
        DesignValues values;
        std::vector<double> taps;
        std::vector<double> listed; // what List1 shows: the taps, or the values listed instead
        std::vector<dsp::fir::ResponsePoint> sweep;
        mutable std::optional<dsp::FilterFigures> figures;
    };

    DesignScreenDescription m_description;
    std::vector<QLabel*> m_captionLabels;
    std::optional<Drawn> m_drawn;
    bool m_phaseDrawn = false;
    // The traces' points, kept from one design to the next so that a redraw reuses the memory.
    std::vector<QPointF> m_magnitudeDots;
    std::vector<QPointF> m_phaseEnds;
    // Their pixels, worked out on the same thread as the points.
    MappedDots m_magnitudePixels;
    MappedPolyline m_phasePixels;
    screens::CanvasTools* m_tools = nullptr;
};

} // namespace fir
