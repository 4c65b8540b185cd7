#include "gui_support.h"

#include "forms/form.h"
#include "forms/runtime.h"
#include "program/screen_registry.h"
#include "screens/shared_state.h"
#include "support/test_tables.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace guitest;

const QColor kFace(192, 192, 192);
const QColor kShadow(128, 128, 128);
const QColor kHighlight(255, 255, 255);

const char* const kOverview =
    "This software demonstrates Fourier synthesis for 5 common periodic functions. For example, "
    "adding sine waves of 1 kHz, 3 kHz, 5 kHz, 7 kHz and so on can produce a waveform that "
    "approaches a square wave.  In such a series, the 1 kHz signal is called the fundamental and "
    "the rest are called harmonics (integer multiples of the fundamental).  The fundamental is "
    "sometimes called the first harmonic.  \r\rA Fourier transform is a mathematical operation "
    "that can convert a time-varying signal into its frequency content.  Thus, a square wave can "
    "be converted into a series of sine frequencies spaced at odd multiples of the fundamental "
    "frequency.  And, the inverse Fourier transform can convert a spectrum (frequency content) "
    "into time-varying values.  Inverse Fourier transforms can be used to design FIR digital "
    "filters.  This software uses this approach to design FIR filters.";

struct BoxCase {
    const char* name;
    const char* title;
    bool etched;    // a white line under the grey separator
    int emptyLines; // between paragraphs, as shown
    const char* text;
};

// clang-format off
const BoxCase kBoxes[] = {
    {"frmAbout1", "DSP Lab", false, 1, kOverview},
    {"frmAbout2", "About low-pass filter design", false, 0,
     "The windowed-sinc design method is used here. The impulse response of the filter takes the "
     "general form sin(x)/x which is known as the sinc function (which you can see by plotting "
     "the coefficients). Due to the truncation of the sinc function, the filter shows excessive "
     "ripple in the passband and poor attenuation in the stopband. A Blackman window can be used "
     "to smooth the abruptness of the ends of the truncated sinc function and improve the "
     "frequency response. The price paid is a larger transition bandwidth. This can be "
     "compensated for by increasing the filter order. The Main Menu offers filter designs using "
     "the Blackman window."},
    {"frmAbout", "About low-pass filter design", true, 0,
     "The red plot shows the linear response with a Blackman window.  The Blackman window reduces "
     "the ripple to a value that is too small to show on the linear plot. The black plot is the "
     "logarithmic filter response with each vertical division equal to approximately 15 dB. The "
     "Blackman window reduces the passband ripple and improves the stopband attenuation."},
    {"frmAbout3", "About band-pass filter design", true, 0,
     "The red plot shows the linear response with a Blackman window. The Blackman window reduces "
     "passband ripple and improves stopband attenuation.  The black plot is the logarithmic filter "
     "response with each vertical division equal to approximately 15 dB.  The bandpass response is "
     "actually a shifted lowpass response.  The lowpass coefficients are multiplied by a sine "
     "function of the bandpass center frequency. "},
    {"frmAbout4", "About high-pass filter design", true, 0,
     "The red plot shows the linear response with a Blackman window.  The window reduces the "
     "ripple to a value that is too small to show on the graph. The black plot is the logarithmic "
     "filter response with each vertical division equal to approximately 15 dB.  The highpass "
     "response is obtained by multiplying the lowpass filter coefficients by a sinusoidal "
     "function of the sampling frequency. "},
    {"frmAbout5", "About band-stop filter design", true, 0,
     "The red plot shows the linear response with a Blackman window.  The window reduces the "
     "ripple to a value that is too small to show on the graph. The black plot is the logarithmic "
     "filter response with each vertical division equal to approximately 15 dB.  The bandstop "
     "response is achieved by subtracting a sine function of the upper cutoff frequency from a "
     "sine function of the lower cutoff frequency."},
};
// clang-format on

// The separator as a canvas shows it: the one row that holds grey, and the ends of its line.
struct Separator {
    int row = -1;
    int left = 0;
    int right = -1;
};

Separator separatorOf(const QImage& canvas)
{
    Separator line;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            if (QColor(canvas.pixel(x, y)) != kShadow)
                continue;
            if (line.row >= 0 && line.row != y)
                return {}; // grey on more than one row: no single separator
            if (line.row < 0)
                line = {y, x, x};
            line.right = x;
        }
    return line;
}

struct InkBand {
    int top;
    int bottom;
};

bool dark(QRgb pixel) { return qGray(pixel) < 100; }

