// The Explore panel, worked with real keys and the mouse wheel: what it draws is what answering
// the questions with its values draws; it offers only what the screen accepts; and changes that
// come faster than the redraws give one redraw of the latest values.

#include "canvas_user.h"
#include "forms/canvas_layer.h"
#include "screens/explore_panel.h"
#include "support/test_tables.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QWheelEvent>

#include <functional>
#include <tuple>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using canvastest::Answers;
using namespace canvastest::questions;
using canvastest::CanvasUser;

// One user action on a panel control: typing a value (then Return), or a single key or one
// notch of the wheel.
struct Input {
    const char* control;
    const char* typed = nullptr;
    Qt::Key key = Qt::Key_unknown;
    int wheelNotches = 0;
};

// What a user sees of a screen: its canvas, every caption and text box, and the list.
struct Seen {
    QImage canvas;
    QStringList texts;
    QStringList list;
};

Seen seenOn(forms::Form* form)
{
    Seen seen{form->canvasImage(), {}, {}};
    for (QWidget* control : form->controls()) {
        if (auto* label = qobject_cast<QLabel*>(control))
            seen.texts << control->objectName() + QStringLiteral(": ") + label->text();
        if (auto* text = qobject_cast<QLineEdit*>(control))
            seen.texts << control->objectName() + QStringLiteral(": ") + text->text();
        if (auto* check = qobject_cast<QCheckBox*>(control))
            seen.texts << control->objectName() + QLatin1String(check->isChecked() ? ": 1" : ": 0");
        if (auto* list = qobject_cast<QListWidget*>(control))
            for (int i = 0; i < list->count(); ++i)
                seen.list << list->item(i)->text();
    }
    return seen;
}

// Notes, as each watched widget paints, what `note` says then.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(std::function<QString()> note) : m_note(std::move(note)) { }
    QStringList noted;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            noted << m_note();
        return false;
    }

private:
    std::function<QString()> m_note;
};

class ExploreUser : public CanvasUser {
protected:
    screens::ExplorePanel* openPanel(forms::Form* form)
    {
        key(form, Qt::Key_E, Qt::ControlModifier);
        auto* panel = form->findChild<screens::ExplorePanel*>(QStringLiteral("explorePanel"));
        waitUntil([panel] { return panel && panel->isVisible(); });
        return panel;
    }

    static void give(screens::ExplorePanel* panel, const Input& input)
    {
        auto* widget = panel->findChild<QWidget*>(QString::fromLatin1(input.control));
        ASSERT_NE(widget, nullptr) << input.control;
        if (input.typed) {
            QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(widget, QString::fromLatin1(input.typed));
            QTest::keyClick(widget, Qt::Key_Return);
        } else if (input.wheelNotches != 0) {
            const QPointF centre = QRectF(widget->rect()).center();
            QWheelEvent wheel(centre, widget->mapToGlobal(centre), {},
                              {0, 120 * input.wheelNotches}, Qt::NoButton, Qt::NoModifier,
                              Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &wheel);
        } else {
            QTest::keyClick(widget, input.key);
        }
    }
};

struct FlowCase {
    const char* name;
    const char* screen;
    const char* form;
    Answers answers;                  // A, through the question boxes
    std::vector<const char*> checked; // check boxes ticked before designing again with A
    Answers other;                    // B, then the panel set to A
    std::vector<Input> inputs;
};

class PanelAgainstFlow : public ExploreUser, public ::testing::WithParamInterface<FlowCase> { };

