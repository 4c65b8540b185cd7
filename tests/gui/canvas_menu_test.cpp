// The context menu of every drawing, opened as a user opens it: the right mouse button on the
// canvas, the Menu key, Shift+F10. It lists what the screen has, and its shortcuts work.

#include "canvas_user.h"
#include "support/test_tables.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QImage>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using canvastest::Answers;
using namespace canvastest::questions;
using canvastest::CanvasUser;

const QStringList kPicture{"copyPicture", "savePicture", "copySlide", "saveSlide"};
const QStringList kFilter = kPicture
    + QStringList{"copyTaps",     "saveTaps",  "saveResponse",     "listenThrough", "listenAlone",
                  "saveSound",    "saveNoise", "showMeasurements", "showAxes",      "hold",
                  "presentation", "explore",   "analyse"};
const QStringList kTone{"saveCurve", "listen", "fundamental", "saveSound"};
const QStringList kJumpingWave = kPicture + kTone
    + QStringList{"showMeasurements", "showAxes", "hold", "presentation", "explore"};
const QStringList kSmoothWave =
    kPicture + kTone + QStringList{"showAxes", "hold", "presentation", "explore"};

struct MenuCase {
    const char* name;
    const char* screen;
    Answers answers;
    const char* form;
    bool spectrum; // then opened over the screen with "View Spectrum"
    QStringList expected;
};

class EveryCanvasMenu : public CanvasUser, public ::testing::WithParamInterface<MenuCase> { };

// The spectrum is modal: everything on it happens while the program waits in it, so the menu is
// read there and the spectrum closed before the run settles.
TEST_P(EveryCanvasMenu, ListsWhatTheScreenHas)
{
    const MenuCase& c = GetParam();
    open(c.screen, c.answers);
    const char* shown = c.spectrum ? "Form7" : c.form;
    if (c.spectrum)
        actions().when([&] { return shows(c.form); },
                       [&] { clickButton(window(c.form), "Command2"); });
    QStringList seen;
    actions().when([&] { return shows(shown); }, [&] { rightClick(window(shown), 240, 200); });
    actions().when([&] { return canvasMenu(window(shown)) != nullptr; },
                   [&] {
                       seen = entries(canvasMenu(window(shown)));
                       canvasMenu(window(shown))->hide();
                       if (c.spectrum)
                           clickButton(window(shown), "Command1");
                   });
    ASSERT_TRUE(settles([&] { return shows(c.form) && !window("Form7"); }));
    EXPECT_EQ(seen, c.expected);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, EveryCanvasMenu,
    ::testing::Values(
        MenuCase{"Square", "square", {{kOdd, "3"}}, "Form3", false, kJumpingWave},
        MenuCase{"Triangle", "triangle", {{kOdd, "3"}}, "Form4", false, kSmoothWave},
        MenuCase{"Sawtooth", "sawtooth", {{kCount, "3"}}, "Form5", false, kJumpingWave},
        MenuCase{"Rectified", "rectified",
                 {{"Choose one: [F]ull-wave or [H]alf-wave", "F"}, {kCount, "3"}}, "Form6", false,
                 kSmoothWave},
        MenuCase{"Pulse", "pulse", {{kCount, "13"}, {"Duty Cycle [0 to 1]", "0.2"}}, "Form13",
                 false, kJumpingWave},
        MenuCase{"Spectrum", "square", {{kOdd, "3"}}, "Form3", true,
                 kPicture + QStringList{"saveSpectrum", "showAxes", "hold", "presentation"}},
        // Nothing drawn yet: the picture, the box that would measure a drawing, and the panel
        // that waits for one.
        MenuCase{"SquareCancelled", "square", {{kOdd, ""}}, "Form3", false,
                 kPicture + QStringList{"showMeasurements", "showAxes", "presentation", "explore"}},
        MenuCase{"RectangularLowpass", "lowpass-rect",
                 {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}}, "Form8", false, kFilter},
        MenuCase{"BlackmanLowpass", "lowpass",
                 {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}}, "Form9",
                 false, kFilter},
        MenuCase{"Bandpass", "bandpass",
                 {{kSampling, "1000"}, {kPass, "100"}, {kCentre, "250"}, {kTaps, "21"},
                  {kPhase, "N"}},
                 "Form10", false, kFilter},
        MenuCase{"Highpass", "highpass",
                 {{kSampling, "1000"}, {kCutoff, "350"}, {kTaps, "15"}, {kPhase, "N"}}, "Form11",
                 false, kFilter},
        MenuCase{"Bandstop", "bandstop",
                 {{kSampling, "1000"}, {kStop, "100"}, {kCentre, "250"}, {kTaps, "21"},
                  {kPhase, "N"}},
                 "Form12", false, kFilter}),
    tables::rowName);
// clang-format on

class CanvasMenu : public CanvasUser { };

// The tests run with no sound server to reach (see tests/CMakeLists.txt): Listen says so in one
// line and the screen goes on.
TEST_F(CanvasMenu, ListenWithoutASoundOutputSaysSoAndGoesOn)
{
    open("square", {{kOdd, "3"}});
    QString told;
    actions().when([&] { return shows("Form3"); },
                   [&] { key(window("Form3"), Qt::Key_L, Qt::ControlModifier); });
    actions().when([] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); },
                   [&] {
                       auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
                       told = box->text();
                       box->accept();
                   });
    ASSERT_TRUE(settles([&] { return shows("Form3") && !QApplication::activeModalWidget(); }));
    EXPECT_TRUE(told.startsWith("There is no sound output")) << told.toStdString();
    EXPECT_FALSE(told.contains('\n'));
}

