// The real program in a real X server with a window manager, driven by real key and mouse events
// and pictured from the X server: what a person at the desk would see.

#include "support/test_tables.h"
#include "x_session.h"

#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace e2e {
namespace {

using tables::PrintTo; // rows print as their names in failure messages

struct Action {
    enum class Kind { Answer, Click, Toggle, Keys };
    Kind kind;
    QString title;   // the question box's title (Answer)
    QString text;    // the answer, the control's name (Click, Toggle) or the keys
    QString caption; // the caption a scripted run finds the control by
};

Action answer(const char* title, const char* text)
{
    return {Action::Kind::Answer, title, text, {}};
}
Action click(const char* control, const char* caption)
{
    return {Action::Kind::Click, {}, control, caption};
}
Action toggle(const char* control, const char* caption)
{
    return {Action::Kind::Toggle, {}, control, caption};
}
Action keys(const char* keys, const char* menuPath)
{
    return {Action::Kind::Keys, {}, keys, menuPath};
}

struct Session {
    const char* name;
    QStringList screen;
    std::vector<Action> actions;
    const char* form;  // the window to compare
    const char* title; // its caption
};

QStringList scriptOf(const Session& session)
{
    QStringList script = session.screen;
    for (const Action& action : session.actions) {
        switch (action.kind) {
        case Action::Kind::Answer:
            script << QStringLiteral("--answer") << action.text;
            break;
        case Action::Kind::Click:
            script << QStringLiteral("--click") << action.caption;
            break;
        case Action::Kind::Toggle:
            script << QStringLiteral("--toggle") << action.caption;
            break;
        case Action::Kind::Keys:
            script << QStringLiteral("--menu") << action.caption;
            break;
        }
    }
    return script;
}

const char* const kSampling = "Sampling frequency in Hz";
const char* const kCutoff = "Cutoff frequency in Hz [less than half the sampling freq.]";
const char* const kTaps = "The number of taps [500 max.]";
const char* const kPhase = "Plot the filter's phase response? [Y]es or [N]o";
const char* const kCentre = "Center frequency in Hz";
const char* const kBlackmanLowpass = "FIR low-pass filter design [Blackman window]";
const char* const kRectangular = "FIR low-pass filter design [rectangular window]";
const char* const kStartCaption =
    " Quorvel Applications                                       DSP Lab for the classroom";

std::vector<Action> blackmanDefaults(const char* phase)
{
    return {answer(kSampling, "1000"), answer(kCutoff, "150"), answer(kTaps, "15"),
            answer(kPhase, phase)};
}

const std::vector<Session>& sessions()
{
    // clang-format off
    static const std::vector<Session> all{
        {"StartScreen", {"--screen", "start"}, {}, "Form1", kStartCaption},
        {"MainMenu", {"--screen", "menu"}, {}, "Form2", kStartCaption},
        {"SquareOneHarmonic", {"--screen", "square"}, {answer("Number of Odd Harmonics", "1")},
         "Form3",
         "Fourier square generator"},
        {"SquareTwoHarmonics", {"--screen", "square"}, {answer("Number of Odd Harmonics", "2")},
         "Form3",
         "Fourier square generator"},
        {"SquareFiveHarmonics", {"--screen", "square"}, {answer("Number of Odd Harmonics", "5")},
         "Form3",
         "Fourier square generator"},
        {"SquareTenHarmonics", {"--screen", "square"}, {answer("Number of Odd Harmonics", "10")},
         "Form3",
         "Fourier square generator"},
        {"Triangle", {"--screen", "triangle"}, {answer("Number of Odd Harmonics", "3")}, "Form4",
         "Fourier triangle generator"},
        {"Sawtooth", {"--screen", "sawtooth"}, {answer("Number of Harmonics", "3")}, "Form5",
         "Fourier sawtooth generator"},
        {"RectifiedFullWave", {"--screen", "rectified"},
         {answer("Choose one: [F]ull-wave or [H]alf-wave", "F"),
          answer("Number of Harmonics", "3")}, "Form6",
         "Fourier rectified sine generator"},
        {"PulseTrain", {"--screen", "pulse"},
         {answer("Number of Harmonics", "13"), answer("Duty Cycle [0 to 1]", "0.2")}, "Form13",
         "Fourier Pulse Generator"},
        {"SquareSpectrum", {"--screen", "square"},
         {answer("Number of Odd Harmonics", "3"), click("Command2", "View Spectrum")}, "Form7",
         nullptr},
        {"RectangularLowpass", {"--screen", "lowpass-rect"},
         {answer(kSampling, "1000"), answer(kCutoff, "150"), answer(kTaps, "15")}, "Form8",
         kRectangular},
        {"RectangularLowpassTapsOnly", {"--screen", "lowpass-rect"},
         {answer(kSampling, "1000"), answer(kCutoff, "150"), answer(kTaps, "15"),
          toggle("Check1", "Plot Coefficients"), click("Command1", "Do Another"),
          answer(kSampling, "1000"),
          answer(kCutoff, "150"), answer(kTaps, "15")},
         "Form8", kRectangular},
        {"BlackmanLowpass", {"--screen", "lowpass"}, blackmanDefaults("N"), "Form9",
         kBlackmanLowpass},
        {"BlackmanLowpassWithPhase", {"--screen", "lowpass"}, blackmanDefaults("Y"), "Form9",
         kBlackmanLowpass},
        {"Highpass", {"--screen", "highpass"},
         {answer(kSampling, "1000"), answer(kCutoff, "350"), answer(kTaps, "15"),
          answer(kPhase, "Y")}, "Form11",
         "FIR high-pass filter design (Blackman window)"},
        {"Bandpass", {"--screen", "bandpass"},
         {answer(kSampling, "1000"),
          answer("Pass bandwidth in Hz [less than half the sampling freq.]", "100"),
          answer(kCentre, "250"), answer(kTaps, "21"), answer(kPhase, "Y")},
         "Form10", "FIR band-pass filter design (Blackman window)"},
        {"Bandstop", {"--screen", "bandstop"},
         {answer(kSampling, "1000"),
          answer("Stop bandwidth in Hz [less than half the sampling freq.]", "200"),
          answer(kCentre, "250"), answer(kTaps, "29"), answer(kPhase, "Y")},
         "Form12", "FIR band-stop filter design (Blackman window)"},
        {"AboutOnTheFilterScreen", {"--screen", "lowpass"},
         [] {
             auto actions = blackmanDefaults("N");
             actions.push_back(keys("alt+h Return", "Help/About"));
             return actions;
         }(),
         "frmAbout", nullptr},
    };
    // clang-format on
    return all;
}

class RealWindow : public XServerTest {
protected:
    // Plays the session in a real window; the program is left running on its last window.
    std::unique_ptr<RealProgram> play(const Session& session, const SnapshotRun& expected)
    {
        auto program = std::make_unique<RealProgram>(*s_x, session.screen);
        for (const Action& action : session.actions) {
            switch (action.kind) {
            case Action::Kind::Answer:
                EXPECT_TRUE(program->answer(action.title, action.text))
                    << "no question box " << action.title.toStdString();
                break;
            case Action::Kind::Click:
            case Action::Kind::Toggle:
                clickControl(*program, expected, action.text);
                break;
            case Action::Kind::Keys:
                for (const QString& key : action.text.split(QLatin1Char(' ')))
                    program->key(key);
                break;
            }
        }
        return program;
    }

