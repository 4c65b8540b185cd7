// The program driven as a user drives it: key and mouse events on the real widgets, menus through
// their own key and mouse events, pictures through the windows' own painting.

#include "forms/form.h"
#include "forms/prompt_box.h"
#include "forms/runtime.h"
#include "program/session.h"
#include "support/test_tables.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <deque>
#include <functional>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using forms::Form;
using forms::Runtime;

// Acts as a user would, one action at a time, each once the program is ready for it. The actions
// run from the event loop, so they also reach question boxes and modal windows while they wait.
class User : public QObject {
public:
    explicit User(program::Session& session) : m_session(session)
    {
        QTimer::singleShot(5, this, &User::tick);
    }

    void when(std::function<bool()> ready, std::function<void()> act)
    {
        m_actions.push_back({std::move(ready), std::move(act)});
    }
    bool done() const { return m_actions.empty(); }

    Runtime& runtime() { return m_session.runtime(); }
    Form* window(const char* name) { return runtime().find(QString::fromLatin1(name)); }
    bool shows(const char* name)
    {
        Form* form = window(name);
        return form && form->isVisible() && !runtime().openPrompt();
    }
    forms::PromptBox* question(const char* title)
    {
        forms::PromptBox* box = runtime().openPrompt();
        return box && box->isVisible() && box->windowTitle() == QLatin1String(title) ? box
                                                                                     : nullptr;
    }

    // Types over the offered answer and presses Return in the field.
    void answer(const char* title, const char* text)
    {
        when([this, title] { return question(title) != nullptr; },
             [this, title, text] {
                 auto* field = question(title)->findChild<QLineEdit*>(QStringLiteral("answer"));
                 QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
                 QTest::keyClicks(field, QString::fromLatin1(text));
                 QTest::keyClick(field, Qt::Key_Return);
             });
    }
    void key(const char* form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        when([this, form] { return shows(form); },
             [this, form, key, modifiers] {
                 QWidget* target = QApplication::focusWidget()
                         && QApplication::focusWidget()->window() == window(form)
                     ? QApplication::focusWidget()
                     : window(form);
                 QTest::keyClick(target, key, modifiers);
             });
    }
    void keyOnButton(const char* form, const char* button, Qt::Key key)
    {
        when([this, form] { return shows(form); },
             [this, form, button, key] {
                 QTest::keyClick(window(form)->findChild<QPushButton*>(QString::fromLatin1(button)),
                                 key);
             });
    }
    void clickButton(const char* form, const char* button)
    {
        when([this, form] { return shows(form); },
             [this, form, button] {
                 QTest::mouseClick(
                     window(form)->findChild<QPushButton*>(QString::fromLatin1(button)),
                     Qt::LeftButton);
             });
    }
    // Opens a menu of the menu bar with the mouse and picks an item of it with the mouse.
    void clickMenu(const char* form, const char* menuName, const char* itemName)
    {
        when([this, form] { return shows(form); },
             [this, form, menuName] {
                 QMenuBar* bar = window(form)->menuBar();
                 auto* menu = bar->findChild<QMenu*>(QString::fromLatin1(menuName));
                 QTest::mouseClick(bar, Qt::LeftButton, {},
                                   bar->actionGeometry(menu->menuAction()).center());
             });
        when([this, form, menuName] { return openMenu(form, menuName) != nullptr; },
             [this, form, menuName, itemName] {
                 QMenu* menu = openMenu(form, menuName);
                 for (QAction* item : menu->actions())
                     if (item->objectName() == QLatin1String(itemName))
                         QTest::mouseClick(menu, Qt::LeftButton, {},
                                           menu->actionGeometry(item).center());
             });
    }
    QMenu* openMenu(const char* form, const char* menuName)
    {
        Form* owner = window(form);
        auto* menu =
            owner ? owner->menuBar()->findChild<QMenu*>(QString::fromLatin1(menuName)) : nullptr;
        return menu && menu->isVisible() ? menu : nullptr;
    }
    // Keys to an open menu of the menu bar.
    void keyInMenu(const char* form, const char* menuName, Qt::Key key)
    {
        when([this, form, menuName] { return openMenu(form, menuName) != nullptr; },
             [this, form, menuName, key] { QTest::keyClick(openMenu(form, menuName), key); });
    }

private:
    void tick()
    {
        // Qt does not fire a timer again while its handler runs, so each look is a timer of its
        // own.
        QTimer::singleShot(5, this, &User::tick);
        if (m_actions.empty() || !m_actions.front().ready())
            return;
        auto action = std::move(m_actions.front());
        m_actions.pop_front();
        action.act(); // may open a question box or a modal window; the next action runs in its wait
    }

    struct Action {
        std::function<bool()> ready;
        std::function<void()> act;
    };
    program::Session& m_session;
    std::deque<Action> m_actions;
};

struct Outcome {
    bool ended = false;
    int exitCode = -1;
};

