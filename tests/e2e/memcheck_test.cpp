// Real-window sessions under valgrind's memcheck, through menus, explanation boxes, question boxes
// and every way the program ends: any invalid read, write or free fails.

#include "support/test_tables.h"
#include "x_session.h"

#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace e2e {
namespace {

using tables::PrintTo; // rows print as their names in failure messages

// Memory checking slows the program many times over.
constexpr int kSlowly = 90000;

struct CheckedSession {
    const char* name;
    QStringList arguments;
    std::function<void(RealProgram&, const XSession&)> play;
};

const char* const kMenuCaption =
    " Quorvel Applications                                       DSP Lab for the classroom";

void activate(RealProgram& program, const QString& title)
{
    const auto id = program.window(title, kSlowly);
    ASSERT_TRUE(id) << "no window " << title.toStdString();
    program.activate(*id);
}

void closeBox(RealProgram& program, const QString& title)
{
    activate(program, title);
    program.key(QStringLiteral("alt+F4")); // the window manager's close
}

const std::vector<CheckedSession>& sessions()
{
    // clang-format off
    static const std::vector<CheckedSession> all{
        // The main menu's explanation box by keys and Return, then File, Exit.
        {"MenusAndExit",
         {"--screen", "menu"},
         [](RealProgram& program, const XSession&) {
             activate(program, kMenuCaption);
             program.key("alt+h");
             program.key("Return");
             activate(program, "DSP Lab");
             program.key("Return");
             // Under valgrind on a busy machine the menu can open after "x" has gone to the
             // window; the menu is then closed and asked for again.
             for (int attempt = 0; attempt < 4; ++attempt) {
                 activate(program, kMenuCaption);
                 program.key("alt+f");
                 program.key("x");
                 if (program.finished(20000))
                     break;
                 program.key("Escape");
             }
         }},
        // A whole filter design, its explanation box closed by Escape, then its close box.
        {"FilterDesignAndCloseBox",
         {"--screen", "lowpass"},
         [](RealProgram& program, const XSession&) {
             for (const auto& [title, answer] :
                  {std::pair{"Sampling frequency in Hz", "1000"},
                   std::pair{"Cutoff frequency in Hz [less than half the sampling freq.]", "150"},
                   std::pair{"The number of taps [500 max.]", "15"},
                   std::pair{"Plot the filter's phase response? [Y]es or [N]o", "Y"}})
                 ASSERT_TRUE(program.window(title, kSlowly) && program.answer(title, answer))
                     << title;
             activate(program, "FIR low-pass filter design [Blackman window]");
             program.key("alt+h");
             program.key("Return");
             activate(program, "About low-pass filter design");
             program.key("Escape");
             ASSERT_TRUE(waitUntil(
                 [&] { return !program.window("About low-pass filter design", 0); }, kSlowly));
             closeBox(program, "FIR low-pass filter design [Blackman window]");
         }},
        // An answer that ends the program from inside its question box.
        {"EndFromAQuestionBox",
         {"--screen", "square"},
         [](RealProgram& program, const XSession&) {
             ASSERT_TRUE(program.window("Number of Odd Harmonics", kSlowly));
             ASSERT_TRUE(program.answer("Number of Odd Harmonics", "-1"));
         }},
        // The modal spectrum closed by Escape, then the screen's and the menu's close boxes.
        {"SpectrumAndCloseBoxes",
         {"--screen", "triangle"},
         [](RealProgram& program, const XSession&) {
             ASSERT_TRUE(program.window("Number of Odd Harmonics", kSlowly));
             ASSERT_TRUE(program.answer("Number of Odd Harmonics", "3"));
             activate(program, "Fourier triangle generator");
             program.key("Tab"); // from "Do Another" to "View Spectrum"
             program.key("Return");
             activate(program, "Spectrum plot");
             program.key("Escape");
             ASSERT_TRUE(waitUntil([&] { return !program.window("Spectrum plot", 0); }, kSlowly));
             closeBox(program, "Fourier triangle generator");
             closeBox(program, kMenuCaption);
         }},
    };
    // clang-format on
    return all;
}

class UnderMemcheck : public ::testing::TestWithParam<CheckedSession> { };

TEST_P(UnderMemcheck, NoInvalidMemoryAccess)
{
    if (QStandardPaths::findExecutable(QStringLiteral("valgrind")).isEmpty())
        GTEST_SKIP() << "valgrind is not installed";
    XSession x;
    if (!x.ready())
        GTEST_SKIP() << "no X server with a window manager could be started (Xvfb and openbox)";
    QTemporaryDir folder;
    const QString log = folder.filePath(QStringLiteral("memcheck.log"));
    {
        RealProgram program(x, GetParam().arguments, QProcessEnvironment(),
                            {QStringLiteral("valgrind"), QStringLiteral("--tool=memcheck"),
                             QStringLiteral("--leak-check=no"),
                             QStringLiteral("--log-file=") + log});
        GetParam().play(program, x);
        ASSERT_TRUE(program.finished(kSlowly)) << "the program did not end";
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), 0);
    }
    QFile file(log);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString report = QString::fromLocal8Bit(file.readAll());
    ASSERT_TRUE(report.contains(QStringLiteral("ERROR SUMMARY"))) << report.toStdString();
    static const QRegularExpression invalid(
        QStringLiteral("Invalid (read|write|free)|Mismatched free"));
    EXPECT_FALSE(invalid.match(report).hasMatch()) << report.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Sessions, UnderMemcheck, ::testing::ValuesIn(sessions()), tables::rowName);

} // namespace
} // namespace e2e