TEST_P(PanelAgainstFlow, DrawsWhatTheQuestionsDraw)
{
    const FlowCase& c = GetParam();
    open(c.screen, c.answers);
    if (!c.checked.empty()) {
        actions().when([&] { return shows(c.form); },
                       [&] {
                           for (const char* box : c.checked)
                               clickButton(window(c.form), box);
                           clickButton(window(c.form), "Command1");
                       });
        for (const auto& [title, text] : c.answers)
            answer(title, text);
    }
    ASSERT_TRUE(settles([&] { return shows(c.form); }));
    const Seen expected = seenOn(window(c.form));

    open(c.screen, c.other);
    ASSERT_TRUE(settles([&] { return shows(c.form); }));
    forms::Form* form = window(c.form);
    screens::ExplorePanel* panel = openPanel(form);
    ASSERT_TRUE(panel && panel->isVisible());
    for (const Input& input : c.inputs)
        give(panel, input);
    waitUntil([&] { return seenOn(form).texts == expected.texts; });
    const Seen seen = seenOn(form);
    EXPECT_EQ(seen.texts, expected.texts);
    EXPECT_EQ(seen.list, expected.list);
    EXPECT_TRUE(seen.canvas == expected.canvas);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    EveryScreen, PanelAgainstFlow,
    ::testing::Values(
        FlowCase{"Square", "square", "Form3", {{kOdd, "7"}}, {}, {{kOdd, "5"}},
                 {{"harmonics", nullptr, Qt::Key_Up}, {"harmonics", nullptr, Qt::Key_Up}}},
        FlowCase{"TriangleAtZero", "triangle", "Form4", {{kOdd, "0"}}, {}, {{kOdd, "3"}},
                 {{"harmonicsSlider", nullptr, Qt::Key_Home}}},
        FlowCase{"Sawtooth", "sawtooth", "Form5", {{kCount, "12"}}, {}, {{kCount, "2"}},
                 {{"harmonics", nullptr, Qt::Key_PageUp}}},
        FlowCase{"RectifiedHalfWave", "rectified", "Form6", {{kRectify, "H"}, {kCount, "4"}}, {},
                 {{kRectify, "F"}, {kCount, "0"}},
                 {{"rectify", nullptr, Qt::Key_Down}, {"harmonics", "4"}}},
        FlowCase{"Pulse", "pulse", "Form13", {{kCount, "9"}, {kDuty, "0.35"}}, {},
                 {{kCount, "13"}, {kDuty, "0.2"}}, {{"harmonics", "9"}, {"duty", "0.35"}}},
        FlowCase{"RectangularWithBothChecks", "lowpass-rect", "Form8",
                 {{kSampling, "2000"}, {kCutoff, "333.5"}, {kTaps, "31"}}, {"Check1", "Check2"},
                 {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}},
                 {{"fs", "2000"}, {"cutoff", "333.5"}, {"taps", "31"},
                  {"plot-taps", nullptr, Qt::Key_Space}, {"plot-phase", nullptr, Qt::Key_Space}}},
        FlowCase{"BlackmanWithPhase", "lowpass", "Form9",
                 {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "51"}, {kPhase, "Y"}}, {},
                 {{kSampling, "8000"}, {kCutoff, "1000"}, {kTaps, "15"}, {kPhase, "N"}},
                 {{"fs", "1000"}, {"cutoff", "150"}, {"taps", "51"},
                  {"phase", nullptr, Qt::Key_Space}}},
        FlowCase{"Highpass", "highpass", "Form11",
                 {{kSampling, "1000"}, {kCutoff, "350.25"}, {kTaps, "25"}, {kPhase, "N"}}, {},
                 {{kSampling, "1000"}, {kCutoff, "300"}, {kTaps, "24"}, {kPhase, "N"}},
                 {{"cutoff", "350.25"}, {"taps", nullptr, Qt::Key_unknown, 1}}},
        FlowCase{"BandpassWithPhase", "bandpass", "Form10",
                 {{kSampling, "1000"}, {kPass, "100"}, {kCentre, "250"}, {kTaps, "21"}, {kPhase, "Y"}},
                 {}, {{kSampling, "1000"}, {kPass, "120"}, {kCentre, "200"}, {kTaps, "21"},
                      {kPhase, "N"}},
                 {{"bandwidth", "100"}, {"centre", "250"}, {"phase", nullptr, Qt::Key_Space}}},
        FlowCase{"Bandstop", "bandstop", "Form12",
                 {{kSampling, "1000"}, {kStop, "200"}, {kCentre, "250"}, {kTaps, "29"}, {kPhase, "N"}},
                 {}, {{kSampling, "1200"}, {kStop, "200"}, {kCentre, "250"}, {kTaps, "30"},
                      {kPhase, "N"}},
                 {{"fs", "1000"}, {"taps", nullptr, Qt::Key_Down}}}),
    tables::rowName);
