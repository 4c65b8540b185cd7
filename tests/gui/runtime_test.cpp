#include "gui_support.h"

#include "forms/form.h"
#include "forms/runtime.h"
#include "support/test_tables.h"

#include <QEventLoop>
#include <QImage>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <vector>

namespace {

using namespace guitest;

const char* const kMenuButtons[] = {"Command1", "Command2", "Command3", "Command4", "Command5",
                                    "Command6", "Command7", "Command8", "Command9", "Command10"};

bool darkRow(const QImage& picture, int y, int left, int right)
{
    for (int x = left; x < right; ++x)
        if (qGray(picture.pixel(x, y)) < 100)
            return true;
    return false;
}

bool darkColumn(const QImage& picture, int x, int top, int bottom)
{
    for (int y = top; y < bottom; ++y)
        if (qGray(picture.pixel(x, y)) < 100)
            return true;
    return false;
}

// The buttons lie inside the window, none over another, and the heading's text stands clear
// above them.
TEST(MainMenu, ControlsLieApartInsideTheWindow)
{
    const auto result = run({"--screen", "menu"});
    const QRect client = clientRect(result, "Form2");
    std::vector<QRect> buttons;
    for (const char* name : kMenuButtons) {
        SCOPED_TRACE(name);
        const QRect button = place(result, "Form2", name);
        ASSERT_FALSE(button.isEmpty());
        EXPECT_TRUE(client.contains(button));
        for (const QRect& other : buttons)
            EXPECT_FALSE(button.intersects(other));
        buttons.push_back(button);
    }
    const QImage picture = result.snapshot.window("Form2");
    const QRect heading = place(result, "Form2", "Label1");
    int lastInkRow = -1;
    for (int y = heading.top(); y <= heading.bottom(); ++y)
        if (darkRow(picture, y, heading.left(), heading.right() + 1))
            lastInkRow = y;
    ASSERT_GE(lastInkRow, 0) << "the heading does not show";
    for (const QRect& button : buttons)
        EXPECT_LT(lastInkRow, button.top());
}

// Every word of every caption shows: no text runs into the sides of its button, and a caption
// too long for one line wraps, onto two lines at most.
TEST(MainMenu, EveryButtonShowsItsWholeCaption)
{
    const auto result = run({"--screen", "menu"});
    const QImage picture = result.snapshot.window("Form2");
    ASSERT_FALSE(picture.isNull());
    for (const char* name : kMenuButtons) {
        SCOPED_TRACE(name);
        const QRect button = place(result, "Form2", name);
        ASSERT_TRUE(picture.rect().contains(button));
        const int left = button.left();
        const int top = button.top();
        const int right = left + button.width();
        const int bottom = top + button.height();
        // A few pixels inside the frame on either side.
        for (int x : {left + 3, left + 6, right - 7, right - 4})
            EXPECT_FALSE(darkColumn(picture, x, top + 3, bottom - 3)) << x;
        int lines = 0;
        bool inLine = false;
        for (int y = top + 3; y < bottom - 3; ++y) {
            const bool ink = darkRow(picture, y, left + 3, right - 3);
            lines += ink && !inLine;
            inLine = ink;
        }
        EXPECT_GE(lines, 1) << "the caption does not show";
        EXPECT_LE(lines, 2);
    }
}

struct BehindCase {
    const char* label;
    std::vector<const char*> steps; // after "Do Another" on the square screen, answered with Cancel
    QStringList windows;
    bool ended;
};

std::ostream& operator<<(std::ostream& out, const BehindCase& c) { return out << c.label; }

class MenuBehindAScreen : public ::testing::TestWithParam<BehindCase> { };

// "Do Another" leaves the main menu open behind the fresh screen, and it still works.
TEST_P(MenuBehindAScreen, TakesItsButtonsAndMenus)
{
    const BehindCase& c = GetParam();
    QStringList arguments{"--screen", "square",     "--answer", "3",
                          "--click",  "Do Another", "--cancel"};
    for (const char* step : c.steps)
        arguments << QString::fromUtf8(step);
    const auto result = run(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    EXPECT_EQ(openWindows(result), c.windows);
    EXPECT_EQ(ended(result), c.ended);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Steps, MenuBehindAScreen,
    ::testing::Values(
        BehindCase{"BeforeAnyStep", {}, {"Form2", "Form3"}, false},
        BehindCase{"OtherScreenOpensOnTop",
                   {"--click", "Triangle Generator", "--answer", "2"},
                   {"Form3", "Form4"},
                   false},
        BehindCase{"SameScreenIsNotLoadedTwice", {"--click", "Square Generator"}, {"Form3"}, false},
        BehindCase{"ExitEndsTheProgram", {"--menu", "File/Exit"}, {}, true},
        BehindCase{"AboutIsModalOverBoth",
                   {"--menu", "Help/About"},
                   {"Form2", "Form3", "frmAbout1"},
                   false},
        BehindCase{"NegativeAnswerOnTheNextScreenEnds",
                   {"--click", "Triangle Generator", "--answer", "-1"},
                   {},
                   true}),
    tables::nameBy(&BehindCase::label));
// clang-format on

TEST(MenuBehindAScreen, ModalWindowAloneTakesInput)
{
    const auto result =
        run({"--screen", "square", "--answer", "3", "--click", "Do Another", "--answer", "2",
             "--click", "View Spectrum", "--click", "Triangle Generator"});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.failure.contains("Form7")) << result.failure.toStdString();
}

// A screen whose load handler is given by the test.
class Probe : public forms::Form {
public:
    Probe(const QString& name, std::function<void(Probe&)> load)
        : Form(name, 1500, 1500), m_load(std::move(load))
    {
    }
    void Form_Load() override { m_load(*this); }

private:
    std::function<void(Probe&)> m_load;
};

struct EndingRun {
    bool openerWentOn = false;
    bool laterHandlerRan = false;
    std::size_t windowsLeft = 0;
};

// Starts "Opener" in a fresh runtime; `wait` blocks inside its load handler while the program
// ends from within the wait. Returns what happened once the program has ended.
EndingRun endWhileWaiting(const std::function<void(forms::Runtime&)>& wait)
{
    forms::Runtime runtime;
    EndingRun run;
    runtime.registerForm("Opener", [&] {
        return new Probe("Opener", [&](Probe& opener) {
            opener.Show();
            QTimer::singleShot(0, &runtime, [&] { runtime.invoke([&] { runtime.End(); }); });
            wait(runtime);
            run.openerWentOn = true;
        });
    });
    runtime.registerForm("Modal", [] { return new Probe("Modal", [](Probe&) {}); });
    QEventLoop loop;
    QObject::connect(&runtime, &forms::Runtime::programEnded, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    runtime.start("Opener");
    loop.exec();
    runtime.invoke([&] { run.laterHandlerRan = true; });
    run.windowsLeft = runtime.openWindows().size();
    return run;
}

TEST(End, InsideAModalWindowStopsItsOpener)
{
    const EndingRun run =
        endWhileWaiting([](forms::Runtime& runtime) { runtime.Load("Modal")->Show(1); });
    EXPECT_FALSE(run.openerWentOn);
    EXPECT_FALSE(run.laterHandlerRan);
    EXPECT_EQ(run.windowsLeft, 0u);
}

TEST(End, InsideAQuestionBoxStopsTheAskingScreen)
{
    const EndingRun run =
        endWhileWaiting([](forms::Runtime& runtime) { runtime.InputBox(" ", "Question", "3"); });
    EXPECT_FALSE(run.openerWentOn);
    EXPECT_FALSE(run.laterHandlerRan);
    EXPECT_EQ(run.windowsLeft, 0u);
}

TEST(End, ClosingTheStartScreenEndsTheProgram)
{
    const auto result = run({"--close"});
    EXPECT_TRUE(ended(result));
    EXPECT_TRUE(openWindows(result).isEmpty());
}

} // namespace