    // Clicks a control of the topmost program window that has it, at the control's middle.
    void clickControl(RealProgram& program, const SnapshotRun& expected, const QString& control)
    {
        for (const QJsonValue& value : expected.state.value("windows").toArray()) {
            const QJsonObject window = value.toObject();
            const QJsonArray place = window.value("places").toObject().value(control).toArray();
            const auto id = program.window(window.value("caption").toString(), 5000);
            if (place.isEmpty() || !id)
                continue;
            program.activate(*id);
            const QPoint middle(place[0].toInt() + place[2].toInt() / 2,
                                place[1].toInt() + place[3].toInt() / 2);
            program.click(*id, middle, window.value("client").toArray()[1].toInt());
            return;
        }
        ADD_FAILURE() << "no control " << control.toStdString();
    }

    // Waits until the real window shows what the snapshot of the same session shows.
    void expectShowsSnapshot(RealProgram& program, const SnapshotRun& expected, const QString& form,
                             const QString& title)
    {
        const QJsonObject window = expected.window(form);
        ASSERT_FALSE(window.isEmpty()) << "the scripted run has no window " << form.toStdString();
        const QString caption = title.isEmpty() ? window.value("caption").toString() : title;
        const auto id = program.window(caption);
        ASSERT_TRUE(id) << "no real window \"" << caption.toStdString() << "\"";
        const QJsonArray client = window.value("client").toArray();
        const QSize clientSize(client[0].toInt(), client[1].toInt());
        const QImage wanted = expected.picture(form);
        int differing = -1;
        QImage shown;
        const bool same = waitUntil(
            [&] {
                shown = clientOf(program.picture(*id), clientSize);
                differing = differingPixels(shown, wanted, window);
                return differing == 0;
            },
            10000);
        if (!same) {
            shown.save(QStringLiteral("%1/%2.real.png").arg(expected.folder, form));
            FAIL() << differing << " pixels differ from the snapshot; pictures kept in "
                   << expected.folder.toStdString();
        }
        // Around its controls the window shows its drawing, exactly.
        EXPECT_EQ(differingPixels(shown, expected.canvas(form), window, Mask::AllControls), 0)
            << "the window does not show its drawing; pictures kept in "
            << expected.folder.toStdString();
    }
};

class EveryScreen : public RealWindow, public ::testing::WithParamInterface<Session> { };

TEST_P(EveryScreen, ShowsWhatItsSnapshotShows)
{
    const Session& session = GetParam();
    QTemporaryDir folder;
    folder.setAutoRemove(false);
    const SnapshotRun expected = snapshot(scriptOf(session), folder.path());
    ASSERT_EQ(expected.exitCode, 0);
    auto program = play(session, expected);
    expectShowsSnapshot(*program, expected, session.form, session.title ? session.title : "");
    folder.setAutoRemove(!HasFailure());
}

INSTANTIATE_TEST_SUITE_P(Sessions, EveryScreen, ::testing::ValuesIn(sessions()), tables::rowName);

const Session& sessionNamed(const char* name)
{
    for (const Session& session : sessions())
        if (QLatin1String(session.name) == QLatin1String(name))
            return session;
    throw std::invalid_argument(name);
}

TEST_F(RealWindow, TracesComeBackAfterMinimiseAndAfterABoxOverThem)
{
    const Session& session = sessionNamed("BlackmanLowpass");
    QTemporaryDir folder;
    const SnapshotRun expected = snapshot(scriptOf(session), folder.path());
    auto program = play(session, expected);
    const auto id = program->window(kBlackmanLowpass);
    ASSERT_TRUE(id);
    s_x->run("xdotool", {"windowminimize", "--sync", *id});
    program->activate(*id);
    expectShowsSnapshot(*program, expected, "Form9", kBlackmanLowpass);

    program->key("alt+h");
    program->key("Return");
    const auto box = program->window("About low-pass filter design");
    ASSERT_TRUE(box);
    program->activate(*box);
    program->key("Escape");
    EXPECT_TRUE(waitUntil([&] { return !program->window("About low-pass filter design", 0); }));
    expectShowsSnapshot(*program, expected, "Form9", kBlackmanLowpass);
}

TEST_F(RealWindow, FileExitEndsWithStatusZero)
{
    for (const bool withMouse : {false, true}) {
        RealProgram program(*s_x, {"--screen", "menu"});
        const auto id = program.window(kStartCaption);
        ASSERT_TRUE(id);
        program.activate(*id);
        if (withMouse) {
            // "File" is the first title of the menu bar, above the client area.
            const QRect own = program.area(*id);
            s_x->run("xdotool",
                     {"mousemove", QString::number(own.left() + 15), QString::number(own.top() + 8),
                      "click", "1"});
            program.key("Down");
            program.key("Return");
        } else {
            program.key("alt+f");
            program.key("x");
        }
        ASSERT_TRUE(program.finished()) << (withMouse ? "mouse" : "keys");
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0) << program.errors().toStdString();
    }
}

