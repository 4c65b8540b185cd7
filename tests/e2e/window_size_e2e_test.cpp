// Drawing windows at other sizes than designed, in a real X server: maximised, the traces are
// drawn across the larger canvas; shrunk to fit a small screen at a desktop scale factor, the
// question boxes stay inside their window.

#include "support/test_tables.h"
#include "x_session.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace e2e {
namespace {

const char* const kSampling = "Sampling frequency in Hz";
const char* const kCutoff = "Cutoff frequency in Hz [less than half the sampling freq.]";
const char* const kTaps = "The number of taps [500 max.]";
const char* const kPhase = "Plot the filter's phase response? [Y]es or [N]o";
const char* const kBlackmanLowpass = "FIR low-pass filter design [Blackman window]";

// The program with a settings file of its own, so that no choice of the desk's user shows.
QProcessEnvironment ownSettings(const QTemporaryDir& folder, const char* scale = nullptr)
{
    QProcessEnvironment environment;
    environment.insert("DSPLAB_SETTINGS", folder.filePath("settings.ini"));
    if (scale)
        environment.insert("QT_SCALE_FACTOR", scale);
    return environment;
}

class LargeWindow : public XServerTest { };

TEST_F(LargeWindow, MaximisedFilterScreenDrawsItsTracesAcrossTheLargerCanvas)
{
    QTemporaryDir folder;
    RealProgram program(*s_x, {"--screen", "lowpass"}, ownSettings(folder));
    for (const auto& [title, text] :
         {std::pair{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}})
        ASSERT_TRUE(program.answer(title, text)) << title;
    const auto id = program.window(kBlackmanLowpass);
    ASSERT_TRUE(id);
    program.activate(*id);
    // The window manager maximises a window whose title bar is double-clicked.
    const QRect frame = program.frame(*id);
    s_x->run("xdotool",
             {"mousemove", QString::number(frame.center().x()), QString::number(frame.top() + 8),
              "click", "--repeat", "2", "1"});
    ASSERT_TRUE(waitUntil([&] { return program.area(*id).width() >= 1500; }));
    QImage picture;
    // The stop band's red trace runs along the bottom of the plot from about half way across
    // to its right edge, three quarters of the window across: every column there shows it.
    int reddened = 0;
    const auto redColumns = [&] {
        picture = program.picture(*id);
        reddened = 0;
        for (int x = picture.width() * 55 / 100; x < picture.width() * 72 / 100; ++x) {
            bool red = false;
            for (int y = 0; y < picture.height() && !red; ++y)
                red = picture.pixel(x, y) == qRgb(255, 0, 0);
            reddened += red;
        }
        return reddened == picture.width() * 72 / 100 - picture.width() * 55 / 100;
    };
    EXPECT_TRUE(waitUntil(redColumns)) << reddened << " red columns in " << picture.width();
}

// A screen of 1280 x 720 on which a window at a desktop scale factor is shrunk to fit.
class SmallScreen : public XServerTest, public ::testing::WithParamInterface<const char*> {
protected:
    static void SetUpTestSuite() { s_x = std::make_unique<XSession>(QSize(1280, 720)); }
};

TEST_P(SmallScreen, QuestionBoxesStayInsideTheirWindow)
{
    QTemporaryDir folder;
    RealProgram program(*s_x, {"--screen", "lowpass"}, ownSettings(folder, GetParam()));
    for (const auto& [title, text] :
         {std::pair{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}}) {
        const auto box = program.window(title);
        ASSERT_TRUE(box) << title;
        const auto window = program.window(kBlackmanLowpass);
        ASSERT_TRUE(window);
        const QSize boxSize = program.frame(*box).size();
        const QSize windowSize = program.frame(*window).size();
        EXPECT_LE(boxSize.width(), windowSize.width()) << title;
        EXPECT_LE(boxSize.height(), windowSize.height()) << title;
        ASSERT_TRUE(program.answer(title, text)) << title;
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, SmallScreen, ::testing::Values("1.5", "2"), [](const auto& info) {
    QString name = QString::fromLatin1(info.param);
    return name.replace('.', '_').prepend("Scale").toStdString();
});

} // namespace
} // namespace e2e
