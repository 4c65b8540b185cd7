// The filter screens' keys after a design, the names the save dialogs offer and the folder each
// one remembers, worked with real key and mouse events.

#include "canvas_user.h"
#include "screens/preferences.h"
#include "support/test_tables.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using canvastest::Answers;
using canvastest::CanvasUser;
using namespace canvastest::questions;

QFileDialog* fileDialog() { return qobject_cast<QFileDialog*>(QApplication::activeModalWidget()); }

struct DesignCase {
    const char* name;
    const char* screen;
    Answers answers;
    const char* form;
};

class AfterADesign : public CanvasUser, public ::testing::WithParamInterface<DesignCase> { };

TEST_P(AfterADesign, DoAnotherHasTheFocusAndThePhaseCaptionsTakeNoKeys)
{
    const DesignCase& row = GetParam();
    open(row.screen, row.answers);
    ASSERT_TRUE(settles([&] { return shows(row.form); }));
    forms::Form* form = window(row.form);
    ASSERT_TRUE(form->focusWidget());
    EXPECT_EQ(form->focusWidget()->objectName(), QStringLiteral("Command1"));
    // A round of Tab never stops on a phase caption.
    for (int press = 0; press < 8; ++press) {
        key(form, Qt::Key_Tab);
        ASSERT_TRUE(QApplication::focusWidget());
        EXPECT_FALSE(QApplication::focusWidget()->objectName().startsWith(QLatin1String("Text")));
    }
    const auto captions =
        form->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^Text")));
    ASSERT_FALSE(captions.isEmpty());
    for (QLineEdit* caption : captions) {
        const QString before = caption->text();
        QTest::mouseClick(caption, Qt::LeftButton);
        QTest::keyClicks(caption, QStringLiteral("5"));
        EXPECT_EQ(caption->text(), before) << caption->objectName().toStdString();
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, AfterADesign,
    ::testing::Values(
        DesignCase{"BlackmanLowpass", "lowpass",
                   {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}}, "Form9"},
        DesignCase{"RectangularLowpass", "lowpass-rect",
                   {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}}, "Form8"},
        DesignCase{"Bandstop", "bandstop",
                   {{kSampling, "1000"}, {kStop, "200"}, {kCentre, "250"}, {kTaps, "29"},
                    {kPhase, "N"}}, "Form12"}),
    tables::rowName);
// clang-format on

// The dialog that an entry of the context menu opens: the file it offers, then Cancel.
class SaveDialogs : public CanvasUser {
protected:
    QString offered(const char* form, const char* entry)
    {
        QString file;
        actions().when([this, form] { return shows(form); },
                       [this, form] { rightClick(window(form), 240, 200); });
        actions().when([this, form] { return canvasMenu(window(form)) != nullptr; },
                       [this, form, entry] { pick(canvasMenu(window(form)), entry); });
        actions().when([] { return fileDialog() != nullptr; },
                       [this, &file, form] {
                           file = fileDialog()->selectedFiles().value(0);
                           fileDialog()->reject();
                           // The spectrum is modal: closed before the run settles.
                           if (QLatin1String(form) == QLatin1String("Form7"))
                               clickButton(window(form), "Command1");
                       });
        EXPECT_TRUE(settles([&] { return !file.isEmpty(); })) << entry;
        return file;
    }
};

struct NameCase {
    const char* name;
    const char* screen;
    Answers answers;
    const char* form; // the window saved from, opened with its "View Spectrum" when not there
    const char* entry;
    const char* file;
};

class DefaultFileName : public SaveDialogs, public ::testing::WithParamInterface<NameCase> { };

TEST_P(DefaultFileName, NamesTheDesign)
{
    const NameCase& row = GetParam();
    open(row.screen, row.answers);
    if (QLatin1String(row.form) == QLatin1String("Form7"))
        actions().when([this] { return shows("Form3"); },
                       [this] { clickButton(window("Form3"), "Command2"); });
    EXPECT_EQ(QFileInfo(offered(row.form, row.entry)).fileName(), QLatin1String(row.file));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Screens, DefaultFileName,
    ::testing::Values(
        NameCase{"BlackmanPicture", "lowpass",
                 {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}}, "Form9",
                 "savePicture", "blackman-lowpass-1000Hz-150Hz-15taps.png"},
        NameCase{"HighpassTaps", "highpass",
                 {{kSampling, "8000"}, {kCutoff, "1200"}, {kTaps, "31"}, {kPhase, "N"}}, "Form11",
                 "saveTaps", "highpass-8000Hz-1200Hz-31taps-taps.csv"},
        NameCase{"SquareCurve", "square", {{kOdd, "3"}}, "Form3", "saveCurve",
                 "square-3-harmonics-curve.csv"},
        NameCase{"SquareSpectrum", "square", {{kOdd, "3"}}, "Form7", "saveSpectrum",
                 "square-3-harmonics-spectrum.csv"},
        NameCase{"SawtoothPicture", "sawtooth", {{kCount, "7"}}, "Form5", "savePicture",
                 "sawtooth-7-harmonics.png"}),
    tables::rowName);
