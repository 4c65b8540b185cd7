// Drives whole runs of the program with answers, clicks, check-box toggles and menu picks decoded
// from the fuzzer's bytes, one screen per input, and stops the process on anything a user must
// never meet: a crash, a sanitizer report, a hang, a window left behind, or a coordinate that is
// not a finite number handed to the canvas.
//
// Input layout, read front to back (a short input simply ends the run):
//   byte 0          the screen to open: index into the program's form names
//   then per step   "--hold" (the text itself, as the dictionary splices it in) holds a
//                   drawing; "--axes STATE" shows or hides the axes (a word ended by a
//                   blank, on, off or anything else); "--export WHAT FILE" (words ended by a
//                   blank) writes WHAT under FILE's last name component in a private folder,
//                   emptied after each run.
//                   Otherwise, with a question box open: b % 16 = 0 Cancel, 1 close box, else
//                   an answer of kind b % 16 - 2 (see answerOf); with none: b picks one of the
//                   top window's buttons, check boxes and menu items, or its close box.
// Set DSPLAB_FUZZ_SCRIPT=1 to print each run as a dsplab command line.
// Each step has a time limit (see stepLimit); a step that overruns it stops the process.
// Runs go up to kMaxSteps steps; scripts/check-sanitized.sh lets inputs grow to 4096 bytes.

#include "../support/interesting_answers.h"
#include "../support/session_player.h"

#include "forms/form.h"
#include "forms/runtime.h"
#include "program/screen_registry.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmapCache>
#include <QTemporaryDir>
#include <QWidget>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr int kMaxSteps = 400;

