// Reading the command line of a scripted run into its steps, and describing a step as written.
#include "forms/script.h"

#include <QFile>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace forms {
namespace {

// Long answers are cut in messages, so that one line still says which step it was. The cut
// falls between characters as a reader sees them, never inside a surrogate pair (which would
// leave text that is not UTF-8) or a combining sequence.
QString shortened(const QString& text)
{
    constexpr int kShown = 40;
    if (text.size() <= kShown)
        return text;
    QTextBoundaryFinder boundaries(QTextBoundaryFinder::Grapheme, text);
    boundaries.setPosition(kShown);
    if (!boundaries.isAtBoundary())
        boundaries.toPreviousBoundary();
    const qsizetype cut = std::max<qsizetype>(boundaries.position(), 0);
    return QStringLiteral("%1... (%2 characters)").arg(text.left(cut)).arg(text.size());
}

// The options that script a user's actions: each adds one step, taking 0, 1 or 2 values (the
// second one a file name), or 3 values that make its text.
struct StepOption {
    const char* name;
    Step::Kind kind;
    int values;
};

constexpr StepOption kStepOptions[] = {
    {"--answer", Step::Kind::Answer, 1},
    {"--cancel", Step::Kind::Cancel, 0},
    {"--click", Step::Kind::Click, 1},
    {"--toggle", Step::Kind::Toggle, 1},
    {"--menu", Step::Kind::Menu, 1},
    {"--close", Step::Kind::Close, 0},
    {"--export", Step::Kind::Export, 2},
    {"--hold", Step::Kind::Hold, 0},
    {"--listen-fundamental", Step::Kind::Fundamental, 1},
    {"--explore", Step::Kind::Explore, 1},
    {"--axes", Step::Kind::Axes, 1},
    {"--analyse", Step::Kind::Analyse, 1},
    {"--through", Step::Kind::Through, 3},
};

const StepOption* stepOption(Step::Kind kind)
{
    for (const StepOption& option : kStepOptions)
        if (option.kind == kind)
            return &option;
    return nullptr;
}

const StepOption* stepOption(const QString& name)
{
    for (const StepOption& option : kStepOptions)
        if (name == QLatin1String(option.name))
            return &option;
    return nullptr;
}

// Reads the command line one option at a time; the first problem stops it.
class ScriptReader {
public:
    ScriptReader(const QStringList& arguments, const QList<QByteArray>& bytes)
        : m_arguments(arguments), m_bytes(bytes)
    {
    }

    Script read()
    {
        while (m_script.error.isEmpty() && m_index < m_arguments.size())
            readOption(m_arguments[m_index++]);
        return m_script;
    }

private:
    std::optional<QString> value(const QString& option)
    {
        if (m_index < m_arguments.size())
            return m_arguments[m_index++];
        m_script.error = QStringLiteral("%1 needs a value").arg(option);
        return std::nullopt;
    }

    // The last value read, as the command line gave it.
    QByteArray lastValueBytes() const
    {
        const qsizetype index = m_index - 1;
        return index < m_bytes.size() ? m_bytes[index] : QFile::encodeName(m_arguments[index]);
    }

    void readOption(const QString& option)
    {
        if (option == QLatin1String("--help") || option == QLatin1String("-h"))
            m_script.help = true;
        else if (option == QLatin1String("--version"))
            m_script.version = true;
        else if (const StepOption* step = stepOption(option))
            readStep(*step);
        else if (option == QLatin1String("--screen"))
            m_script.screen = readOnce(option, QStringLiteral("a screen name"), m_screenGiven)
                                  .value_or(QString());
        else if (option == QLatin1String("--slide-scale"))
            readSlideScale(option);
        else if (option == QLatin1String("--snapshot")) {
            m_script.snapshotFolder =
                readOnce(option, QStringLiteral("a folder name"), m_snapshotGiven);
            m_script.snapshotPath = lastValueBytes();
        } else
            m_script.error = QStringLiteral("unknown option %1").arg(option);
    }

    void readStep(const StepOption& option)
    {
        const QString name = QLatin1String(option.name);
        if (option.values == 3) {
            readThreeValues(option);
            return;
        }
        const auto text = option.values > 0 ? value(name) : QString();
        const auto file = option.values > 1 && text ? value(name) : QString();
        if (!text || !file)
            return;
        if (option.values > 1 && file->isEmpty())
            m_script.error = QStringLiteral("%1 needs a file name").arg(name);
        else if (option.kind == Step::Kind::Axes && *text != QLatin1String("on")
                 && *text != QLatin1String("off"))
            m_script.error =
                QStringLiteral("%1 takes on or off, not \"%2\"").arg(name, shortened(*text));
        else
            m_script.steps.push_back(
                {option.kind, *text, *file, option.values > 1 ? lastValueBytes() : QByteArray()});
    }

    void readSlideScale(const QString& option)
    {
        const auto text = value(option);
        if (!text)
            return;
        bool whole = false;
        const int scale = text->trimmed().toInt(&whole);
        if (!whole || scale < kSlideScaleLeast || scale > kSlideScaleMost)
            m_script.error = QStringLiteral("%1 takes a whole number from %2 to %3, not \"%4\"")
                                 .arg(option)
                                 .arg(kSlideScaleLeast)
                                 .arg(kSlideScaleMost)
                                 .arg(shortened(*text));
        else
            m_script.slideScale = scale;
    }

    void readThreeValues(const StepOption& option)
    {
        const QString name = QLatin1String(option.name);
        QStringList values;
        for (int i = 0; i < 3; ++i) {
            const auto text = value(name);
            if (!text)
                return;
            values << *text;
        }
        m_script.steps.push_back({option.kind, values.join(QLatin1Char(' '))});
    }

    // --screen and --snapshot: one non-blank value, given once. On a problem the error is set
    // and reading stops, so what is returned then is never used.
    std::optional<QString> readOnce(const QString& option, const QString& what, bool& given)
    {
        const auto text = value(option);
        if (!text)
            return std::nullopt;
        if (text->trimmed().isEmpty())
            m_script.error = QStringLiteral("%1 needs %2").arg(option, what);
        else if (given)
            m_script.error = QStringLiteral("%1 given more than once").arg(option);
        given = true;
        return text;
    }

    const QStringList& m_arguments;
    const QList<QByteArray>& m_bytes;
    qsizetype m_index = 0;
    Script m_script;
    bool m_screenGiven = false;
    bool m_snapshotGiven = false;
};

} // namespace

QString Step::describe() const
{
    const StepOption* option = stepOption(kind);
    if (!option)
        return {};
    const QString name = QString::fromLatin1(option->name);
    if (option->values > 2)
        return QStringLiteral("%1 %2").arg(name, shortened(text));
    if (option->values > 1)
        return QStringLiteral("%1 %2 \"%3\"").arg(name, shortened(text), shortened(file));
    return option->values > 0 ? QStringLiteral("%1 \"%2\"").arg(name, shortened(text)) : name;
}

Script parseScript(const QStringList& arguments, const QList<QByteArray>& bytes)
{
    return ScriptReader(arguments, bytes).read();
}

} // namespace forms
