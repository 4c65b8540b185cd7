#include "gui_support.h"

#include "program/identity.h"
#include "support/test_tables.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMap>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace guitest;

TEST(Identity, NamesTheProgramAndItsDesktopEntry)
{
    program::applyIdentity();
    EXPECT_EQ(QCoreApplication::applicationName(), QStringLiteral("dsplab"));
    EXPECT_EQ(QCoreApplication::organizationName(), QStringLiteral("DSP Lab developers"));
    // One version for the program, its package and its metadata: the build's project version.
    EXPECT_EQ(QCoreApplication::applicationVersion(), QStringLiteral(DSPLAB_VERSION));
    // The installed menu entry is named after the application id; Wayland matches windows to it.
    EXPECT_EQ(QGuiApplication::desktopFileName(), QStringLiteral("org.dsplab.DSPLab"));
}

TEST(Identity, IconIsCompiledInAtEveryInstalledSize)
{
    program::applyIdentity();
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull()) << "the icon resource is not in the program";
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 24, 32, 48, 64, 128, 256}) {
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side << " px";
        // The picture itself, not only a file name that failed to load.
        EXPECT_EQ(icon.pixmap(side, side).size(), QSize(side, side)) << side << " px";
    }
}

// Records, for every window that is shown, whether it shows the program's icon.
class ShownWindows : public QObject {
public:
    ShownWindows() { qApp->installEventFilter(this); }
    ~ShownWindows() override { qApp->removeEventFilter(this); }

    QMap<QString, bool> hasIcon;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget->isWindow()) {
                const QIcon icon = widget->windowIcon();
                hasIcon[widget->objectName()] =
                    !icon.isNull() && icon.cacheKey() == QApplication::windowIcon().cacheKey();
            }
        }
        return false;
    }
};

struct ScreenCase {
    const char* name;
    std::vector<const char*> arguments;
    std::vector<const char*> windows; // that the run shows, at least
};

class EveryScreenShowsTheIcon : public ::testing::TestWithParam<ScreenCase> { };

TEST_P(EveryScreenShowsTheIcon, AsItsWindowIcon)
{
    program::applyIdentity();
    ShownWindows shown;
    QStringList arguments;
    for (const char* argument : GetParam().arguments)
        arguments << QString::fromUtf8(argument);
    const program::SessionResult result = run(arguments);
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    for (const char* window : GetParam().windows)
        EXPECT_TRUE(shown.hasIcon.contains(QString::fromUtf8(window)))
            << window << " was not shown";
    for (auto it = shown.hasIcon.cbegin(); it != shown.hasIcon.cend(); ++it)
        EXPECT_TRUE(it.value()) << "window " << it.key().toStdString() << " has another icon";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, EveryScreenShowsTheIcon,
    ::testing::Values(
        ScreenCase{"start", {}, {"Form1"}},
        ScreenCase{"menu_and_about", {"--screen", "menu", "--menu", "Help/About"},
                   {"Form2", "frmAbout1"}},
        ScreenCase{"square_and_spectrum",
                   {"--screen", "square", "--answer", "3", "--click", "View Spectrum"},
                   {"Form3", "Form7", "InputBox"}},
        ScreenCase{"triangle", {"--screen", "triangle", "--answer", "3"}, {"Form4"}},
        ScreenCase{"sawtooth", {"--screen", "sawtooth", "--answer", "3"}, {"Form5"}},
        ScreenCase{"rectified", {"--screen", "rectified", "--answer", "F", "--answer", "3"},
                   {"Form6"}},
        ScreenCase{"pulse", {"--screen", "pulse", "--answer", "13", "--answer", "0.2"}, {"Form13"}},
        ScreenCase{"lowpass_rect",
                   {"--screen", "lowpass-rect", "--answer", "1000", "--answer", "150", "--answer",
                    "15"},
                   {"Form8"}},
        ScreenCase{"lowpass",
                   {"--screen", "lowpass", "--answer", "1000", "--answer", "150", "--answer", "15",
                    "--answer", "y"},
                   {"Form9"}},
        ScreenCase{"bandpass",
                   {"--screen", "bandpass", "--answer", "1000", "--answer", "100", "--answer",
                    "250",
                    "--answer", "21", "--answer", "y"},
                   {"Form10"}},
        ScreenCase{"highpass",
                   {"--screen", "highpass", "--answer", "1000", "--answer", "350", "--answer", "15",
                    "--answer", "y"},
                   {"Form11"}},
        ScreenCase{"bandstop",
                   {"--screen", "bandstop", "--answer", "1000", "--answer", "200", "--answer",
                    "250",
                    "--answer", "29", "--answer", "y"},
                   {"Form12"}}),
    tables::rowName);
// clang-format on

class EveryExplanationBoxShowsTheIcon : public ::testing::TestWithParam<const char*> { };

TEST_P(EveryExplanationBoxShowsTheIcon, AsItsWindowIcon)
{
    program::applyIdentity();
    ShownWindows shown;
    const program::SessionResult result = run({"--screen", GetParam()});
    ASSERT_EQ(result.exitCode, 0) << result.failure.toStdString();
    ASSERT_TRUE(shown.hasIcon.contains(QString::fromUtf8(GetParam())));
    EXPECT_TRUE(shown.hasIcon.value(QString::fromUtf8(GetParam())));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Boxes, EveryExplanationBoxShowsTheIcon,
                         ::testing::Values("frmAbout", "frmAbout1", "frmAbout2", "frmAbout3",
                                           "frmAbout4", "frmAbout5"),
                         tables::paramName);
// clang-format on

} // namespace