// Starts the program on a screen, lets the user act, and waits until the program ends or the
// user has done everything and the check holds.
class RealInput : public ::testing::Test {
protected:
    void start(const char* screen)
    {
        m_session = std::make_unique<program::Session>(
            forms::parseScript({QStringLiteral("--screen"), QString::fromLatin1(screen)}));
        m_user = std::make_unique<User>(*m_session);
        QObject::connect(m_session.get(), &program::Session::finished, [this](int code) {
            m_outcome.ended = true;
            m_outcome.exitCode = code;
        });
        m_session->start();
    }
    User& user() { return *m_user; }
    bool settles(const std::function<bool()>& check = [] { return true; })
    {
        return QTest::qWaitFor([&] { return m_outcome.ended || (m_user->done() && check()); },
                               10000);
    }
    void TearDown() override { stop(); }
    // Ends the program if it still runs, so that the next start begins afresh.
    void stop()
    {
        if (!m_session)
            return;
        if (!m_outcome.ended) {
            m_session->runtime().shutdown();
            EXPECT_TRUE(QTest::qWaitFor([&] { return m_outcome.ended; }, 5000));
        }
        m_user.reset();
        m_session.reset();
        m_outcome = {};
    }

    Outcome m_outcome;
    std::unique_ptr<program::Session> m_session;
    std::unique_ptr<User> m_user;
};

// Pixels where what a window shows differs from its drawing, outside its controls.
int hiddenDrawing(Form* form)
{
    const QImage shown = form->shownPicture();
    const QImage drawing = form->canvasImage().convertToFormat(QImage::Format_RGB32);
    if (shown.size() != drawing.size())
        return shown.width() * shown.height() + 1;
    QImage covered(shown.size(), QImage::Format_Mono);
    covered.fill(0);
    for (QWidget* control :
         form->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!control->isVisible())
            continue;
        const QRect place = control->geometry().intersected(shown.rect());
        for (int y = place.top(); y <= place.bottom(); ++y)
            for (int x = place.left(); x <= place.right(); ++x)
                covered.setPixel(x, y, 1);
    }
    int differing = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            differing += !covered.pixelIndex(x, y) && shown.pixel(x, y) != drawing.pixel(x, y);
    return differing;
}

TEST_F(RealInput, ReturnOnFocusedButtonsLeadsFromStartToADrawnScreen)
{
    start("start");
    user().keyOnButton("Form1", "Command1", Qt::Key_Return); // "Continue"
    user().keyOnButton("Form2", "Command3", Qt::Key_Enter);  // "Triangle Generator"
    user().answer("Number of Odd Harmonics", "3");
    ASSERT_TRUE(settles([&] { return user().shows("Form4"); }));
    EXPECT_FALSE(m_outcome.ended);
    EXPECT_EQ(user().window("Form1"), nullptr);
    EXPECT_EQ(user().window("Form2"), nullptr);
    EXPECT_EQ(hiddenDrawing(user().window("Form4")), 0);
}

// After the last answer nothing refreshes the window explicitly: what is drawn must still show.
struct DrawnScreen {
    const char* name;
    const char* screen;
    std::vector<std::pair<const char*, const char*>> answers;
    const char* form;
};

class EveryDrawnScreen : public RealInput, public ::testing::WithParamInterface<DrawnScreen> { };

TEST_P(EveryDrawnScreen, ShowsItsWholeDrawing)
{
    start(GetParam().screen);
    for (const auto& [title, text] : GetParam().answers)
        user().answer(title, text);
    ASSERT_TRUE(settles([&] { return user().shows(GetParam().form); }));
    EXPECT_EQ(hiddenDrawing(user().window(GetParam().form)), 0);
}

const char* const kSampling = "Sampling frequency in Hz";
const char* const kCutoff = "Cutoff frequency in Hz [less than half the sampling freq.]";
const char* const kTaps = "The number of taps [500 max.]";
const char* const kPhase = "Plot the filter's phase response? [Y]es or [N]o";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, EveryDrawnScreen,
    ::testing::Values(
        DrawnScreen{"SquareOneHarmonic", "square", {{"Number of Odd Harmonics", "1"}}, "Form3"},
        DrawnScreen{"SquareTenHarmonics", "square", {{"Number of Odd Harmonics", "10"}}, "Form3"},
        DrawnScreen{"Sawtooth", "sawtooth", {{"Number of Harmonics", "3"}}, "Form5"},
        DrawnScreen{"Pulse", "pulse", {{"Number of Harmonics", "13"},
                                       {"Duty Cycle [0 to 1]", "0.2"}}, "Form13"},
        DrawnScreen{"RectangularLowpass", "lowpass-rect",
                    {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}},
                    "Form8"},
        DrawnScreen{"BlackmanLowpass", "lowpass",
                    {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}}, "Form9"},
        DrawnScreen{"BlackmanLowpassWithPhase", "lowpass",
                    {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}},
                    "Form9"}),
    tables::rowName);
// clang-format on

TEST_F(RealInput, FileExitWithTheMouseEndsTheProgram)
{
    start("menu");
    user().clickMenu("Form2", "MenuFile", "MenuFileExit");
    ASSERT_TRUE(settles([&] { return m_outcome.ended; }));
    EXPECT_EQ(m_outcome.exitCode, 0);
}

