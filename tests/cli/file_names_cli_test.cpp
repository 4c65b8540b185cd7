// The names the program writes under, taken from the command line: byte for byte whatever their
// encoding, as long as the system allows, with a temporary name that never outgrows the limit
// or follows a link planted at it; and the permissions and the folder as a failed write leaves
// them.

#include "cli_support.h"
#include "support/test_tables.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

using tables::PrintTo; // rows print as their names in failure messages

using namespace clitest;

const QStringList kSquare = screenWith("square", {"3"});

std::string text(const QString& s) { return s.toStdString(); }

// The names in the folder as the system holds them, hidden ones too, sorted.
QList<QByteArray> rawEntries(const QString& folder)
{
    QList<QByteArray> names;
    DIR* dir = opendir(QFile::encodeName(folder).constData());
    if (!dir)
        return names;
    while (const dirent* entry = readdir(dir))
        if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
            names << QByteArray(entry->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

QByteArray contentsOf(const QByteArray& path)
{
    QByteArray contents;
    if (FILE* file = std::fopen(path.constData(), "rb")) {
        char buffer[4096];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            contents.append(buffer, qsizetype(got));
        std::fclose(file);
    }
    return contents;
}

void writeBytes(const QByteArray& path, const QByteArray& contents)
{
    FILE* file = std::fopen(path.constData(), "wb");
    ASSERT_NE(file, nullptr) << path.constData();
    std::fwrite(contents.constData(), 1, std::size_t(contents.size()), file);
    std::fclose(file);
}

// A shell line that runs the program with the given bytes as its last argument; QProcess could
// pass only text, which cannot carry bytes that are not UTF-8.
QString withLastArgument(const QByteArray& bytes, const QString& before = QString())
{
    QString escaped;
    for (const char c : bytes)
        escaped += QStringLiteral("\\%1").arg(uint(uchar(c)), 3, 8, QLatin1Char('0'));
    return before + QStringLiteral("exec \"$0\" \"$@\" \"$(printf '%1')\"").arg(escaped);
}

// What the square wave's curve export writes, from a run with a plain name.
QByteArray referenceCurve()
{
    QTemporaryDir folder;
    const QString file = folder.filePath("reference.csv");
    const ProgramRun run = runDsplab(QStringList(kSquare) << "--export"
                                                          << "curve" << file);
    EXPECT_EQ(run.exitCode, 0) << text(run.errors);
    return contentsOf(QFile::encodeName(file));
}

struct ByteName {
    const char* name;
    const char* bytes;     // the file or folder name
    const char* lookalike; // what lossy decoding makes of it, planted beforehand; "" for none
    bool folder;           // --snapshot DIR rather than --export curve FILE
};

class ByteNames : public ::testing::TestWithParam<ByteName> { };

TEST_P(ByteNames, AreUsedAsGivenAndNoOtherFileIsTouched)
{
    const ByteName& c = GetParam();
    QTemporaryDir folder;
    const QByteArray base = QFile::encodeName(folder.path()) + '/';
    const QByteArray lookalike(c.lookalike);
    if (!lookalike.isEmpty())
        writeBytes(base + lookalike, "the user's own file\n");
    const QStringList option =
        c.folder ? QStringList{"--snapshot"} : QStringList{"--export", "curve"};

    const ProgramRun run =
        runDsplab(QStringList(kSquare) << option, {}, withLastArgument(base + c.bytes));
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    QList<QByteArray> expected{QByteArray(c.bytes)};
    if (!lookalike.isEmpty())
        expected << lookalike;
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(rawEntries(folder.path()), expected);
    if (!lookalike.isEmpty()) {
        EXPECT_EQ(contentsOf(base + lookalike), "the user's own file\n");
    }
    if (c.folder) {
        EXPECT_TRUE(contentsOf(base + c.bytes + "/state.json").startsWith('{'));
    } else {
        EXPECT_EQ(contentsOf(base + c.bytes), referenceCurve());
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ByteNames, ::testing::Values(
    ByteName{"LoneByteBesideItsLookalike", "x\xfe.csv", "x\xef\xbf\xbd.csv", false},
    ByteName{"Latin1Name", "caf\xe9.csv", "caf\xef\xbf\xbd.csv", false},
    ByteName{"NoValidCharacterAtAll", "\xff\xfe\xfd.csv", "", false},
    ByteName{"Utf8Name", "caf\xc3\xa9.csv", "", false},
    ByteName{"SnapshotFolder", "pictures\xfe", "pictures\xef\xbf\xbd", true}),
    tables::rowName);
// clang-format on

// Names up to the folder's limit are written, whatever room their temporary name needs; a name
// past it is refused with the system's reason and nothing is left.
struct NameLength {
    const char* name;
    long belowLimit; // the name's length is the folder's limit less this
    bool written;
};

class LongNames : public ::testing::TestWithParam<NameLength> { };

TEST_P(LongNames, FitUpToTheFoldersLimit)
{
    const NameLength& c = GetParam();
    QTemporaryDir folder;
    const long limit = pathconf(QFile::encodeName(folder.path()).constData(), _PC_NAME_MAX);
    ASSERT_GT(limit, 20);
    const QString name = QString(limit - c.belowLimit - 4, QLatin1Char('n')) + ".csv";
    const ProgramRun run = runDsplab(QStringList(kSquare) << "--export"
                                                          << "curve" << folder.filePath(name));
    if (c.written) {
        ASSERT_EQ(run.exitCode, 0) << text(run.errors);
        EXPECT_EQ(entriesOf(folder.path()), QStringList{name});
        EXPECT_EQ(contentsOf(QFile::encodeName(folder.filePath(name))), referenceCurve());
    } else {
        EXPECT_EQ(run.exitCode, 2);
        ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
        EXPECT_TRUE(run.errors.contains(std::strerror(ENAMETOOLONG))) << text(run.errors);
        EXPECT_TRUE(entriesOf(folder.path()).isEmpty()) << text(entriesOf(folder.path()).join(' '));
    }
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, LongNames, ::testing::Values(
    NameLength{"FourteenShort", 14, true},
    NameLength{"ThirteenShort", 13, true},
    NameLength{"FiveShort", 5, true},
    NameLength{"OneShort", 1, true},
    NameLength{"AtTheLimit", 0, true},
    NameLength{"OnePast", -1, false}),
    tables::rowName);
// clang-format on

// A file replaced keeps its permission bits; a new one has what the umask allows.
struct Permissions {
    const char* name;
    int before; // -1: no file there yet
    const char* umask;
    int after;
    bool snapshot; // the snapshot's state.json rather than an exported file
};

class ReplacedPermissions : public ::testing::TestWithParam<Permissions> { };

TEST_P(ReplacedPermissions, AreKept)
{
    const Permissions& c = GetParam();
    QTemporaryDir folder;
    const QString file = folder.filePath(c.snapshot ? "state.json" : "curve.csv");
    const QByteArray path = QFile::encodeName(file);
    if (c.before >= 0) {
        writeBytes(path, "{}");
        ASSERT_EQ(chmod(path.constData(), mode_t(c.before)), 0);
    }
    const QStringList output = c.snapshot ? QStringList{"--snapshot", folder.path()}
                                          : QStringList{"--export", "curve", file};
    const ProgramRun run = runDsplab(QStringList(kSquare) << output, {},
                                     QStringLiteral("umask %1; exec \"$0\" \"$@\"").arg(c.umask));
    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    struct stat info { };
    ASSERT_EQ(stat(path.constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, mode_t(c.after));
    EXPECT_NE(contentsOf(path), "{}") << "the file was replaced";
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, ReplacedPermissions, ::testing::Values(
    Permissions{"OwnerOnly", 0600, "022", 0600, false},
    Permissions{"GroupReadable", 0640, "022", 0640, false},
    Permissions{"Executable", 0755, "077", 0755, false},
    Permissions{"WiderThanTheUmask", 0666, "077", 0666, false},
    Permissions{"OwnerOnlyState", 0600, "022", 0600, true},
    Permissions{"NewUnderUmask022", -1, "022", 0644, false},
    Permissions{"NewUnderUmask077", -1, "077", 0600, false},
    Permissions{"NewStateUnderUmask027", -1, "027", 0640, true}),
    tables::rowName);
// clang-format on

// A link planted at the temporary name the program will try first (its process number is the
// shell's, which execs it; its count starts at 1) is skipped, never followed.
struct PlantedTemporary {
    const char* name;
    const char* first; // the file whose temporary name is planted
    bool targetExists;
    bool snapshot;
};

class PlantedTemporaries : public ::testing::TestWithParam<PlantedTemporary> { };

TEST_P(PlantedTemporaries, AreNotFollowed)
{
    const PlantedTemporary& c = GetParam();
    QTemporaryDir outside;
    QTemporaryDir folder;
    const QString target = outside.filePath("victim");
    if (c.targetExists)
        writeBytes(QFile::encodeName(target), "the user's own file\n");
    const QString link = folder.filePath(QStringLiteral(".%1.part-$$-1").arg(c.first));
    const QString plant =
        QStringLiteral("ln -s '%1' \"%2\" && exec \"$0\" \"$@\"").arg(target, link);
    const QStringList output = c.snapshot
        ? QStringList{"--snapshot", folder.path()}
        : QStringList{"--export", "curve", folder.filePath(c.first)};
    const ProgramRun run = runDsplab(QStringList(kSquare) << output, {}, plant);

    ASSERT_EQ(run.exitCode, 0) << text(run.errors);
    if (c.targetExists) {
        EXPECT_EQ(contentsOf(QFile::encodeName(target)), "the user's own file\n");
    } else {
        EXPECT_FALSE(QFileInfo::exists(target)) << "a file was made through the link";
    }
    const QFileInfo written(folder.filePath(c.first));
    EXPECT_TRUE(written.isFile() && !written.isSymLink());
    QStringList links;
    const auto all = QDir::System | QDir::Hidden | QDir::AllEntries | QDir::NoDotAndDotDot;
    for (const QFileInfo& entry : QDir(folder.path()).entryInfoList(all))
        if (entry.isSymLink())
            links << entry.fileName();
    EXPECT_EQ(links.size(), 1) << "the planted link stays as it was: " << text(links.join(' '));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, PlantedTemporaries, ::testing::Values(
    PlantedTemporary{"ExportToAFile", "curve.csv", true, false},
    PlantedTemporary{"ExportToANewFile", "curve.csv", false, false},
    PlantedTemporary{"SnapshotPicture", "Form3.png", true, true}),
    tables::rowName);
// clang-format on

// Past the file size limit the write fails with the system's reason, in one line, and leaves no
// temporary file; the limit's signal does not end the program.
struct SizeLimit {
    const char* name;
    QStringList output; // where the picture goes; FOLDER stands for the folder
    int exitCode;
    const char* file; // the file the message names
};

class SizeLimits : public ::testing::TestWithParam<SizeLimit> { };

TEST_P(SizeLimits, FailTheWriteAndLeaveNoTemporaryFile)
{
    const SizeLimit& c = GetParam();
    QTemporaryDir folder;
    QStringList output = c.output;
    output.replaceInStrings("FOLDER", folder.path());
    const ProgramRun run =
        runDsplab(QStringList(kSquare) << output, {}, "ulimit -f 8; exec \"$0\" \"$@\"");
    EXPECT_EQ(run.exitCode, c.exitCode) << text(run.errors);
    ASSERT_EQ(messageLines(run).size(), 1) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(std::strerror(EFBIG))) << text(run.errors);
    EXPECT_TRUE(run.errors.contains(folder.filePath(c.file))) << text(run.errors);
    EXPECT_TRUE(entriesOf(folder.path()).isEmpty()) << text(entriesOf(folder.path()).join(' '));
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Cases, SizeLimits, ::testing::Values(
    SizeLimit{"ExportedPicture", {"--export", "picture", "FOLDER/p.png"}, 2, "p.png"},
    SizeLimit{"ExportedVectorPicture", {"--export", "picture", "FOLDER/p.pdf"}, 2, "p.pdf"},
    SizeLimit{"Snapshot", {"--snapshot", "FOLDER"}, 1, "Form3.png"}),
    tables::rowName);
// clang-format on

} // namespace