TEST_F(RealWindow, CloseBoxesLeadBackToTheMenuThenEnd)
{
    RealProgram program(*s_x, {"--screen", "square"});
    ASSERT_TRUE(program.answer("Number of Odd Harmonics", "3"));
    const auto square = program.window("Fourier square generator");
    ASSERT_TRUE(square);
    program.activate(*square);
    program.key("alt+F4"); // the window manager's close
    const auto menu = program.window(kStartCaption);
    ASSERT_TRUE(menu);
    program.activate(*menu);
    program.key("alt+F4");
    ASSERT_TRUE(program.finished());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST_F(RealWindow, ReturnAndEscapePressButtonsAndCloseBoxes)
{
    RealProgram program(*s_x, {"--screen", "start"});
    const auto start = program.window(kStartCaption);
    ASSERT_TRUE(start);
    program.activate(*start);
    program.key("Return"); // "Continue" has the focus
    // The main menu has the start screen's caption; its first button takes the focus.
    ASSERT_TRUE(program.window(kStartCaption));
    program.activate(*program.window(kStartCaption));
    program.key("Tab");
    program.key("shift+Tab");
    program.key("Return");
    // A main menu button unloads the menu and loads its screen.
    EXPECT_TRUE(waitUntil([&] { return !program.window(kStartCaption, 0); }))
        << "Return on a main menu button did nothing";
}

TEST_F(RealWindow, SpectrumCloseAnswersReturnAndEscape)
{
    for (const char* key : {"Return", "Escape"}) {
        RealProgram program(*s_x, {"--screen", "triangle"});
        ASSERT_TRUE(program.answer("Number of Odd Harmonics", "3"));
        const auto triangle = program.window("Fourier triangle generator");
        ASSERT_TRUE(triangle);
        program.activate(*triangle);
        // "View Spectrum" is the second button: Tab from "Do Another".
        QTemporaryDir folder;
        const SnapshotRun state = snapshot(
            {"--screen", "triangle", "--answer", "3", "--click", "View Spectrum"}, folder.path());
        const QString spectrumCaption = state.window("Form7").value("caption").toString();
        const QJsonArray place =
            state.window("Form4").value("places").toObject().value("Command2").toArray();
        program.click(*triangle, QPoint(place[0].toInt() + 5, place[1].toInt() + 5),
                      state.window("Form4").value("client").toArray()[1].toInt());
        const auto spectrum = program.window(spectrumCaption);
        ASSERT_TRUE(spectrum) << key;
        program.activate(*spectrum);
        program.key(key);
        EXPECT_TRUE(waitUntil([&] { return !program.window(spectrumCaption, 0); })) << key;
        EXPECT_TRUE(program.window("Fourier triangle generator", 0)) << key;
    }
}

TEST_F(RealWindow, QuestionBoxShowsItsWholeQuestion)
{
    RealProgram program(*s_x, {"--screen", "lowpass"});
    ASSERT_TRUE(program.answer(kSampling, "1000"));
    const auto box = program.window(kCutoff);
    ASSERT_TRUE(box);
    const QImage picture = program.picture(*box);
    // The question, in dark text on the light face of the box, across the top of its body.
    int darkColumns = 0;
    int lightPixels = 0;
    for (int x = 0; x < picture.width(); ++x) {
        bool dark = false;
        for (int y = 0; y < picture.height() / 3; ++y) {
            dark = dark || qGray(picture.pixel(x, y)) < 80;
            lightPixels += qGray(picture.pixel(x, y)) > 200;
        }
        darkColumns += dark;
    }
    EXPECT_GT(lightPixels, picture.width() * (picture.height() / 3) / 2)
        << "the box body is not painted";
    EXPECT_GT(darkColumns, 200) << "the box body does not show the question";
    const QRect frame = program.frame(*box);
    EXPECT_TRUE(QRect(0, 0, 1600, 1000).contains(frame));
}

TEST_F(RealWindow, OuterFrameIsCentred)
{
    RealProgram program(*s_x, {"--screen", "menu"});
    const auto menu = program.window(kStartCaption);
    ASSERT_TRUE(menu);
    QRect frame;
    EXPECT_TRUE(waitUntil(
        [&] {
            frame = program.frame(*menu);
            return std::abs(frame.center().y() - 500) <= 1
                && std::abs(frame.center().x() - 800) <= 1;
        },
        5000))
        << "frame at " << frame.x() << "," << frame.y() << " size " << frame.width() << "x"
        << frame.height();
}

// Runs of light-blue pixels along a line of a picture: the widths of the grid lines it crosses.
std::vector<int> gridLineWidths(const QImage& picture, QPoint from, QPoint step, int count)
{
    std::vector<int> widths;
    int run = 0;
    for (int i = 0; i < count; ++i) {
        const QPoint at = from + step * i;
        if (!picture.rect().contains(at))
            break;
        if (picture.pixel(at) == qRgb(0, 0, 255)) {
            ++run;
        } else if (run) {
            widths.push_back(run);
            run = 0;
        }
    }
    return widths;
}

class ScaledWindow : public RealWindow, public ::testing::WithParamInterface<const char*> { };

TEST_P(ScaledWindow, FitsTheScreenWithEvenGridLines)
{
    QProcessEnvironment scale;
    scale.insert("QT_SCALE_FACTOR", GetParam());
    RealProgram filter(*s_x, {"--screen", "lowpass"}, scale);
    ASSERT_TRUE(filter.answer(kSampling, "1000"));
    const auto design = filter.window(kBlackmanLowpass);
    ASSERT_TRUE(design);
    const QRect frame = filter.frame(*design);
    EXPECT_TRUE(QRect(0, 0, 1600, 1000).contains(frame))
        << "frame " << frame.x() << "," << frame.y() << " " << frame.width() << "x"
        << frame.height();

    // A square wave screen left without an answer shows the graticule alone.
    RealProgram program(*s_x, {"--screen", "square"}, scale);
    ASSERT_TRUE(program.answer("Number of Odd Harmonics", ""));
    const auto square = program.window("Fourier square generator");
    ASSERT_TRUE(square);
    program.activate(*square);
    const QImage picture = program.picture(*square);
    // Inside the graticule's cyan frame: across the top row of cells, down the left column.
    const QRgb cyan = qRgb(0, 128, 128);
    int top = 0;
    while (top < picture.height() && picture.pixel(picture.width() / 4, top) != cyan)
        ++top;
    int left = 0;
    while (left < picture.width() && picture.pixel(left, top + 20) != cyan)
        ++left;
    const auto vertical =
        gridLineWidths(picture, QPoint(left, top + 20), QPoint(1, 0), picture.width());
    const auto horizontal =
        gridLineWidths(picture, QPoint(left + 20, top), QPoint(0, 1), picture.height());
    ASSERT_GE(vertical.size(), 8u);
    ASSERT_GE(horizontal.size(), 6u);
    for (const int width : vertical)
        EXPECT_EQ(width, vertical.front());
    for (const int width : horizontal)
        EXPECT_EQ(width, vertical.front());
}

INSTANTIATE_TEST_SUITE_P(Factors, ScaledWindow, ::testing::Values("1.25", "1.5", "2"),
                         [](const auto& info) {
                             QString name = QString::fromLatin1(info.param);
                             return name.replace('.', '_').prepend("Scale").toStdString();
                         });

} // namespace
} // namespace e2e