// clang-format on

// What each control offers after the screen's last drawing: the screen's own limits, the
// frequencies below half the sampling frequency (0.01 Hz apart).
struct LimitCase {
    const char* name;
    const char* screen;
    const char* form;
    Answers answers;
    const char* control;
    double minimum;
    double maximum;
};

class ControlLimits : public ExploreUser, public ::testing::WithParamInterface<LimitCase> { };

double minimumOf(QAbstractSpinBox* spin) { return spin->property("minimum").toDouble(); }
double maximumOf(QAbstractSpinBox* spin) { return spin->property("maximum").toDouble(); }

TEST_P(ControlLimits, OfferOnlyWhatTheScreenAccepts)
{
    const LimitCase& c = GetParam();
    open(c.screen, c.answers);
    ASSERT_TRUE(settles([&] { return shows(c.form); }));
    screens::ExplorePanel* panel = openPanel(window(c.form));
    ASSERT_NE(panel, nullptr);
    auto* spin = panel->findChild<QAbstractSpinBox*>(QString::fromLatin1(c.control));
    ASSERT_NE(spin, nullptr);
    EXPECT_DOUBLE_EQ(minimumOf(spin), c.minimum);
    EXPECT_DOUBLE_EQ(maximumOf(spin), c.maximum);
    // End and Home on the slider reach the ends; typing past an end is refused.
    auto* slider = panel->findChild<QSlider*>(QString::fromLatin1(c.control) + "Slider");
    for (const auto& [key, end, past] : {std::tuple{Qt::Key_End, c.maximum, c.maximum + 1},
                                         std::tuple{Qt::Key_Home, c.minimum, c.minimum - 1}}) {
        QTest::keyClick(slider, key);
        EXPECT_DOUBLE_EQ(spin->property("value").toDouble(), end);
        QTest::keyClick(spin, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(spin, QString::number(past));
        QTest::keyClick(spin, Qt::Key_Return);
        const double value = spin->property("value").toDouble();
        EXPECT_TRUE(value >= c.minimum && value <= c.maximum) << value;
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Controls, ControlLimits,
    ::testing::Values(
        // 32767: the largest count the shared 16-bit count holds.
        LimitCase{"SquareStopsAtZero", "square", "Form3", {{kOdd, "3"}}, "harmonics", 1, 32767},
        LimitCase{"SawtoothDrawsZero", "sawtooth", "Form5", {{kCount, "3"}}, "harmonics", 0,
                  32767},
        LimitCase{"HalfWaveStopsAtZero", "rectified", "Form6", {{kRectify, "H"}, {kCount, "3"}},
                  "harmonics", 1, 32767},
        LimitCase{"DutyCycle", "pulse", "Form13", {{kCount, "3"}, {kDuty, "0.5"}}, "duty", 0, 1},
        // 500: the slots of the coefficient table.
        LimitCase{"Taps", "lowpass", "Form9",
                  {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}}, "taps", 1, 500},
        // Half of 1000 Hz is 500 Hz, which the cutoff must stay below.
        LimitCase{"CutoffBelowHalfFs", "lowpass", "Form9",
                  {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}}, "cutoff",
                  0.01, 499.99},
        // Half of 777.77 Hz is 388.885 Hz: 388.88 is the last step below it.
        LimitCase{"CentreBelowHalfOddFs", "bandpass", "Form10",
                  {{kSampling, "777.77"}, {kPass, "100"}, {kCentre, "250"}, {kTaps, "21"},
                   {kPhase, "N"}}, "centre", 0.01, 388.88}),
    tables::rowName);
// clang-format on

using ExploreLimits = ExploreUser;

