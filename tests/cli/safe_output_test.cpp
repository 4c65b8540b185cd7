// The snapshot folder as a file tool must treat it: files appear whole or not at all, links
// planted in the folder are never followed, nothing is written outside it, no picture is left
// that the run's own state.json does not list, and each failure is one line with the reason.

#include "cli_support.h"
#include "support/test_tables.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace clitest;

const QStringList kSquareAndSpectrum{"--screen", "square",  "--answer",
                                     "3",        "--click", "View Spectrum"};
const QStringList kTriangle{"--screen", "triangle", "--answer", "3"};

QStringList snapshotInto(QStringList arguments, const QString& folder)
{
    return arguments << "--snapshot" << folder;
}

QStringList listedPictures(const QString& folder)
{
    QStringList pictures;
    for (const QJsonValue& name : stateIn(folder).value("pictures").toArray())
        pictures << name.toString();
    pictures.sort();
    return pictures;
}

QStringList picturesIn(const QString& folder)
{
    return QDir(folder).entryList({"*.png"}, QDir::Files | QDir::Hidden, QDir::Name);
}

bool noTemporaryFilesIn(const QString& folder)
{
    for (const QString& entry : entriesOf(folder))
        if (entry.startsWith('.'))
            return false;
    return true;
}

std::string text(const QString& s) { return s.toStdString(); }

// A PNG file from its signature to its closing IEND chunk.
bool isWholePng(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return bytes.startsWith("\x89PNG\r\n\x1a\n")
        && bytes.endsWith(QByteArray("IEND\xae\x42\x60\x82", 8));
}

TEST(SafeOutput, AFullDiskFailsNamingTheFileAndLeavesNoHalfFile)
{
    QTemporaryDir mountPoint;
    if (geteuid() != 0)
        GTEST_SKIP() << "a small tmpfs needs root; the write error is covered by FileSizeLimit";
    const QByteArray path = QFile::encodeName(mountPoint.path());
    if (mount("dsplab-full", path.constData(), "tmpfs", 0, "size=32k") != 0)
        GTEST_SKIP() << "cannot mount a 32 KB tmpfs here: " << std::strerror(errno);
    const ProgramRun run = runDsplab(snapshotInto(kSquareAndSpectrum, mountPoint.path()));
    const QStringList left = entriesOf(mountPoint.path());
    umount2(path.constData(), MNT_DETACH);

    EXPECT_EQ(run.exitCode, 1) << text(run.errors);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains("No space left on device")) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(mountPoint.path() + "/Form"))
        << "names the file: " << text(run.errors);
    EXPECT_TRUE(left.isEmpty()) << "left behind: " << text(left.join(' '));
}

// Without root, a file size limit makes the same write error: the system refuses the write.
TEST(SafeOutput, AWriteErrorFailsNamingTheFileAndLeavesNoHalfFile)
{
    QTemporaryDir folder;
    const ProgramRun run = runDsplab(snapshotInto(kSquareAndSpectrum, folder.path()), {},
                                     "trap '' XFSZ; ulimit -f 8; exec \"$0\" \"$@\"");
    EXPECT_EQ(run.exitCode, 1) << text(run.errors);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains("File too large")) << text(run.errors);
    EXPECT_TRUE(run.errors.contains("cannot write " + folder.path() + "/Form3.png"))
        << text(run.errors);
    EXPECT_TRUE(entriesOf(folder.path()).isEmpty()) << text(entriesOf(folder.path()).join(' '));
}

struct PlantedLink {
    const char* name;
    const char* file;   // the link in the snapshot folder
    const char* target; // "OUTSIDE" for a file outside the folder, else an absolute path
    bool targetExists;
};

class PlantedLinks : public ::testing::TestWithParam<PlantedLink> { };

TEST_P(PlantedLinks, AreRefusedAndNeverFollowed)
{
    const PlantedLink& c = GetParam();
    QTemporaryDir outside;
    QTemporaryDir folder;
    const QString target = QString::fromLatin1(c.target) == "OUTSIDE"
        ? outside.filePath("victim")
        : QString::fromLatin1(c.target);
    if (c.targetExists && target.startsWith(outside.path())) {
        QFile victim(target);
        ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
        victim.write("the user's own file\n");
    }
    const QString link = folder.filePath(c.file);
    ASSERT_EQ(symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()),
              0);

    const ProgramRun run = runDsplab(snapshotInto(kSquareAndSpectrum, folder.path()));
    EXPECT_EQ(run.exitCode, 1) << text(run.errors);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(link + " is a symbolic link")) << text(run.errors);
    EXPECT_TRUE(QFileInfo(link).isSymLink()) << "the link itself stays";
    if (target.startsWith(outside.path())) {
        QFile victim(target);
        if (c.targetExists) {
            ASSERT_TRUE(victim.open(QIODevice::ReadOnly));
            EXPECT_EQ(victim.readAll(), "the user's own file\n");
        } else {
            EXPECT_FALSE(victim.exists()) << "a file was created outside the folder";
        }
    }
    EXPECT_EQ(entriesOf(folder.path()), QStringList{c.file}) << "nothing else written";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Snapshot, PlantedLinks, ::testing::Values(
    PlantedLink{"state_to_a_file_elsewhere", "state.json", "OUTSIDE", true},
    PlantedLink{"picture_to_a_new_file_elsewhere", "Form3.png", "OUTSIDE", false},
    PlantedLink{"canvas_to_a_file_elsewhere", "Form7.canvas.png", "OUTSIDE", true},
    PlantedLink{"state_to_dev_full", "state.json", "/dev/full", true}),
    tables::rowName);
