// Held traces, the measurements box and the save dialog, worked from the context menu with the
// mouse: whatever they show lies over the canvas, never in its image.

#include "canvas_user.h"
#include "gui_support.h"
#include "support/test_tables.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QRegion>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>

#include <unistd.h>

#include <algorithm>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using canvastest::Answers;
using canvastest::CanvasUser;

// The first held trace's colour, whatever it was drawn in.
const QColor kFirstHeld(0x00, 0x72, 0xB2);

// Pixels of the colour where the window shows something other than its drawing, outside its
// controls: what lies over the canvas.
int overTheCanvas(forms::Form* form, const QColor& colour)
{
    const QImage shown = form->shownPicture();
    const QImage drawing = form->canvasImage().convertToFormat(QImage::Format_RGB32);
    QRegion controls;
    const auto children = form->centralWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    for (QWidget* control : children)
        if (control->isVisible())
            controls += control->geometry();
    int count = 0;
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            count += !controls.contains(QPoint(x, y)) && shown.pixel(x, y) != drawing.pixel(x, y)
                && QColor(shown.pixel(x, y)) == colour;
    return count;
}

struct HoldCase {
    const char* name;
    const char* screen;
    Answers first;
    const char* again; // the button that draws anew
    Answers second;
    const char* form;
    QColor muted;      // the held trace's colour
    QStringList plain; // the same second drawing without a hold, as a scripted run
};

class HeldTrace : public CanvasUser, public ::testing::WithParamInterface<HoldCase> {
protected:
    void pickFromMenu(const char* entry)
    {
        const char* form = GetParam().form;
        actions().when([this, form] { return shows(form); },
                       [this, form] { rightClick(window(form), 240, 200); });
        actions().when([this, form] { return canvasMenu(window(form)) != nullptr; },
                       [this, form, entry] { pick(canvasMenu(window(form)), entry); });
    }
};

const char* const kSampling = "Sampling frequency in Hz";
const char* const kCutoff = "Cutoff frequency in Hz [less than half the sampling freq.]";
const char* const kTaps = "The number of taps [500 max.]";

TEST_P(HeldTrace, ShowsMutedUnderTheNextDrawingButNeverInItsImage)
{
    const HoldCase& c = GetParam();
    // Run first: a session starts from fresh shared values, held traces included.
    const QImage plain = guitest::run(c.plain).snapshot.canvas(QString::fromLatin1(c.form));
    open(c.screen, c.first);
    pickFromMenu("hold");
    actions().when([&] { return shows(c.form); }, [&] { clickButton(window(c.form), c.again); });
    for (const auto& [title, text] : c.second)
        answer(title, text);
    ASSERT_TRUE(settles([&] { return shows(c.form); }));
    forms::Form* form = window(c.form);
    // The canvas image is what the same drawing gives without a hold; the window shows more.
    EXPECT_EQ(form->canvasImage(), plain);
    waitUntil([&] { return overTheCanvas(form, c.muted) > 100; });
    EXPECT_GT(overTheCanvas(form, c.muted), 100);

    pickFromMenu("clearHeld");
    ASSERT_TRUE(settles());
    waitUntil([&] { return overTheCanvas(form, c.muted) == 0; });
    EXPECT_EQ(overTheCanvas(form, c.muted), 0);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, HeldTrace,
    ::testing::Values(
        // "Do Another" opens the screen anew.
        HoldCase{"SquareDoAnother", "square", {{"Number of Odd Harmonics", "3"}}, "Command3",
                 {{"Number of Odd Harmonics", "10"}}, "Form3", kFirstHeld,
                 {"--screen", "square", "--answer", "10"}},
        // The rectangular lowpass designs again on the same window.
        HoldCase{"RectangularLowpassRedesign", "lowpass-rect",
                 {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}}, "Command1",
                 {{kSampling, "1000"}, {kCutoff, "250"}, {kTaps, "31"}}, "Form8", kFirstHeld,
                 {"--screen", "lowpass-rect", "--answer", "1000", "--answer", "250", "--answer",
                  "31"}}),
    tables::rowName);
// clang-format on

class MeasurementsBox : public CanvasUser { };

