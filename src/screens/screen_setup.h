#pragma once

#include "dsp/answer.h"
#include "dsp/plot.h"
#include "dsp/plot_geometry.h"
#include "forms/form.h"
#include "forms/prompt_box.h"

#include <QString>

#include <initializer_list>
#include <vector>

class QLabel;

namespace screens {

// Every screen draws, and most lay out their controls, on a canvas 640 units across and 480 down.
inline constexpr double kCanvasWidth = dsp::kCanvasWidth;
inline constexpr double kCanvasHeight = dsp::kCanvasHeight;

// Fonts of the layouts.
forms::FontSpec arial(double points, bool bold = false);
forms::FontSpec sansSerif(double points, bool bold = false); // the old "MS Sans Serif"

// Text colour and, when valid, an opaque background for a control.
void paintControl(QWidget* widget, const QColor& text, const QColor& background = QColor());

struct SetUpOptions {
    std::initializer_list<QLabel*> blanked; // captions set to a single blank before the show
    bool show = true;
    bool clearFirst = false; // the spectrum screen clears right after centring
    double scaleHeight = kCanvasHeight;
};

// What every drawing screen does first: centre (resizable from there), white canvas and black
// pen, the 640 x 480 logical scale, blank captions, then show and clear.
void standardSetUp(forms::Form& form, const SetUpOptions& options);

// Points the graticule routine at this screen and draws the graticule.
void drawGraticuleOn(forms::Form& form);

// The hourglass around a computation, with the refreshes that show its progress.
void busyOn(forms::Form& form);
void busyOff(forms::Form& form);

// A curve as one polyline: the first point set, each following one joined to the current point.
void drawPolyline(forms::Form& form, const std::vector<dsp::PlotPoint>& points);
void drawStrokes(forms::Form& form, const std::vector<dsp::Stroke>& strokes);

// Sets a caption on one line, widening its label to the right where the text would not fit, so a
// long number or a long typed answer is never wrapped out of sight. Text wider than the room up
// to the window's edge is shortened in the middle, and shown whole as the label's tool tip.
void showOnOneLine(QLabel* label, const QString& text);

// The fixed caption text followed directly by the number in the caption number format.
QString captionWith(const QString& text, double number);

// Question boxes. The empty answer always passes (it is what Cancel gives).
QString ask(forms::Form& form, const QString& title, const QString& defaultAnswer,
            const forms::AnswerRule& rule = {});
// The boxes' rules are the answer rules of dsp/answer.h (dsp::answerRefusal), one per kind of
// question.
forms::AnswerRule numberRule();
// A harmonic count must fit the 16-bit shared count once the screen has converted it.
using CountConversion = dsp::CountConversion;
forms::AnswerRule harmonicCountRule(CountConversion conversion);
forms::AnswerRule wholeCountRule();

} // namespace screens