// Lowering the sampling frequency below twice the cutoff brings the cutoff down with it.
TEST_F(ExploreLimits, CutoffFollowsTheSamplingFrequencyDown)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "400"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    screens::ExplorePanel* panel = openPanel(window("Form9"));
    give(panel, {"fs", "600"});
    waitUntil([&] { return panel->redraws() == 1; });
    EXPECT_EQ(panel->redraws(), 1);
    EXPECT_EQ(window("Form9")->findChild<QLabel*>("Label8")->text(),
              QStringLiteral("The cutoff frequency is 299.99 Hz"));
}

// The rectangular screen designs again on the same window: while it asks, the panel waits; then
// it takes the new drawing's values.
TEST_F(ExploreLimits, WaitsWhileTheScreenAsksAgain)
{
    open("lowpass-rect", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}});
    ASSERT_TRUE(settles([&] { return shows("Form8"); }));
    screens::ExplorePanel* panel = openPanel(window("Form8"));
    auto* taps = panel->findChild<QAbstractSpinBox*>(QStringLiteral("taps"));
    ASSERT_TRUE(taps->isEnabled());
    // The questions wait inside the click: what the panel shows then is read from the event loop.
    bool enabledWhileAsking = true;
    QString statusWhileAsking;
    actions().when([] { return true; }, [&] { clickButton(window("Form8"), "Command1"); });
    actions().when([&] { return runtime().openPrompt() != nullptr; },
                   [&] {
                       enabledWhileAsking = taps->isEnabled();
                       statusWhileAsking =
                           panel->findChild<QLabel*>(QStringLiteral("exploreStatus"))->text();
                   });
    for (const auto& [title, text] : Answers{{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "41"}})
        answer(title, text);
    ASSERT_TRUE(settles([&] { return shows("Form8"); }));
    EXPECT_FALSE(enabledWhileAsking);
    EXPECT_TRUE(statusWhileAsking.startsWith(QStringLiteral("Nothing is drawn yet")));
    EXPECT_TRUE(taps->isEnabled());
    EXPECT_EQ(taps->text(), QStringLiteral("41"));
}

// A click on the rectangular screen's own check box shows in the panel, so its next drawing
// keeps it.
TEST_F(ExploreLimits, FollowsTheScreensOwnCheckBoxes)
{
    open("lowpass-rect", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}});
    ASSERT_TRUE(settles([&] { return shows("Form8"); }));
    screens::ExplorePanel* panel = openPanel(window("Form8"));
    auto* plotTaps = panel->findChild<QCheckBox*>(QStringLiteral("plot-taps"));
    ASSERT_FALSE(plotTaps->isChecked());
    clickButton(window("Form8"), "Check1");
    EXPECT_TRUE(plotTaps->isChecked());
    give(panel, {"taps", "21"});
    waitUntil([&] { return panel->redraws() == 1; });
    EXPECT_TRUE(window("Form8")->findChild<QCheckBox*>(QStringLiteral("Check1"))->isChecked());
}

// Twenty key presses before the event loop runs: one redraw, of the last value.
TEST_F(ExploreLimits, ChangesFasterThanRedrawsGiveOneRedrawOfTheLatest)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    screens::ExplorePanel* panel = openPanel(form);
    auto* taps = panel->findChild<QWidget*>(QStringLiteral("taps"));
    for (int i = 0; i < 20; ++i)
        QTest::keyClick(taps, Qt::Key_Up);
    EXPECT_EQ(panel->redraws(), 0);
    waitUntil([&] { return panel->redraws() > 0; });
    QCoreApplication::processEvents(); // room for any further redraw, which must not come
    EXPECT_EQ(panel->redraws(), 1);
    EXPECT_EQ(form->findChild<QListWidget*>("List1")->count(), 35);
    EXPECT_EQ(form->findChild<QLabel*>("Label9")->text(),
              QStringLiteral("The number of taps is 35"));
}