TEST_F(MeasurementsBox, ShowsTheFiguresOverTheGraticuleWhenTicked)
{
    open("sawtooth", {{"Number of Harmonics", "7"}});
    ASSERT_TRUE(settles([&] { return shows("Form5"); }));
    forms::Form* form = window("Form5");
    EXPECT_FALSE(note(form)->isVisible());
    const QImage before = form->canvasImage();
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "showMeasurements");
    ASSERT_TRUE(note(form)->isVisible());
    EXPECT_TRUE(note(form)->text().contains(QStringLiteral("overshoot")));
    // Inside the graticule (x 8 to 478, y 8 to 384), whichever corner it takes.
    const QRect graticule(clientPoint(form, 8, 8), clientPoint(form, 478, 384));
    EXPECT_TRUE(graticule.contains(note(form)->geometry()))
        << note(form)->x() << "," << note(form)->y();
    EXPECT_EQ(form->canvasImage(), before);

    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "showMeasurements");
    EXPECT_FALSE(note(form)->isVisible());
}

// A filter's figures, one row for each edge or stop band, named by its side, the numbers to
// fixed decimals and "-" where the edge or band does not exist. The numbers are an independent
// computation's (dense direct sums with bisection), rounded.
struct FilterBoxCase {
    const char* name;
    const char* screen;
    Answers answers;
    const char* form;
    QStringList rows; // each row of the box as its cells joined by " | "
};

class FilterMeasurementsBox : public CanvasUser,
                              public ::testing::WithParamInterface<FilterBoxCase> { };

// The box's rows, its cells read as plain text.
QStringList boxRows(const QString& html)
{
    QTextDocument document;
    document.setHtml(html);
    QStringList rows;
    for (QTextFrame* frame : document.rootFrame()->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(frame);
        for (int row = 0; table && row < table->rows(); ++row) {
            QStringList cells;
            for (int column = 0; column < table->columns(); ++column) {
                const QTextTableCell cell = table->cellAt(row, column);
                QTextCursor cursor = cell.firstCursorPosition();
                cursor.setPosition(cell.lastCursorPosition().position(), QTextCursor::KeepAnchor);
                cells << cursor.selectedText();
            }
            rows << cells.join(QStringLiteral(" | "));
        }
    }
    return rows;
}

TEST_P(FilterMeasurementsBox, NamesTheSideOfEachFigure)
{
    const FilterBoxCase& c = GetParam();
    open(c.screen, c.answers);
    ASSERT_TRUE(settles([&] { return shows(c.form); }));
    forms::Form* form = window(c.form);
    const QImage before = form->canvasImage();
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "showMeasurements");
    ASSERT_TRUE(note(form)->isVisible());
    const QStringList rows = boxRows(note(form)->text());
    for (const QString& row : c.rows)
        EXPECT_TRUE(rows.contains(row)) << row.toStdString() << " not in\n"
                                        << rows.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(form->canvasImage(), before);
}

const char* const kBandpassWidth = "Pass bandwidth in Hz [less than half the sampling freq.]";
const char* const kStopWidth = "Stop bandwidth in Hz [less than half the sampling freq.]";
const char* const kCentre = "Center frequency in Hz";
const char* const kPhase = "Plot the filter's phase response? [Y]es or [N]o";

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, FilterMeasurementsBox,
    ::testing::Values(
        // The pass band ripples below 0.9 G long before the edge.
        FilterBoxCase{"RippleBeforeTheEdge", "lowpass-rect",
                      {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "31"}}, "Form8",
                      {"transition |  | 26.01 Hz"}},
        // Below the band |H| never reaches 0.1 G: no lower transition, no stop band below.
        FilterBoxCase{"BandpassStopBandAboveOnly", "bandpass",
                      {{kSampling, "48000"}, {kBandpassWidth, "9218.95"}, {kCentre, "5707.95"},
                       {kTaps, "16"}, {kPhase, "N"}},
                      "Form10",
                      {"transition | lower | -", "stop band peak | below | -",
                       " | above | -71.8 dB"}},
        // Three taps at 7.64324 Hz: the upper edge alone, to 1e-5 of the sampling rate.
        FilterBoxCase{"BandpassOneEdge", "bandpass",
                      {{kSampling, "7.64324"}, {kBandpassWidth, "1.28486"}, {kCentre, "0.29934"},
                       {kTaps, "3"}, {kPhase, "Y"}},
                      "Form10", {"-3 dB at | lower | -", " | upper | 1.68792 Hz"}},
        // One notch and no maximum in it.
        FilterBoxCase{"BandstopSingleNotch", "bandstop",
                      {{kSampling, "8000"}, {kStopWidth, "1746.91"}, {kCentre, "231.801"},
                       {kTaps, "64"}, {kPhase, "Y"}},
                      "Form12", {"stop band peak | between | -"}}),
    tables::rowName);
