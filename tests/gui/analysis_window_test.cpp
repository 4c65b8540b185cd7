// The Analysis window, opened as a user opens it (the canvas menu, Ctrl+Shift+A): it shows the
// screen's design, follows the Explore panel's changes and the screen's next window, and reads
// out what is under the pointer.

#include "canvas_user.h"
#include "screens/analysis_window.h"

#include <QLabel>
#include <QTabBar>
#include <QTest>

namespace {

using namespace canvastest::questions;
using canvastest::CanvasUser;

class AnalysisUser : public CanvasUser {
protected:
    static screens::AnalysisWindow* analysisOf(forms::Form* form)
    {
        auto* shown = form ? form->findChild<screens::AnalysisWindow*>() : nullptr;
        return shown && shown->isVisible() ? shown : nullptr;
    }
    static QString titleShown(screens::AnalysisWindow* window)
    {
        return window->findChild<screens::AnalysisPlot*>()->picture().title;
    }
    static void clickTab(screens::AnalysisWindow* window, int index)
    {
        auto* tabs = window->findChild<QTabBar*>();
        QTest::mouseClick(tabs, Qt::LeftButton, {}, tabs->tabRect(index).center());
    }
};

TEST_F(AnalysisUser, OpensFromTheCanvasMenuAndFollowsTheExplorePanel)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "analyse");
    waitUntil([&] { return analysisOf(form) != nullptr; });
    screens::AnalysisWindow* analysis = analysisOf(form);
    ASSERT_NE(analysis, nullptr);
    clickTab(analysis, 4);
    EXPECT_EQ(titleShown(analysis), "Through the filter of 15 taps at fs = 1000 Hz");

    key(form, Qt::Key_E, Qt::ControlModifier);
    QWidget* taps = nullptr;
    waitUntil([&] {
        taps = form->findChild<QWidget*>(QStringLiteral("taps"));
        return taps && taps->isVisible();
    });
    ASSERT_NE(taps, nullptr);
    QTest::keyClick(taps, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(taps, QStringLiteral("31"));
    QTest::keyClick(taps, Qt::Key_Return);
    waitUntil([&] { return titleShown(analysis).contains("31 taps"); });
    EXPECT_EQ(titleShown(analysis), "Through the filter of 31 taps at fs = 1000 Hz");
}

TEST_F(AnalysisUser, ReadsOutTheZeroUnderThePointer)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "2"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    key(form, Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    waitUntil([&] { return analysisOf(form) != nullptr; });
    screens::AnalysisWindow* analysis = analysisOf(form);
    ASSERT_NE(analysis, nullptr);
    clickTab(analysis, 3);
    // Two taps have one zero, at z = -1: left of the plot's centre by the unit circle's radius.
    auto* plot = analysis->findChild<screens::AnalysisPlot*>();
    QPoint at;
    for (int x = 0; x < plot->width() && at.isNull(); ++x)
        if (analysisReadout(plot->picture(), QRectF(plot->rect()), QPointF(x, plot->height() / 2))
                .startsWith("zero"))
            at = QPoint(x + 3, plot->height() / 2);
    ASSERT_FALSE(at.isNull());
    QTest::mouseMove(analysis->windowHandle(), plot->mapTo(analysis, at));
    const auto* readout = analysis->findChild<QLabel*>(QStringLiteral("analysisReadout"));
    waitUntil([&] { return readout->text().contains("angle 500 Hz"); });
    EXPECT_TRUE(readout->text().contains("radius 1,")) << readout->text().toStdString();
    EXPECT_TRUE(readout->text().contains("angle 500 Hz")) << readout->text().toStdString();
}

// " Do Another" makes a new window of the screen; the Analysis window left open comes back on
// it with the new design, on the view it showed.
TEST_F(AnalysisUser, OpensAgainOnTheScreensNextWindow)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    key(window("Form9"), Qt::Key_A, Qt::ControlModifier | Qt::ShiftModifier);
    waitUntil([&] { return analysisOf(window("Form9")) != nullptr; });
    clickTab(analysisOf(window("Form9")), 2);
    actions().when([&] { return shows("Form9"); },
                   [&] { clickButton(window("Form9"), "Command1"); });
    for (const auto& [title, text] :
         canvastest::Answers{{kSampling, "2000"}, {kCutoff, "300"}, {kTaps, "21"}, {kPhase, "N"}})
        answer(title, text);
    ASSERT_TRUE(settles([&] { return analysisOf(window("Form9")) != nullptr; }));
    EXPECT_EQ(titleShown(analysisOf(window("Form9"))), "Group delay of 21 taps at fs = 2000 Hz");
}

} // namespace