// Rows above `endRow` that hold dark text pixels, grouped into the text lines they form.
std::vector<InkBand> textLines(const QImage& picture, int endRow)
{
    std::vector<InkBand> bands;
    bool inBand = false;
    for (int y = 0; y < endRow; ++y) {
        bool ink = false;
        for (int x = 0; x < picture.width() && !ink; ++x)
            ink = dark(picture.pixel(x, y));
        if (ink && !inBand)
            bands.push_back({y, y});
        if (ink)
            bands.back().bottom = y;
        inBand = ink;
    }
    return bands;
}

// The smallest rectangle holding every dark pixel above `endRow`.
QRect inkAbove(const QImage& picture, int endRow)
{
    QRect ink;
    for (int y = 0; y < endRow; ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (dark(picture.pixel(x, y)))
                ink |= QRect(x, y, 1, 1);
    return ink;
}

// Text lines follow each other at one line pitch; an empty line doubles the step.
int emptyLinesBetween(const std::vector<InkBand>& bands)
{
    std::vector<int> steps;
    for (std::size_t i = 1; i < bands.size(); ++i)
        steps.push_back(bands[i].top - bands[i - 1].top);
    std::vector<int> sorted = steps;
    std::sort(sorted.begin(), sorted.end());
    const int pitch = sorted[sorted.size() / 2];
    return static_cast<int>(std::count_if(steps.begin(), steps.end(),
                                          [pitch](int step) { return step > pitch * 3 / 2; }));
}

class AboutBoxes : public ::testing::TestWithParam<BoxCase> { };

// The text above the separator, the OK button below it, both inside the window and apart.
TEST_P(AboutBoxes, TitleTextAndControlsInPlace)
{
    const BoxCase& box = GetParam();
    const auto result = run({"--screen", box.name});
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    ASSERT_EQ(openWindows(result), QStringList{box.name});
    EXPECT_EQ(window(result, box.name).value("caption").toString(), box.title);
    EXPECT_EQ(control(result, box.name, "lblTitle"), box.text);
    EXPECT_EQ(control(result, box.name, "cmdOK"), "OK");

    const QRect client = clientRect(result, box.name);
    const QRect label = place(result, box.name, "lblTitle");
    const QRect ok = place(result, box.name, "cmdOK");
    EXPECT_TRUE(client.contains(label)) << "the text runs out of the window";
    EXPECT_TRUE(client.contains(ok)) << "the button runs out of the window";
    EXPECT_FALSE(label.intersects(ok));
    const Separator line = separatorOf(result.snapshot.canvas(box.name));
    ASSERT_GE(line.row, 0) << "no separator";
    EXPECT_LT(label.top(), line.row);
    EXPECT_GT(ok.top(), line.row);
    // The button's face shows where the button sits; just left of it is the box's face.
    const QImage picture = result.snapshot.window(box.name);
    EXPECT_NE(QColor(picture.pixel(ok.topLeft() + QPoint(4, 4))), kFace);
    EXPECT_EQ(QColor(picture.pixel(ok.left() - 3, ok.center().y())), kFace);
}

TEST_P(AboutBoxes, EtchedSeparatorAndParagraphsAsShown)
{
    const BoxCase& box = GetParam();
    const auto result = run({"--screen", box.name});
    const QImage canvas = result.snapshot.canvas(box.name);
    const QImage picture = result.snapshot.window(box.name);
    const Separator line = separatorOf(canvas);
    ASSERT_GE(line.row, 0) << "no separator";
    // One unbroken grey line across nearly the whole box, on the canvas and in the window.
    EXPECT_LT(line.left, canvas.width() / 20);
    EXPECT_GT(line.right, canvas.width() - canvas.width() / 20);
    const int middle = (line.left + line.right) / 2;
    for (int x = line.left; x <= line.right; ++x)
        ASSERT_EQ(QColor(canvas.pixel(x, line.row)), kShadow) << x;
    for (int x : {line.left, middle, line.right})
        EXPECT_EQ(QColor(picture.pixel(x, line.row)), kShadow) << x;
    EXPECT_EQ(QColor(canvas.pixel(middle, line.row - 1)), kFace);
    // Etched: a white line one pixel lower, starting one pixel further right.
    const QColor underLine = box.etched ? kHighlight : kFace;
    EXPECT_EQ(QColor(canvas.pixel(middle, line.row + 1)), underLine);
    EXPECT_EQ(QColor(picture.pixel(middle, line.row + 1)), underLine);
    EXPECT_EQ(QColor(canvas.pixel(line.left, line.row + 1)), kFace);

    // The text stands above the separator, inside its label, in paragraphs as written.
    const auto lines = textLines(picture, line.row);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(emptyLinesBetween(lines), box.emptyLines);
    const QRect label = place(result, box.name, "lblTitle");
    const QRect ink = inkAbove(picture, line.row);
    EXPECT_TRUE(label.contains(ink))
        << "ink at " << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
}

TEST_P(AboutBoxes, OkClosesTheBox)
{
    const auto result = run({"--screen", GetParam().name, "--click", "OK"});
    EXPECT_TRUE(openWindows(result).isEmpty());
    EXPECT_TRUE(ended(result));
}

// The layouts were drawn for a small dialog font: whatever font the label ends up with, the
// whole text, wrapped at the label's width, must stand inside the label and above the
// separator, in the platform's font made smaller only where that would not fit.
TEST_P(AboutBoxes, WholeTextFitsAboveTheSeparator)
{
    const BoxCase& box = GetParam();
    forms::Runtime runtime;
    screens::SharedState shared;
    program::registerScreens(runtime, shared);
    forms::Form* form = runtime.Load(box.name);
    ASSERT_NE(form, nullptr);
    const auto* label = form->findChild<QLabel*>("lblTitle");
    ASSERT_NE(label, nullptr);
    const Separator line = separatorOf(form->canvasImage());
    ASSERT_GE(line.row, 0) << "no separator";

    // As a user reads it: each carriage return starts a new line.
    const QString shown = QString(label->text()).replace(QChar(13), QChar(10));
    const QRect room = label->contentsRect().translated(label->pos());
    const int lowest = std::min(room.bottom() + 1, line.row);
    const auto needed = [&](const QFont& font) {
        return QFontMetrics(font).boundingRect(QRect(0, 0, room.width(), 100000),
                                               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                               shown);
    };
    const QRect text = needed(label->font());
    EXPECT_LE(text.width(), room.width());
    EXPECT_LE(room.top() + text.height(), lowest);
    // Every line of it shows: the picture holds as many lines of ink as the text has lines.
    const QFontMetrics metrics(label->font());
    const int oneLine =
        metrics.boundingRect(QRect(0, 0, room.width(), 100000), Qt::AlignLeft, "X").height();
    const auto inkLines = textLines(form->shownPicture(), line.row);
    EXPECT_EQ(static_cast<int>(inkLines.size()) + box.emptyLines,
              (text.height() + oneLine / 2) / oneLine);

    EXPECT_EQ(label->font().family(), QApplication::font().family());
    const double points = label->font().pointSizeF();
    const double platformPoints = QFontInfo(QApplication::font()).pointSizeF();
    EXPECT_GE(points, 6.0) << "too small to read";
    EXPECT_LE(points, platformPoints);
    if (points < platformPoints) {
        EXPECT_GT(room.top() + needed(QApplication::font()).height(), lowest)
            << "made smaller although the platform's font fits";
    }
    RecordProperty("points", QString::number(points).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Boxes, AboutBoxes, ::testing::ValuesIn(kBoxes), tables::rowName);

TEST(AboutFromMainMenu, OpensTheOverviewModallyOverTheMenu)
{
    const auto result = run({"--screen", "menu", "--menu", "Help/About"});
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    EXPECT_EQ(openWindows(result), (QStringList{"Form2", "frmAbout1"}));
    EXPECT_TRUE(window(result, "frmAbout1").value("modal").toBool());
    EXPECT_FALSE(window(result, "Form2").value("modal").toBool());
    EXPECT_EQ(control(result, "frmAbout1", "lblTitle"), kOverview);
}

TEST(AboutFromMainMenu, OkLeavesTheMenuExactlyAsItWas)
{
    const auto before = run({"--screen", "menu"});
    const auto after = run({"--screen", "menu", "--menu", "Help/About", "--click", "OK"});
    ASSERT_EQ(after.exitCode, 0) << after.failure.toStdString();
    EXPECT_EQ(openWindows(after), QStringList{"Form2"});
    EXPECT_FALSE(ended(after));
    EXPECT_EQ(window(after, "Form2"), window(before, "Form2"));
    EXPECT_EQ(after.snapshot.window("Form2"), before.snapshot.window("Form2"));
    EXPECT_EQ(after.snapshot.canvas("Form2"), before.snapshot.canvas("Form2"));
}

TEST(AboutFromMainMenu, CloseBoxClosesItAndReopeningBuildsTheTextAnew)
{
    auto result = run({"--screen", "menu", "--menu", "Help/About", "--close"});
    EXPECT_EQ(openWindows(result), QStringList{"Form2"});

    result =
        run({"--screen", "menu", "--menu", "Help/About", "--click", "OK", "--menu", "Help/About"});
    EXPECT_EQ(openWindows(result), (QStringList{"Form2", "frmAbout1"}));
    EXPECT_EQ(control(result, "frmAbout1", "lblTitle"), kOverview);
}

} // namespace