// clang-format on

// Each figure to fixed decimals: hertz to 2 places, decibels to 1, percent to 2. A sum that
// stays below the level says its peak: the sawtooth of 3 harmonics, (2 / pi) (sin t - sin 2t / 2
// + sin 3t / 3), peaks at 0.91857, 95.93 % of the way up its jump from -1 to 1.
struct BoxFormatCase {
    const char* name;
    const char* screen;
    Answers answers;
    const char* form;
    QStringList rows; // patterns each matching a whole row
};

class BoxFormats : public CanvasUser, public ::testing::WithParamInterface<BoxFormatCase> { };

TEST_P(BoxFormats, WritesEachFigureToItsDecimals)
{
    const BoxFormatCase& c = GetParam();
    open(c.screen, c.answers);
    ASSERT_TRUE(settles([&] { return shows(c.form); }));
    forms::Form* form = window(c.form);
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "showMeasurements");
    ASSERT_TRUE(note(form)->isVisible());
    const QStringList rows = boxRows(note(form)->text());
    for (const QString& pattern : c.rows) {
        const QRegularExpression row(QRegularExpression::anchoredPattern(pattern));
        EXPECT_TRUE(std::any_of(rows.begin(), rows.end(),
                                [&](const QString& one) { return row.match(one).hasMatch(); }))
            << pattern.toStdString() << " not in\n"
            << rows.join(QLatin1Char('\n')).toStdString();
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, BoxFormats,
    ::testing::Values(
        BoxFormatCase{"Lowpass", "lowpass",
                      {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}},
                      "Form9",
                      {R"(-3 dB at \|  \| \d+\.\d\d Hz)", R"(transition \|  \| \d+\.\d\d Hz)",
                       R"(stop band peak \| above \| -\d+\.\d dB)",
                       R"(pass band ripple \|  \| \d+\.\d dB)"}},
        BoxFormatCase{"BandstopTwoPassBands", "bandstop",
                      {{kSampling, "1000"}, {kStopWidth, "200"}, {kCentre, "250"}, {kTaps, "29"},
                       {kPhase, "N"}},
                      "Form12",
                      {R"(pass band ripple \| below \| \d+\.\d dB)", R"( \| above \| \d+\.\d dB)"}},
        BoxFormatCase{"SquareOvershoots", "square", {{"Number of Odd Harmonics", "3"}}, "Form3",
                      {R"(overshoot \|  \| \d+\.\d\d %)"}},
        BoxFormatCase{"SawtoothStaysBelow", "sawtooth", {{"Number of Harmonics", "3"}}, "Form5",
                      {R"(overshoot \|  \| none, peak 95\.93 % of the level)"}}),
    tables::rowName);
// clang-format on

// The box is dragged with the left button; a new window of the screen puts it where it was left.
TEST_F(MeasurementsBox, DraggedWhereTheUserWantsItAndKeptThere)
{
    open("square", {{"Number of Odd Harmonics", "3"}});
    ASSERT_TRUE(settles([&] { return shows("Form3"); }));
    forms::Form* form = window("Form3");
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "showMeasurements");
    ASSERT_TRUE(note(form)->isVisible());
    const QPoint before = note(form)->pos();
    const QPoint grip(5, 5);
    const QPoint target = clientPoint(form, 150, 250);
    // Pressed on the box, which has the mouse until released; each point given on the canvas.
    const auto onBox = [&](const QPoint& onCanvas) { return onCanvas - note(form)->pos(); };
    QTest::mousePress(note(form), Qt::LeftButton, {}, grip);
    QTest::mouseMove(note(form), onBox(before + grip + (target - before) / 2));
    QTest::mouseMove(note(form), onBox(target + grip));
    QTest::mouseRelease(note(form), Qt::LeftButton, {}, onBox(target + grip));
    EXPECT_EQ(note(form)->pos(), target);

    actions().when([&] { return shows("Form3"); },
                   [&] { clickButton(window("Form3"), "Command3"); });
    answer("Number of Odd Harmonics", "5");
    ASSERT_TRUE(settles([&] { return shows("Form3") && window("Form3") != form; }));
    EXPECT_TRUE(note(window("Form3"))->isVisible());
    EXPECT_EQ(note(window("Form3"))->pos(), target);
}