// A change is shown on the screen as soon as it is drawn, before the event loop goes on to the
// panel's own repaints.
TEST_F(ExploreLimits, TheScreenShowsAChangeAsSoonAsItIsDrawn)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    screens::ExplorePanel* panel = openPanel(form);
    auto* list = form->findChild<QListWidget*>(QStringLiteral("List1"));
    PaintWatch watch([list] { return QString::number(list->count()); });
    form->centralWidget()->installEventFilter(&watch);
    QStringList shownWhenRedrawn;
    QObject::connect(panel, &screens::ExplorePanel::redrawn,
                     [&] { shownWhenRedrawn = watch.noted; });
    QTest::keyClick(panel->findChild<QWidget*>(QStringLiteral("taps")), Qt::Key_Up);
    waitUntil([&] { return panel->redraws() == 1; });
    EXPECT_TRUE(shownWhenRedrawn.contains(QStringLiteral("16")))
        << shownWhenRedrawn.join(' ').toStdString();
}

// The measurements box reads the drawing the panel made.
TEST_F(ExploreLimits, MeasurementsFollowTheLiveDrawing)
{
    open("sawtooth", {{kCount, "3"}});
    ASSERT_TRUE(settles([&] { return shows("Form5"); }));
    forms::Form* form = window("Form5");
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "showMeasurements");
    const QString before = note(form)->text();
    screens::ExplorePanel* panel = openPanel(form);
    give(panel, {"harmonics", "40"});
    waitUntil([&] { return note(form)->text() != before; });
    EXPECT_NE(note(form)->text(), before);
    EXPECT_EQ(panel->redraws(), 1);
}

// A trace held on the screen shows under the panel's next drawing, its figures beside the new.
TEST_F(ExploreLimits, HeldTraceShowsUnderTheLiveDrawing)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "hold");
    const auto layer = [form] { return forms::CanvasLayer::of(*form).state(); };
    EXPECT_FALSE(layer().contains(QStringLiteral("heldFigures")));
    screens::ExplorePanel* panel = openPanel(form);
    give(panel, {"taps", "61"});
    waitUntil([&] { return panel->redraws() == 1; });
    EXPECT_TRUE(layer().contains(QStringLiteral("heldFigures")));
    EXPECT_NE(layer().value(QStringLiteral("heldFigures")),
              layer().value(QStringLiteral("figures")));
}

// Ctrl+E opens the panel beside the screen and Escape, typed in a control, closes it; the canvas
// menu offers it too.
TEST_F(ExploreLimits, OpensWithCtrlEAndTheMenuAndClosesWithEscape)
{
    open("pulse", {{kCount, "13"}, {kDuty, "0.2"}});
    ASSERT_TRUE(settles([&] { return shows("Form13"); }));
    forms::Form* form = window("Form13");
    screens::ExplorePanel* panel = openPanel(form);
    ASSERT_TRUE(panel && panel->isVisible());
    QTest::keyClick(panel->findChild<QWidget*>(QStringLiteral("duty")), Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    EXPECT_TRUE(entries(canvasMenu(form)).contains(QStringLiteral("explore")));
    pick(canvasMenu(form), "explore");
    EXPECT_TRUE(panel->isVisible());
}

// The panel's Listen is the screen's: with no sound output (as these tests run) it says so.
TEST_F(ExploreLimits, ListensAsTheScreenDoes)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    screens::ExplorePanel* panel = openPanel(window("Form9"));
    auto* button = panel->findChild<QPushButton*>(QStringLiteral("exploreListen"));
    ASSERT_TRUE(button);
    QString told;
    actions().when([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                   [&] {
                       auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                       told = box->text();
                       box->accept();
                   });
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(settles());
    EXPECT_TRUE(told.startsWith("There is no sound output")) << told.toStdString();
}

// A read-out on show follows the drawing the panel made, with the pointer still.
TEST_F(ExploreLimits, ReadOutFollowsTheLiveDrawing)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    screens::ExplorePanel* panel = openPanel(form);
    movePointer(form, 100, 200);
    waitUntil([&] { return readout(form)->isVisible(); });
    const QString before = readout(form)->text();
    give(panel, {"taps", "101"});
    waitUntil([&] { return panel->redraws() == 1; });
    EXPECT_TRUE(readout(form)->isVisible());
    EXPECT_NE(readout(form)->text(), before);
}

} // namespace