// clang-format on

// A second run into the same folder: the first run's pictures go (its state.json listed them),
// a file the program did not write stays.
TEST(SafeOutput, ASecondRunLeavesOnlyItsOwnPictures)
{
    QTemporaryDir folder;
    QFile mine(folder.filePath("mine.png"));
    ASSERT_TRUE(mine.open(QIODevice::WriteOnly));
    mine.write("not a picture of this program");
    mine.close();

    ASSERT_EQ(runDsplab(snapshotInto(kSquareAndSpectrum, folder.path())).exitCode, 0);
    EXPECT_EQ(listedPictures(folder.path()),
              (QStringList{"Form3.canvas.png", "Form3.png", "Form7.canvas.png", "Form7.png"}));
    const ProgramRun second = runDsplab(snapshotInto(kTriangle, folder.path()));
    ASSERT_EQ(second.exitCode, 0) << text(second.errors);
    EXPECT_EQ(listedPictures(folder.path()), (QStringList{"Form4.canvas.png", "Form4.png"}));
    EXPECT_EQ(picturesIn(folder.path()),
              (QStringList{"Form4.canvas.png", "Form4.png", "mine.png"}));
}

// Pictures beside a state.json the program did not write are not the program's to remove.
TEST(SafeOutput, PicturesBesideAForeignStateStay)
{
    QTemporaryDir folder;
    for (const char* name : {"Form3.png", "state.json"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(name) == "state.json" ? "{\"pictures\": \"not ours\"}" : "x");
    }
    ASSERT_EQ(runDsplab(snapshotInto(kTriangle, folder.path())).exitCode, 0);
    EXPECT_TRUE(QFile::exists(folder.filePath("Form3.png")));
}

// Two runs into one folder at once: whichever finishes last, its state.json and exactly the
// pictures it lists are there, each a whole picture.
TEST(SafeOutput, RunsAtTheSameTimeLeaveOneWholeSet)
{
    for (int round = 0; round < 3; ++round) {
        QTemporaryDir folder;
        QProcess first, second;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        first.setProcessEnvironment(env);
        second.setProcessEnvironment(env);
        first.start(DSPLAB_BINARY, snapshotInto(kSquareAndSpectrum, folder.path()));
        second.start(DSPLAB_BINARY, snapshotInto(kTriangle, folder.path()));
        ASSERT_TRUE(first.waitForFinished(60000) && second.waitForFinished(60000));
        ASSERT_EQ(first.exitCode(), 0);
        ASSERT_EQ(second.exitCode(), 0);
        const QStringList listed = listedPictures(folder.path());
        EXPECT_EQ(picturesIn(folder.path()), listed) << "round " << round;
        for (const QString& picture : listed)
            EXPECT_TRUE(isWholePng(folder.filePath(picture))) << text(picture);
        EXPECT_TRUE(noTemporaryFilesIn(folder.path()));
    }
}

TEST(SafeOutput, AFolderThatCannotBeMadeGivesTheSystemsReason)
{
    QTemporaryDir place;
    QFile file(place.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const ProgramRun run = runDsplab(snapshotInto(kTriangle, place.filePath("file/pictures")));
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains("Not a directory")) << text(run.errors);
}

TEST(SafeOutput, AnUnwritableFolderGivesTheSystemsReason)
{
    if (geteuid() == 0)
        GTEST_SKIP()
            << "root may write into any folder; the reason is checked by the other failures";
    QTemporaryDir folder;
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0555), 0);
    const ProgramRun run = runDsplab(snapshotInto(kTriangle, folder.path()));
    chmod(QFile::encodeName(folder.path()).constData(), 0755);
    EXPECT_EQ(run.exitCode, 1);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains("Permission denied")) << text(run.errors);
}

// Qt wants a session runtime folder; without XDG_RUNTIME_DIR it would leave runtime-USER in the
// temporary area. The program lends it a private folder there and takes it away again.
TEST(SafeOutput, NothingIsLeftInTheTemporaryArea)
{
    QTemporaryDir temporaryArea;
    QTemporaryDir folder;
    const ProgramRun run =
        runDsplab(snapshotInto(kTriangle, folder.path()), [&](QProcessEnvironment& env) {
            env.remove("XDG_RUNTIME_DIR");
            env.insert("TMPDIR", temporaryArea.path());
        });
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    EXPECT_TRUE(entriesOf(temporaryArea.path()).isEmpty())
        << text(entriesOf(temporaryArea.path()).join(' '));
    EXPECT_TRUE(run.errors.isEmpty()) << text(run.errors);
}

TEST(SafeOutput, AFailedStepWritesTheStateAtTheFailure)
{
    QTemporaryDir folder;
    const ProgramRun run = runDsplab(
        snapshotInto({"--screen", "square", "--answer", "-1", "--answer", "3"}, folder.path()));
    EXPECT_EQ(run.exitCode, 2);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    const QJsonObject state = stateIn(folder.path());
    EXPECT_TRUE(state.value("ended").toBool());
    const QJsonObject failed = state.value("failedStep").toObject();
    EXPECT_EQ(failed.value("number").toInt(), 2);
    EXPECT_EQ(failed.value("step").toString(), "--answer \"3\"");
    EXPECT_EQ(failed.value("reason").toString(), "the program has already ended");
}

} // namespace