// On the rectangular screen the questions for the next design come up over the same window: the
// last design's figures go the moment they do.
TEST_F(MeasurementsBox, ClearedWhileTheNextDesignIsAskedFor)
{
    open("lowpass-rect", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}});
    ASSERT_TRUE(settles([&] { return shows("Form8"); }));
    forms::Form* form = window("Form8");
    rightClick(form, 240, 200);
    ASSERT_TRUE(QTest::qWaitFor([&] { return canvasMenu(form) != nullptr; }));
    pick(canvasMenu(form), "showMeasurements");
    ASSERT_TRUE(note(form)->isVisible());
    bool shownWhileAsked = true;
    actions().when([&] { return shows("Form8"); }, [&] { clickButton(form, "Command1"); });
    actions().when([&] { return runtime().openPrompt() != nullptr; },
                   [&] { shownWhileAsked = note(form)->isVisible(); });
    answer(kSampling, "1000");
    answer(kCutoff, "250");
    answer(kTaps, "31");
    ASSERT_TRUE(settles([&] { return shows("Form8"); }));
    EXPECT_FALSE(shownWhileAsked);
    EXPECT_TRUE(note(form)->isVisible());
}

QFileDialog* fileDialog() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }

QMessageBox* messageBox() { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); }

QAbstractButton* saveButton()
{
    auto* buttons = fileDialog() ? fileDialog()->findChild<QDialogButtonBox*>() : nullptr;
    for (QAbstractButton* button : buttons ? buttons->buttons() : QList<QAbstractButton*>{})
        if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole && button->isEnabled()
            && button->text() == QLatin1String("&Save"))
            return button;
    return nullptr;
}

// The process's working folder for one test.
class WorkingFolder {
public:
    explicit WorkingFolder(const QString& folder) : m_before(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~WorkingFolder() { QDir::setCurrent(m_before); }

private:
    QString m_before;
};

class SaveDialog : public CanvasUser {
protected:
    // Ctrl+S, then the dialog's Save button clicked for the name it offers: the screen's name in
    // the working folder. The run waits in the dialog meanwhile.
    void save(const char* form, QString* message)
    {
        actions().when([this, form] { return shows(form); },
                       [this, form] { key(window(form), Qt::Key_S, Qt::ControlModifier); });
        // The dialog looks the name up in the background; its button reads "Save" once it knows
        // the name is not a folder to open.
        actions().when([] { return saveButton() != nullptr; },
                       [] { QTest::mouseClick(saveButton(), Qt::LeftButton); });
        if (!message)
            return;
        actions().when([] { return messageBox() != nullptr; },
                       [message] {
                           *message = messageBox()->text();
                           messageBox()->accept();
                       });
    }
};

TEST_F(SaveDialog, WritesTheCanvasImageAsPng)
{
    QTemporaryDir folder;
    WorkingFolder in(folder.path());
    open("square", {{"Number of Odd Harmonics", "3"}});
    save("Form3", nullptr);
    const QString saved = folder.filePath("square-3-harmonics.png");
    ASSERT_TRUE(settles([&] { return shows("Form3") && QFile::exists(saved); }));
    EXPECT_EQ(QImage(saved).convertToFormat(QImage::Format_RGB32),
              window("Form3")->canvasImage().convertToFormat(QImage::Format_RGB32));
}

TEST_F(SaveDialog, ARefusedFileIsNamedInAMessageAndLeftAlone)
{
    QTemporaryDir folder;
    WorkingFolder in(folder.path());
    const QString link = folder.filePath("square-3-harmonics.png");
    ASSERT_EQ(symlink("/nonexistent/target.png", QFile::encodeName(link).constData()), 0);
    QString message;
    open("square", {{"Number of Odd Harmonics", "3"}});
    save("Form3", &message);
    ASSERT_TRUE(settles([&] { return !message.isEmpty(); }));
    EXPECT_TRUE(message.contains(link + " is a symbolic link")) << message.toStdString();
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    EXPECT_TRUE(shows("Form3"));
}

} // namespace
