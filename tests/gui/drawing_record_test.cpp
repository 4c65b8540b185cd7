// The forms layer under the canvas tools: the record of a canvas's drawing calls, its replay
// (the vector pictures are made from it), and the writer that never follows a link.

#include "forms/drawing_record.h"
#include "forms/form.h"
#include "forms/safe_file.h"
#include "forms/vector_export.h"
#include "support/test_tables.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <optional>

#include <unistd.h>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using forms::DrawingOp;

// A canvas of 640 x 480 logical units on a 9600 x 7200 twip (640 x 480 pixel) client.
class Canvas : public ::testing::Test {
protected:
    Canvas() : m_form(QStringLiteral("Canvas"), 9600, 7200)
    {
        m_form.setScaleWidth(640);
        m_form.setScaleHeight(480);
        m_form.Cls();
    }
    forms::Form m_form;
};

TEST_F(Canvas, RecordsEachCallInLogicalUnitsWithItsPen)
{
    m_form.setForeColor(Qt::red);
    m_form.setDrawWidth(2);
    m_form.PSet(10, 20);
    m_form.Line(30, 40, 50, 60);
    m_form.LineTo(70, 80);
    const auto& ops = m_form.drawingRecord().ops();
    ASSERT_EQ(ops.size(), 3u);
    EXPECT_EQ(ops[0].kind, DrawingOp::Kind::Point);
    EXPECT_EQ(ops[0].from, QPointF(10, 20));
    EXPECT_EQ(ops[1].kind, DrawingOp::Kind::Line);
    EXPECT_EQ(ops[1].from, QPointF(30, 40));
    EXPECT_EQ(ops[1].to, QPointF(50, 60));
    EXPECT_EQ(ops[2].from, QPointF(50, 60)); // joined to the current point
    EXPECT_EQ(ops[2].colour, QColor(Qt::red).rgb());
    // Two pixels of a 640-pixel client across 640 units.
    EXPECT_DOUBLE_EQ(ops[2].width, 2);
    EXPECT_EQ(ops[2].scaleWidth, 640);
}

TEST_F(Canvas, LeavesOutWhatIsNotDrawnAndForgetsAtCls)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    m_form.PSet(nan, 1);
    m_form.Line(0, 0, nan, 5);
    EXPECT_TRUE(m_form.drawingRecord().empty());
    m_form.PSet(1, 1);
    const unsigned long clears = m_form.drawingRecord().clears();
    m_form.Cls();
    EXPECT_TRUE(m_form.drawingRecord().empty());
    EXPECT_EQ(m_form.drawingRecord().clears(), clears + 1);
}

TEST_F(Canvas, TraceIsWhatFollowsTheBase)
{
    m_form.Line(0, 0, 100, 0);
    m_form.drawingRecord().markBase();
    m_form.PSet(5, 5);
    const forms::DrawingRecord trace = m_form.drawingRecord().trace();
    ASSERT_EQ(trace.ops().size(), 1u);
    EXPECT_EQ(trace.ops()[0].kind, DrawingOp::Kind::Point);
}

// Replayed at the canvas's own size, every drawn pixel has a replayed one at most a pixel away.
TEST_F(Canvas, ReplaysOntoTheDrawing)
{
    m_form.Line(20, 30, 600, 400);
    m_form.PSet(320, 100);
    QImage replayed(m_form.canvasImage().size(), QImage::Format_RGB32);
    {
        QPainter painter(&replayed);
        m_form.drawingRecord().replay(painter, QRectF(replayed.rect()));
    }
    const QImage& drawn = m_form.canvasImage();
    int drawnPixels = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x) {
            if (QColor(drawn.pixel(x, y)) != Qt::black)
                continue;
            ++drawnPixels;
            bool near = false;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    near |= replayed.rect().contains(x + dx, y + dy)
                        && qGray(replayed.pixel(x + dx, y + dy)) < 128;
            EXPECT_TRUE(near) << x << "," << y;
        }
    EXPECT_GT(drawnPixels, 500);
}

TEST_F(Canvas, VectorPicturesHoldNoImage)
{
    m_form.Line(20, 30, 600, 400);
    const QByteArray svg = forms::svgOf(m_form.drawingRecord(), QSize(640, 480), "t");
    EXPECT_TRUE(svg.contains("<polyline"));
    EXPECT_FALSE(svg.contains("<image"));
    EXPECT_TRUE(forms::pdfOf(m_form.drawingRecord(), QSize(640, 480), "t").startsWith("%PDF"));
}

struct PictureName {
    const char* name;
    const char* file;
    std::optional<forms::PictureFormat> format;
};

class PictureFormats : public ::testing::TestWithParam<PictureName> { };

TEST_P(PictureFormats, FollowTheExtensionInAnyCase)
{
    EXPECT_EQ(forms::pictureFormatForFile(QString::fromLatin1(GetParam().file)), GetParam().format);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Names, PictureFormats,
    ::testing::Values(PictureName{"Png", "a/b.png", forms::PictureFormat::Png},
                      PictureName{"SvgUpperCase", "B.SVG", forms::PictureFormat::Svg},
                      PictureName{"Pdf", "c.pdf", forms::PictureFormat::Pdf},
                      PictureName{"Jpeg", "d.jpg", std::nullopt},
                      PictureName{"NoExtension", "png", std::nullopt}),
    tables::rowName);
// clang-format on

TEST(SafeFile, WritesAndReplacesWhole)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("a.txt");
    QString error;
    ASSERT_TRUE(forms::safefile::writeFile(path, "first, longer\n", &error)) << error.toStdString();
    ASSERT_TRUE(forms::safefile::writeFile(path, "second\n", &error)) << error.toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "second\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{"a.txt"});
}

TEST(SafeFile, RefusesALinkAndNamesIt)
{
    QTemporaryDir folder;
    const QString link = folder.filePath("link.txt");
    ASSERT_EQ(symlink("/dev/null", QFile::encodeName(link).constData()), 0);
    QString error;
    EXPECT_FALSE(forms::safefile::writeFile(link, "x", &error));
    EXPECT_EQ(error, link + " is a symbolic link; not writing through it");
    EXPECT_TRUE(QFileInfo(link).isSymLink());
}

TEST(SafeFile, AMissingFolderGivesTheSystemsReason)
{
    QTemporaryDir folder;
    const QString path = folder.filePath("no/such/a.txt");
    QString error;
    EXPECT_FALSE(forms::safefile::writeFile(path, "x", &error));
    EXPECT_EQ(error, "cannot write " + path + ": " + QString::fromLocal8Bit(std::strerror(ENOENT)));
}

} // namespace
