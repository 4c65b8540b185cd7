#include "gui_support.h"

#include "program/screen_registry.h"
#include "forms/form.h"
#include "forms/runtime.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <vector>

namespace {

using namespace guitest;

const QColor kFace(192, 192, 192);
const QColor kShadow(128, 128, 128);
const QColor kHighlight(255, 255, 255);
constexpr int kTwipsPerPixel = 15;

const char* const kOverview =
    "This software demonstrates Fourier synthesis for 5 common periodic functions. For example, "
    "adding sine waves of 1 kHz, 3 kHz, 5 kHz, 7 kHz and so on can produce a waveform that "
    "approaches a square wave.  In such a series, the 1 kHz signal is called the fundamental and the "
    "rest are called harmonics (integer multiples of the fundamental).  The fundamental is sometimes "
    "called the first harmonic.  \r\rA Fourier transform is a mathematical operation that can convert "
    "a time-varying signal into its frequency content.  Thus, a square wave can be converted into a "
    "series of sine frequencies spaced at odd multiples of the fundamental frequency.  And, the "
    "inverse Fourier transform can convert a spectrum (frequency content) into time-varying values.  "
    "Inverse Fourier transforms can be used to design FIR digital filters.  This software uses this "
    "approach to design FIR filters.";

struct BoxCase {
    const char* name;
    const char* title;
    int widthTwips;
    int heightTwips;
    int okLeft;
    int okTop;
    int lineLeft;
    int lineRight;
    int lineY;
    bool etched;
    int emptyLines; // between paragraphs, as shown
    const char* text;
};

std::ostream& operator<<(std::ostream& out, const BoxCase& box) { return out << box.name; }

const BoxCase kBoxes[] = {
    {"frmAbout1", "DSP Lab", 5730, 3540, 4200, 3120, 120, 5684, 3000, false, 1, kOverview},
    {"frmAbout2", "About low-pass filter design", 5730, 2985, 4320, 2520, 120, 5684, 2400, false, 0,
     "The windowed-sinc design method is used here. The impulse response of the filter takes the "
     "general form sin(x)/x which is known as the sinc function (which you can see by plotting the "
     "coefficients). Due to the truncation of the sinc function, the filter shows excessive ripple in "
     "the passband and poor attenuation in the stopband. A Blackman window can be used to smooth the "
     "abruptness of the ends of the truncated sinc function and improve the frequency response. The "
     "price paid is a larger transition bandwidth. This can be compensated for by increasing the "
     "filter order. The Main Menu offers filter designs using the Blackman window."},
    {"frmAbout", "About low-pass filter design", 5730, 3090, 4245, 2625, 90, 5654, 2445, true, 0,
     "The red plot shows the linear response with a Blackman window.  The Blackman window reduces the "
     "ripple to a value that is too small to show on the linear plot. The black plot is the "
     "logarithmic filter response with each vertical division equal to approximately 15 dB. The "
     "Blackman window reduces the passband ripple and improves the stopband attenuation."},
    {"frmAbout3", "About band-pass filter design", 5730, 3090, 4245, 2625, 90, 5654, 2445, true, 0,
     "The red plot shows the linear response with a Blackman window. The Blackman window reduces "
     "passband ripple and improves stopband attenuation.  The black plot is the logarithmic filter "
     "response with each vertical division equal to approximately 15 dB.  The bandpass response is "
     "actually a shifted lowpass response.  The lowpass coefficients are multiplied by a sine "
     "function of the bandpass center frequency. "},
    {"frmAbout4", "About high-pass filter design", 5730, 3555, 4245, 2625, 90, 5654, 2445, true, 0,
     "The red plot shows the linear response with a Blackman window.  The window reduces the ripple "
     "to a value that is too small to show on the graph. The black plot is the logarithmic filter "
     "response with each vertical division equal to approximately 15 dB.  The highpass response is "
     "obtained by multiplying the lowpass filter coefficients by a sinusoidal function of the "
     "sampling frequency. "},
    {"frmAbout5", "About band-stop filter design", 5730, 3555, 4245, 2625, 90, 5654, 2445, true, 0,
     "The red plot shows the linear response with a Blackman window.  The window reduces the ripple "
     "to a value that is too small to show on the graph. The black plot is the logarithmic filter "
     "response with each vertical division equal to approximately 15 dB.  The bandstop response is "
     "achieved by subtracting a sine function of the upper cutoff frequency from a sine function of "
     "the lower cutoff frequency."},
};

int pixels(int twips) { return twips / kTwipsPerPixel; }

QColor pictureAt(const program::SessionResult& result, const QString& name, int xTwips, int yTwips)
{
    const QImage picture = result.snapshot.window(name);
    const QPoint at(pixels(xTwips), pixels(yTwips));
    return picture.rect().contains(at) ? QColor(picture.pixel(at)) : QColor();
}

struct InkBand {
    int top;
    int bottom;
};

// Rows above `endRow` that hold dark text pixels, grouped into the text lines they form.
std::vector<InkBand> textLines(const QImage& picture, int endRow)
{
    std::vector<InkBand> bands;
    bool inBand = false;
    for (int y = 0; y < endRow; ++y) {
        bool ink = false;
        for (int x = 0; x < picture.width() && !ink; ++x)
            ink = qGray(picture.pixel(x, y)) < 100;
        if (ink && !inBand)
            bands.push_back({y, y});
        if (ink)
            bands.back().bottom = y;
        inBand = ink;
    }
    return bands;
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

class AboutBoxes : public ::testing::TestWithParam<BoxCase> {};

TEST_P(AboutBoxes, TitleTextAndLayout)
{
    const BoxCase& box = GetParam();
    const auto result = run({"--screen", box.name});
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    ASSERT_EQ(openWindows(result), QStringList{box.name});
    const QJsonObject state = window(result, box.name);
    EXPECT_EQ(state.value("caption").toString(), box.title);
    EXPECT_EQ(state.value("client").toArray(),
              (QJsonArray{pixels(box.widthTwips), pixels(box.heightTwips)}));
    EXPECT_EQ(control(result, box.name, "lblTitle"), box.text);
    EXPECT_EQ(control(result, box.name, "cmdOK"), "OK");
    // The button face covers its place in the layout; just left of it is the box's face.
    EXPECT_NE(pictureAt(result, box.name, box.okLeft + 60, box.okTop + 60), kFace);
    EXPECT_EQ(pictureAt(result, box.name, box.okLeft - 45, box.okTop + 150), kFace);
}

TEST_P(AboutBoxes, EtchedSeparatorAndParagraphsAsShown)
{
    const BoxCase& box = GetParam();
    const auto result = run({"--screen", box.name});
    const double width = box.widthTwips;
    const double height = box.heightTwips;
    const int middle = (box.lineLeft + box.lineRight) / 2;
    const int below = box.lineY + kTwipsPerPixel;
    for (int x : {box.lineLeft, middle, box.lineRight - kTwipsPerPixel}) {
        EXPECT_EQ(canvasAt(result, box.name, x, box.lineY, width, height), kShadow) << x;
        EXPECT_EQ(pictureAt(result, box.name, x, box.lineY), kShadow) << x;
    }
    EXPECT_EQ(canvasAt(result, box.name, box.lineLeft - kTwipsPerPixel, box.lineY, width, height), kFace);
    EXPECT_EQ(canvasAt(result, box.name, middle, box.lineY - kTwipsPerPixel, width, height), kFace);
    const QColor underLine = box.etched ? kHighlight : kFace;
    EXPECT_EQ(canvasAt(result, box.name, middle, below, width, height), underLine);
    EXPECT_EQ(pictureAt(result, box.name, middle, below), underLine);
    // The white line starts one pixel right of the grey one.
    EXPECT_EQ(canvasAt(result, box.name, box.lineLeft, below, width, height), kFace);

    const auto lines = textLines(result.snapshot.window(box.name), pixels(box.lineY));
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(emptyLinesBetween(lines), box.emptyLines);
}

TEST_P(AboutBoxes, OkClosesTheBox)
{
    const auto result = run({"--screen", GetParam().name, "--click", "OK"});
    EXPECT_TRUE(openWindows(result).isEmpty());
    EXPECT_TRUE(ended(result));
}

// The layouts were drawn for a small dialog font: whatever font the label ends up with, the
// whole text, wrapped at the label's width, must stand above the separator.
TEST_P(AboutBoxes, WholeTextFitsAboveTheSeparator)
{
    const BoxCase& box = GetParam();
    forms::Runtime runtime;
    program::registerScreens(runtime);
    const forms::Form* form = runtime.Load(box.name);
    ASSERT_NE(form, nullptr);
    const auto* label = form->findChild<QLabel*>("lblTitle");
    ASSERT_NE(label, nullptr);

    const QString shown = QString(label->text()).replace(QChar(13), QChar(10));
    const auto needed = [&](const QFont& font) {
        return QFontMetrics(font).boundingRect(QRect(0, 0, label->width(), 100000),
                                               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, shown);
    };
    const QRect text = needed(label->font());
    EXPECT_LE(text.width(), label->width());
    EXPECT_LE(label->y() + text.height(), std::min(label->geometry().bottom() + 1, pixels(box.lineY)));

    EXPECT_EQ(label->font().family(), QApplication::font().family());
    const double points = label->font().pointSizeF();
    const double platformPoints = QFontInfo(QApplication::font()).pointSizeF();
    EXPECT_GE(points, 6.0);
    EXPECT_LE(points, platformPoints);
    if (points < platformPoints) {
        // Shrunk no further than needed: half a point more would not fit.
        QFont larger = label->font();
        larger.setPointSizeF(points + 0.5);
        EXPECT_GT(label->y() + needed(larger).height(), std::min(label->geometry().bottom() + 1, pixels(box.lineY)));
    }
    RecordProperty("points", QString::number(points).toStdString());
}

INSTANTIATE_TEST_SUITE_P(Boxes, AboutBoxes, ::testing::ValuesIn(kBoxes),
                         [](const auto& info) { return std::string(info.param.name); });

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

    result = run({"--screen", "menu", "--menu", "Help/About", "--click", "OK", "--menu", "Help/About"});
    EXPECT_EQ(openWindows(result), (QStringList{"Form2", "frmAbout1"}));
    EXPECT_EQ(control(result, "frmAbout1", "lblTitle"), kOverview);
}

} // namespace