// Notes when a context-menu event has reached a widget of the window, so that a test can tell
// a window that offers no menu from one that has not been asked yet.
class ContextMenuWatch : public QObject {
public:
    explicit ContextMenuWatch(QWidget* window) : m_window(window)
    {
        QApplication::instance()->installEventFilter(this);
    }
    bool seen() const { return m_seen; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        auto* widget = qobject_cast<QWidget*>(watched);
        m_seen |= event->type() == QEvent::ContextMenu && widget && widget->window() == m_window;
        return false;
    }

private:
    QWidget* m_window;
    bool m_seen = false;
};

TEST_F(CanvasMenu, OpensFromTheMenuKeyAndShiftF10)
{
    const Qt::KeyboardModifiers shift(Qt::ShiftModifier);
    for (const auto& [pressed, modifiers] :
         {std::pair{Qt::Key_Menu, Qt::KeyboardModifiers()}, std::pair{Qt::Key_F10, shift}}) {
        open("triangle", {{kOdd, "3"}});
        ASSERT_TRUE(settles([&] { return shows("Form4"); }));
        key(window("Form4"), pressed, modifiers);
        ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(window("Form4")) != nullptr; }))
            << pressed;
        EXPECT_EQ(entries(canvasMenu(window("Form4"))), kSmoothWave);
        stop();
    }
}

TEST_F(CanvasMenu, ScreensWithoutADrawingOfferNoMenu)
{
    open("menu", {});
    ASSERT_TRUE(settles([&] { return shows("Form2"); }));
    ContextMenuWatch watch(window("Form2"));
    rightClick(window("Form2"), 100, 100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return watch.seen(); })) << "the right click went nowhere";
    EXPECT_EQ(canvasMenu(window("Form2")), nullptr);
}

TEST_F(CanvasMenu, CtrlCPutsTheCanvasImageOnTheClipboard)
{
    QApplication::clipboard()->clear();
    open("square", {{kOdd, "3"}});
    ASSERT_TRUE(settles([&] { return shows("Form3"); }));
    key(window("Form3"), Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasImage());
    const QImage copied =
        qvariant_cast<QImage>(data->imageData()).convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(copied, window("Form3")->canvasImage().convertToFormat(QImage::Format_RGB32));
    EXPECT_TRUE(data->data(QStringLiteral("image/svg+xml")).contains("<svg"));
}

// The axes lie over the window, never in the drawing: off again, the window is as it was.
TEST_F(CanvasMenu, CtrlGShowsTheAxesOverTheDrawingAndHidesThemAgain)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    QAction* axes = form->findChild<QAction*>("showAxes");
    ASSERT_NE(axes, nullptr);
    key(form, Qt::Key_Shift); // the window active, as for the keys below
    const QImage canvas = form->canvasImage().copy();
    const QImage plain = form->shownPicture();
    key(form, Qt::Key_G, Qt::ControlModifier);
    EXPECT_TRUE(axes->isChecked());
    EXPECT_NE(form->shownPicture(), plain);
    EXPECT_EQ(form->canvasImage(), canvas);
    key(form, Qt::Key_G, Qt::ControlModifier);
    EXPECT_FALSE(axes->isChecked());
    EXPECT_EQ(form->shownPicture(), plain);
    // The menu offers it, with its shortcut.
    rightClick(form, 620, 470);
    ASSERT_NE(canvasMenu(form), nullptr);
    EXPECT_TRUE(canvasMenu(form)->actions().contains(axes));
    EXPECT_EQ(axes->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_G));
    pick(canvasMenu(form), "showAxes");
    EXPECT_TRUE(axes->isChecked());
}

// A slide twice the window across, 16:9, and its SVG with the plot's values as text.
TEST_F(CanvasMenu, CopySlidePutsTheSlideOnTheClipboard)
{
    QApplication::clipboard()->clear();
    open("square", {{kOdd, "3"}});
    ASSERT_TRUE(settles([&] { return shows("Form3"); }));
    forms::Form* form = window("Form3");
    rightClick(form, 240, 200);
    ASSERT_NE(canvasMenu(form), nullptr);
    pick(canvasMenu(form), "copySlide");
    const QMimeData* data = QApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    const QImage slide = qvariant_cast<QImage>(data->imageData());
    EXPECT_EQ(slide.size(), QSize(2 * 792, 891));
    const QByteArray svg = data->data(QStringLiteral("image/svg+xml"));
    EXPECT_TRUE(svg.contains(">periods<")) << svg.left(200).toStdString();
    EXPECT_TRUE(svg.contains("Number of Odd Harmonics = 3"));
}

TEST_F(CanvasMenu, CopyTapsPutsOneTapALineOnTheClipboard)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    rightClick(window("Form9"), 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(window("Form9")) != nullptr; }));
    pick(canvasMenu(window("Form9")), "copyTaps");
    const QStringList lines =
        QApplication::clipboard()->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 15);
}

} // namespace