TEST_F(RealInput, FileExitWithAltFThenXEndsTheProgram)
{
    start("menu");
    user().key("Form2", Qt::Key_F, Qt::AltModifier);
    user().keyInMenu("Form2", "MenuFile", Qt::Key_X);
    ASSERT_TRUE(settles([&] { return m_outcome.ended; }));
    EXPECT_EQ(m_outcome.exitCode, 0);
}

TEST_F(RealInput, AboutBoxAnswersReturnAndEscape)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        start("menu");
        user().clickMenu("Form2", "menuhelp", "menuAbout");
        user().key("frmAbout1", key);
        ASSERT_TRUE(settles([&] { return !user().window("frmAbout1") && user().shows("Form2"); }))
            << key;
        EXPECT_FALSE(m_outcome.ended);
        stop();
    }
}

TEST_F(RealInput, SpectrumCloseAnswersReturnAndEscape)
{
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Escape}) {
        start("triangle");
        user().answer("Number of Odd Harmonics", "3");
        user().clickButton("Form4", "Command2"); // "View Spectrum"
        user().when([&] { return user().shows("Form7"); },
                    [&, key] { QTest::keyClick(user().window("Form7"), key); });
        ASSERT_TRUE(settles([&] { return !user().window("Form7") && user().shows("Form4"); }))
            << key;
        stop();
    }
}

// Every way the program can end, from wherever it is, leaves no window and a clean exit.
TEST_F(RealInput, ClosingTheLastWindowEndsTheProgram)
{
    start("square");
    user().answer("Number of Odd Harmonics", "3");
    user().when([&] { return user().shows("Form3"); }, [&] { user().window("Form3")->close(); });
    user().when([&] { return user().shows("Form2"); }, [&] { user().window("Form2")->close(); });
    ASSERT_TRUE(settles([&] { return m_outcome.ended; }));
    EXPECT_EQ(m_outcome.exitCode, 0);
}

TEST_F(RealInput, NegativeAnswerTypedIntoTheBoxEndsTheProgram)
{
    start("sawtooth");
    user().answer("Number of Harmonics", "-1");
    ASSERT_TRUE(settles([&] { return m_outcome.ended; }));
    EXPECT_EQ(m_outcome.exitCode, 0);
}

TEST_F(RealInput, CloseBoxOfTheSpectrumReturnsToItsScreen)
{
    start("square");
    user().answer("Number of Odd Harmonics", "3");
    user().clickButton("Form3", "Command2");
    user().when([&] { return user().shows("Form7"); }, [&] { user().window("Form7")->close(); });
    ASSERT_TRUE(settles([&] { return !user().window("Form7") && user().shows("Form3"); }));
    EXPECT_FALSE(m_outcome.ended);
    EXPECT_EQ(hiddenDrawing(user().window("Form3")), 0);
}

TEST_F(RealInput, EscapeInTheQuestionBoxIsCancel)
{
    start("square");
    user().when(
        [&] { return user().question("Number of Odd Harmonics") != nullptr; },
        [&] { QTest::keyClick(user().question("Number of Odd Harmonics"), Qt::Key_Escape); });
    ASSERT_TRUE(settles([&] { return user().shows("Form3"); }));
    // An empty answer leaves the graticule and a blank caption.
    EXPECT_EQ(user()
                  .window("Form3")
                  ->findChild<QWidget*>(QStringLiteral("Label1"))
                  ->property("text")
                  .toString(),
              QStringLiteral(" "));
}

// Four-decimal rise times ("Risetime  =  .5833 Divisions") and long counts stay whole on one line:
// the caption reads in full, and its text, measured in the label's font, fits inside the label,
// which lies inside the window.
TEST_F(RealInput, RiseTimeAndCountCaptionsShowWhole)
{
    static const QRegularExpression riseTime(QStringLiteral("^Risetime  =  \\S+ Divisions$"));
    for (const char* count : {"2", "5", "10", "32767"}) {
        start("square");
        user().answer("Number of Odd Harmonics", count);
        ASSERT_TRUE(settles([&] { return user().shows("Form3"); })) << count;
        Form* form = user().window("Form3");
        const auto* countLabel = form->findChild<QLabel*>(QStringLiteral("Label1"));
        const auto* riseLabel = form->findChild<QLabel*>(QStringLiteral("Label2"));
        EXPECT_EQ(countLabel->text(), QStringLiteral("Number of Odd Harmonics  =   ") + count);
        EXPECT_TRUE(riseTime.match(riseLabel->text()).hasMatch())
            << riseLabel->text().toStdString();
        for (const QLabel* label : {countLabel, riseLabel}) {
            SCOPED_TRACE(testing::Message() << count << " " << label->objectName().toStdString());
            const QFontMetrics metrics(label->font());
            EXPECT_FALSE(label->wordWrap());
            EXPECT_LE(metrics.horizontalAdvance(label->text()), label->contentsRect().width());
            EXPECT_LE(metrics.height(), label->contentsRect().height());
            EXPECT_TRUE(form->centralWidget()->rect().contains(label->geometry()));
        }
        stop();
    }
}

} // namespace
