#include "screens/screen_setup.h"

#include "dsp/answer.h"
#include "dsp/number_format.h"
#include "forms/palette.h"
#include "forms/runtime.h"
#include "screens/module1.h"

#include <QLabel>

#include <algorithm>
#include <cmath>

namespace screens {

using forms::paletteColour;

forms::FontSpec arial(double points, bool bold) { return {QStringLiteral("Arial"), points, bold}; }

forms::FontSpec sansSerif(double points, bool bold)
{
    return {QStringLiteral("MS Sans Serif"), points, bold};
}

void paintControl(QWidget* widget, const QColor& text, const QColor& background)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::ButtonText, text);
    if (background.isValid()) {
        palette.setColor(QPalette::Window, background);
        palette.setColor(QPalette::Base, background);
        palette.setColor(QPalette::Button, background);
        widget->setAutoFillBackground(true);
    }
    widget->setPalette(palette);
}

void standardSetUp(forms::Form& form, const SetUpOptions& options)
{
    form.centreOnScreen();
    form.allowResizing();
    if (options.clearFirst)
        form.Cls();
    form.setBackColor(paletteColour(15));
    form.setForeColor(paletteColour(0));
    form.setScaleHeight(options.scaleHeight);
    form.setScaleWidth(kCanvasWidth);
    for (QLabel* label : options.blanked)
        label->setText(QStringLiteral(" "));
    if (options.show) {
        form.Show();
        form.Cls();
    }
}

void drawGraticuleOn(forms::Form& form)
{
    Module1::DrawGrid(form);
    // What follows is the trace: a held trace leaves the graticule behind.
    form.drawingRecord().markBase();
}

void busyOn(forms::Form& form)
{
    form.setMousePointer(11);
    form.Refresh();
}

void busyOff(forms::Form& form)
{
    form.setMousePointer(0);
    form.Refresh();
}

void drawPolyline(forms::Form& form, const std::vector<dsp::PlotPoint>& points)
{
    if (points.empty())
        return;
    form.PSet(points.front().x, points.front().y);
    for (std::size_t i = 1; i < points.size(); ++i)
        form.LineTo(points[i].x, points[i].y);
}

void drawStrokes(forms::Form& form, const std::vector<dsp::Stroke>& strokes)
{
    for (const dsp::Stroke& stroke : strokes) {
        form.setForeColor(paletteColour(stroke.palette));
        form.setDrawWidth(stroke.width);
        if (stroke.isPoint())
            form.PSet(stroke.from.x, stroke.from.y);
        else
            form.Line(stroke.from.x, stroke.from.y, stroke.to.x, stroke.to.y);
    }
}

void showOnOneLine(QLabel* label, const QString& text)
{
    if (label->wordWrap()) // set whether or not it changes, it repaints the label
        label->setWordWrap(false);
    label->setText(text);
    label->setToolTip(QString());
    const int room =
        label->parentWidget() ? label->parentWidget()->width() - label->x() : label->width();
    const int wanted = label->sizeHint().width();
    label->resize(std::max(label->width(), std::min(wanted, room)), label->height());
    if (wanted <= label->width())
        return;
    const int frame = wanted - label->fontMetrics().horizontalAdvance(text);
    label->setText(label->fontMetrics().elidedText(text, Qt::ElideMiddle, label->width() - frame));
    label->setToolTip(text);
}

QString captionWith(const QString& text, double number)
{
    return text + QString::fromStdString(dsp::captionNumber(number));
}

QString ask(forms::Form& form, const QString& title, const QString& defaultAnswer,
            const forms::AnswerRule& rule)
{
    Q_UNUSED(form);
    return form.runtime().InputBox(QStringLiteral(" "), title, defaultAnswer, rule);
}

namespace {

forms::AnswerRule ruleOf(dsp::AnswerKind kind,
                         CountConversion conversion = CountConversion::WholePart)
{
    return [kind, conversion](const QString& answer) -> std::optional<QString> {
        const auto reason = dsp::answerRefusal(kind, answer.toStdString(), conversion);
        if (!reason)
            return std::nullopt;
        return QString::fromStdString(*reason);
    };
}

} // namespace

forms::AnswerRule numberRule() { return ruleOf(dsp::AnswerKind::Number); }

forms::AnswerRule harmonicCountRule(CountConversion conversion)
{
    return ruleOf(dsp::AnswerKind::HarmonicCount, conversion);
}

forms::AnswerRule wholeCountRule() { return ruleOf(dsp::AnswerKind::TapCount); }

} // namespace screens