// clang-format on

// Each dialog offers the folder it last saved in, read from the settings file at the start.
TEST_F(SaveDialogs, EachDialogOffersTheFolderItLastSavedIn)
{
    QTemporaryDir kept;
    const QString file = kept.filePath(QStringLiteral("settings.ini"));
    qputenv("DSPLAB_SETTINGS", QFile::encodeName(file));
    QDir(kept.path()).mkdir(QStringLiteral("pictures"));
    QDir(kept.path()).mkdir(QStringLiteral("taps"));
    {
        QSettings settings(file, QSettings::IniFormat);
        settings.setValue(QStringLiteral("saveFolders/picture"), kept.filePath("pictures"));
        settings.setValue(QStringLiteral("saveFolders/taps"), kept.filePath("taps"));
    }
    screens::Preferences::instance().keepBetweenRuns();
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    const QString picture = offered("Form9", "savePicture");
    const QString taps = offered("Form9", "saveTaps");
    screens::Preferences::instance().setFolderFor(QStringLiteral("response"), kept.path());
    screens::Preferences::instance().keepBetweenRuns(false);
    qunsetenv("DSPLAB_SETTINGS");
    EXPECT_EQ(QFileInfo(picture).absolutePath(), kept.filePath("pictures"));
    EXPECT_EQ(QFileInfo(taps).absolutePath(), kept.filePath("taps"));
    EXPECT_EQ(QSettings(file, QSettings::IniFormat).value("saveFolders/response").toString(),
              kept.path());
}

} // namespace

namespace {

int pixelsOf(const QImage& picture, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == colour;
    return count;
}

class Presentation : public SaveDialogs { };

// Wider traces are shown over the drawing; the drawing itself stays as drawn.
TEST_F(Presentation, WidensTheShownTracesAndLeavesTheDrawingAlone)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "N"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    const QImage drawing = form->canvasImage().copy();
    const QRgb red = qRgb(255, 0, 0);
    const int plain = pixelsOf(form->shownPicture(), red);
    rightClick(form, 240, 200);
    actions().when([&] { return canvasMenu(form) != nullptr; },
                   [&] { pick(canvasMenu(form), "presentation"); });
    ASSERT_TRUE(settles([] { return screens::Preferences::instance().presentation(); }));
    const int wide = pixelsOf(form->shownPicture(), red);
    screens::Preferences::instance().setPresentation(false);
    EXPECT_GT(wide, plain * 2);
    EXPECT_EQ(form->canvasImage(), drawing);
    EXPECT_EQ(pixelsOf(form->shownPicture(), red), plain);
}

// A window shown twice its size: the phase labels whole, Point as at the designed size.
TEST_F(Presentation, ALargerWindowKeepsItsLabelsWholeAndItsPoints)
{
    open("lowpass", {{kSampling, "1000"}, {kCutoff, "150"}, {kTaps, "15"}, {kPhase, "Y"}});
    ASSERT_TRUE(settles([&] { return shows("Form9"); }));
    forms::Form* form = window("Form9");
    const QColor before = form->Point(320, 240);
    form->resize(form->size() * 2);
    ASSERT_TRUE(settles([&] { return form->centralWidget()->width() >= 2 * 640; }));
    EXPECT_EQ(form->Point(320, 240), before);
    for (QLineEdit* label :
         form->findChildren<QLineEdit*>(QRegularExpression(QStringLiteral("^Text")))) {
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->width())
            << label->text().toStdString();
        EXPECT_TRUE(label->text().startsWith('-') || label->text().startsWith('+')
                    || label->text() == QLatin1String("0"));
    }
}

} // namespace