// Longer than the slowest step (the largest designs under the sanitizers take a few seconds);
// DSPLAB_STEP_LIMIT_MS overrides it.
std::chrono::milliseconds stepLimit()
{
    bool ok = false;
    const int milliseconds = qEnvironmentVariableIntValue("DSPLAB_STEP_LIMIT_MS", &ok);
    return std::chrono::milliseconds(ok && milliseconds > 0 ? milliseconds : 60000);
}

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : m_data(data), m_size(size) { }
    bool empty() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    std::uint16_t word() { return static_cast<std::uint16_t>(byte() << 8 | byte()); }
    QByteArray bytes(std::size_t count)
    {
        count = std::min(count, m_size - std::min(m_at, m_size));
        QByteArray out(reinterpret_cast<const char*>(m_data + m_at), static_cast<qsizetype>(count));
        m_at += count;
        return out;
    }

    // Consumes `text` when the input goes on with it.
    bool skip(std::string_view text)
    {
        const std::size_t left = m_size - std::min(m_at, m_size);
        if (left < text.size() || std::memcmp(m_data + m_at, text.data(), text.size()) != 0)
            return false;
        m_at += text.size();
        return true;
    }
    // The next word: blanks skipped, then up to the next blank (at most 64 bytes), which is
    // taken too, so that the next step starts right after it.
    QByteArray blankEndedWord()
    {
        while (!empty() && m_data[m_at] == ' ')
            ++m_at;
        QByteArray out;
        while (!empty() && m_data[m_at] != ' ' && out.size() < 64)
            out += static_cast<char>(m_data[m_at++]);
        if (!empty() && m_data[m_at] == ' ')
            ++m_at;
        return out;
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

QString wholeNumber(ByteReader& in)
{
    const bool negative = in.byte() & 1;
    static constexpr int kPowers[] = {1, 10, 100, 1000, 10000, 100000};
    const int digits = in.byte() % 6;
    const int value = (in.word() + (in.byte() << 16)) % (kPowers[digits] * 10);
    return (negative ? QStringLiteral("-") : QString()) + QString::number(value);
}

QString answerOf(int kind, ByteReader& in, const playback::Offer& offer)
{
    switch (kind) {
    case 6:
        return offer.promptDefault;
    case 7:
        return wholeNumber(in);
    case 8:
        return wholeNumber(in) + QLatin1Char('.') + QString::number(in.word() % 10000);
    case 9: {
        double value;
        const QByteArray raw = in.bytes(sizeof value).leftJustified(sizeof value, '\0');
        std::memcpy(&value, raw.constData(), sizeof value);
        return QString::number(value, 'g', 17);
    }
    case 10:
        return QString::fromUtf8(in.bytes(in.byte() % 64));
    case 11: // exponents from far below to far above the range of doubles
        return QString::number(in.byte() % 100) + QLatin1Char('e')
            + QString::number(static_cast<std::int16_t>(in.word()) % 400);
    default: {
        static const QStringList texts = playback::interestingAnswers();
        return texts[in.byte() % texts.size()];
    }
    }
}

// Where --export writes: a folder of this process's own, so no run writes anywhere else.
const QTemporaryDir& exportFolder()
{
    static const QTemporaryDir folder;
    return folder;
}

// FILE's last name component inside the private folder; "." and ".." name no file there.
QString exportPath(const QByteArray& file)
{
    const QString text = QString::fromUtf8(file).replace(QChar(0), QLatin1Char('_'));
    QString name = QFileInfo(text).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        name = QStringLiteral("export");
    return exportFolder().filePath(name);
}

void emptyExportFolder()
{
    QDir folder(exportFolder().path());
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (const QString& name : folder.entryList(all))
        QFileInfo(folder.filePath(name)).isDir() ? QDir(folder.filePath(name)).removeRecursively()
                                                 : folder.remove(name);
}

std::optional<forms::Step> stepOf(ByteReader& in, const playback::Offer& offer, int stepsTaken)
{
    using Kind = forms::Step::Kind;
    if (in.empty() || stepsTaken >= kMaxSteps)
        return std::nullopt;
    if (in.skip("--hold")) {
        in.skip(" ");
        return forms::Step{Kind::Hold};
    }
    if (in.skip("--axes")) {
        in.skip(" ");
        return forms::Step{Kind::Axes, QString::fromUtf8(in.blankEndedWord())};
    }
    if (in.skip("--export")) {
        const QString what = QString::fromUtf8(in.blankEndedWord());
        return forms::Step{Kind::Export, what, exportPath(in.blankEndedWord())};
    }
    const std::uint8_t choice = in.byte();
    if (offer.promptOpen) {
        if (choice % 16 == 0)
            return forms::Step{Kind::Cancel, {}};
        if (choice % 16 == 1)
            return forms::Step{Kind::Close, {}};
        return forms::Step{Kind::Answer, answerOf(choice % 16 - 2, in, offer)};
    }
    if (offer.topWindow.isEmpty())
        return std::nullopt;
    const int controls = offer.buttons.size() + offer.checkBoxes.size() + offer.menuItems.size();
    int pick = choice % (controls + 1);
    if (pick < offer.buttons.size())
        return forms::Step{Kind::Click, offer.buttons[pick]};
    pick -= offer.buttons.size();
    if (pick < offer.checkBoxes.size())
        return forms::Step{Kind::Toggle, offer.checkBoxes[pick]};
    pick -= offer.checkBoxes.size();
    if (pick < offer.menuItems.size())
        return forms::Step{Kind::Menu, offer.menuItems[pick]};
    return forms::Step{Kind::Close, {}};
}

QString screenOf(std::uint8_t choice)
{
    static const QStringList names = program::formNames();
    static const QStringList registered = playback::registeredScreens();
    const QString name = names[choice % names.size()];
    return registered.contains(name) ? name : registered[choice % registered.size()];
}

[[noreturn]] void fail(const char* what, const QStringList& script)
{
    std::fprintf(stderr, "session fuzz: %s\n  replay: dsplab %s\n", what,
                 qPrintable(script.join(QLatin1Char(' '))));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "session_fuzz";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    if (!exportFolder().isValid()) {
        std::fprintf(stderr, "session fuzz: no private folder for --export\n");
        std::abort();
    }
    // The style caches the pixmaps it draws buttons and frames with under names that include each
    // palette's serial number, and every run makes new palettes: the pixmaps would fill the cache
    // and their names stay behind even when it is emptied (about 2 KB a run). Without the cache,
    // a run leaves nothing behind that grows.
    QPixmapCache::setCacheLimit(0);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    ByteReader in(data, size);
    const QString screen = screenOf(in.byte());
    const auto windowsBefore = QApplication::topLevelWidgets().size();

    playback::SteppedSession::Result result;
    {
        playback::SteppedSession session(
            screen,
            [&in, taken = 0](forms::Runtime&, const playback::Offer& offer) mutable {
                return stepOf(in, offer, taken++);
            },
            stepLimit());
        result = session.play();
    }
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    emptyExportFolder();

    if (qEnvironmentVariableIsSet("DSPLAB_FUZZ_SCRIPT"))
        std::fprintf(stderr, "dsplab %s%s\n", qPrintable(result.script.join(QLatin1Char(' '))),
                     result.ended ? "   (the program ended)" : "");
    if (result.nonFiniteCoordinates != 0)
        fail("a coordinate that is not a finite number reached the canvas", result.script);
    if (QApplication::topLevelWidgets().size() != windowsBefore)
        fail("a window outlived the program run", result.script);
    return 0;
}
