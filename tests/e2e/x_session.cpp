#include "x_session.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>

namespace e2e {
namespace {

QString regexOfTitle(const QString& title)
{
    QString pattern = QStringLiteral("^");
    for (const QChar c : title) {
        if (QStringLiteral("\\.[](){}?*+|^$").contains(c))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('$');
}

// Controls whose look follows the focus and the pointer.
bool takesFocus(const QString& name)
{
    static const QRegularExpression focusable(
        QStringLiteral("^(Command|List|Check|Text)\\d+$|^cmdOK$"));
    return focusable.match(name).hasMatch();
}

} // namespace

XSession::XSession(QSize screen)
{
    // Xvfb picks a free display and writes its number to standard output once it serves it.
    m_server.start(QStringLiteral("Xvfb"),
                   {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                    QStringLiteral("0"),
                    QStringLiteral("%1x%2x24").arg(screen.width()).arg(screen.height()),
                    QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!m_server.waitForStarted(5000))
        return;
    waitUntil(
        [this] {
            m_server.waitForReadyRead(50);
            return m_server.canReadLine() || m_server.state() != QProcess::Running;
        },
        15000);
    const QString number = QString::fromLatin1(m_server.readLine()).trimmed();
    if (number.isEmpty())
        return;
    m_display = QLatin1Char(':') + number;
    m_windowManager.setProcessEnvironment(environment());
    m_windowManager.start(QStringLiteral("openbox"), {});
    m_windowManager.waitForStarted(5000);
    m_ready = waitUntil([this] {
        return run(QStringLiteral("xprop"),
                   {QStringLiteral("-root"), QStringLiteral("_NET_SUPPORTING_WM_CHECK")})
            .contains("window id");
    });
}

XSession::~XSession()
{
    for (QProcess* process : {&m_windowManager, &m_server}) {
        process->terminate();
        if (!process->waitForFinished(5000))
            process->kill();
        process->waitForFinished(2000);
    }
}

QProcessEnvironment XSession::environment() const
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.insert(QStringLiteral("DISPLAY"), m_display);
    return environment;
}

QByteArray XSession::run(const QString& program, const QStringList& arguments, int timeoutMs) const
{
    QProcess process;
    process.setProcessEnvironment(environment());
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        return {};
    }
    return process.readAllStandardOutput();
}

namespace {

RealProgram::Command programCommand(const QStringList& arguments, const QStringList& launcher)
{
    const QString binary = QStringLiteral(DSPLAB_BINARY);
    if (launcher.isEmpty())
        return {binary, arguments};
    return {launcher.front(), launcher.mid(1) + QStringList{binary} + arguments};
}

} // namespace

RealProgram::RealProgram(const XSession& session, const QStringList& arguments,
                         const QProcessEnvironment& extra, const QStringList& launcher)
    : RealProgram(session, programCommand(arguments, launcher), extra)
{
}

RealProgram::RealProgram(const XSession& session, const Command& command,
                         const QProcessEnvironment& extra)
    : m_session(session)
{
    QProcessEnvironment environment = session.environment();
    for (const QString& key : extra.keys())
        environment.insert(key, extra.value(key));
    m_process.setProcessEnvironment(environment);
    m_process.start(command.program, command.arguments);
    m_process.waitForStarted(5000);
}

// Asked to end first, so that the program removes what it made (its runtime folder); a kill,
// which nothing can answer, only when it does not.
RealProgram::~RealProgram()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (m_process.waitForFinished(5000))
        return;
    m_process.kill();
    m_process.waitForFinished(5000);
}

std::optional<QString> RealProgram::window(const QString& title, int timeoutMs) const
{
    QString found;
    const QStringList search{QStringLiteral("search"),
                             QStringLiteral("--all"),
                             QStringLiteral("--onlyvisible"),
                             QStringLiteral("--pid"),
                             QString::number(m_process.processId()),
                             QStringLiteral("--name"),
                             regexOfTitle(title)};
    const bool shown = waitUntil(
        [&] {
            const QStringList ids =
                QString::fromLatin1(m_session.run(QStringLiteral("xdotool"), search))
                    .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
            if (ids.isEmpty())
                return false;
            found = ids.last();
            return true;
        },
        timeoutMs);
    return shown ? std::optional<QString>(found) : std::nullopt;
}

void RealProgram::activate(const QString& windowId) const
{
    m_session.run(QStringLiteral("xdotool"),
                  {QStringLiteral("windowactivate"), QStringLiteral("--sync"), windowId});
}

bool RealProgram::answer(const QString& title, const QString& text) const
{
    const auto box = window(title);
    if (!box)
        return false;
    activate(*box);
    key(QStringLiteral("ctrl+a"));
    if (text.isEmpty())
        key(QStringLiteral("BackSpace"));
    else
        type(text);
    key(QStringLiteral("Return"));
    // The box goes once its answer is taken.
    return waitUntil([&] { return !window(title, 0); });
}

void RealProgram::key(const QString& keys) const
{
    m_session.run(QStringLiteral("xdotool"),
                  {QStringLiteral("key"), QStringLiteral("--clearmodifiers"), keys});
}

void RealProgram::type(const QString& text) const
{
    m_session.run(QStringLiteral("xdotool"),
                  {QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("15"),
                   QStringLiteral("--"), text});
}

void RealProgram::click(const QString& windowId, QPoint clientPoint, int clientHeight) const
{
    const QRect own = area(windowId);
    const QPoint at = own.topLeft() + QPoint(0, own.height() - clientHeight) + clientPoint;
    m_session.run(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QString::number(at.x()), QString::number(at.y()),
                   QStringLiteral("click"), QStringLiteral("1")});
    // Away again, so no control shows the pointer over it in the pictures that follow.
    m_session.run(QStringLiteral("xdotool"),
                  {QStringLiteral("mousemove"), QStringLiteral("0"), QStringLiteral("0")});
}

QImage RealProgram::picture(const QString& windowId) const
{
    const QByteArray png = m_session.run(
        QStringLiteral("import"),
        {QStringLiteral("-silent"), QStringLiteral("-window"), windowId, QStringLiteral("png:-")});
    return QImage::fromData(png, "PNG").convertToFormat(QImage::Format_RGB32);
}

QRect RealProgram::area(const QString& windowId) const
{
    const QString info = QString::fromLatin1(
        m_session.run(QStringLiteral("xwininfo"), {QStringLiteral("-id"), windowId}));
    const auto number = [&info](const char* field) {
        const QRegularExpression line(QStringLiteral("%1:\\s+(-?\\d+)").arg(QLatin1String(field)));
        return line.match(info).captured(1).toInt();
    };
    return QRect(number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                 number("Height"));
}

QRect RealProgram::frame(const QString& windowId) const
{
    const QString extents = QString::fromLatin1(
        m_session.run(QStringLiteral("xprop"),
                      {QStringLiteral("-id"), windowId, QStringLiteral("_NET_FRAME_EXTENTS")}));
    const QRegularExpression numbers(
        QStringLiteral("=\\s*(\\d+),\\s*(\\d+),\\s*(\\d+),\\s*(\\d+)"));
    const auto match = numbers.match(extents);
    const QRect own = area(windowId);
    if (!match.hasMatch())
        return own;
    return own.adjusted(-match.captured(1).toInt(), -match.captured(3).toInt(),
                        match.captured(2).toInt(), match.captured(4).toInt());
}

bool RealProgram::finished(int timeoutMs)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(timeoutMs);
}

QImage SnapshotRun::picture(const QString& form) const
{
    return QImage(QDir(folder).filePath(form + QStringLiteral(".png")))
        .convertToFormat(QImage::Format_RGB32);
}

QImage SnapshotRun::canvas(const QString& form) const
{
    return QImage(QDir(folder).filePath(form + QStringLiteral(".canvas.png")))
        .convertToFormat(QImage::Format_RGB32);
}

QJsonObject SnapshotRun::window(const QString& form) const
{
    for (const QJsonValue& window : state.value(QStringLiteral("windows")).toArray())
        if (window.toObject().value(QStringLiteral("name")).toString() == form)
            return window.toObject();
    return {};
}

SnapshotRun snapshot(const QStringList& arguments, const QString& folder)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(DSPLAB_BINARY),
                  arguments + QStringList{QStringLiteral("--snapshot"), folder});
    SnapshotRun run;
    run.folder = folder;
    if (!process.waitForFinished(60000))
        return run;
    run.exitCode = process.exitCode();
    QFile json(QDir(folder).filePath(QStringLiteral("state.json")));
    if (json.open(QIODevice::ReadOnly))
        run.state = QJsonDocument::fromJson(json.readAll()).object();
    return run;
}

QImage clientOf(const QImage& windowPicture, QSize client)
{
    if (windowPicture.width() < client.width() || windowPicture.height() < client.height())
        return {};
    return windowPicture.copy(0, windowPicture.height() - client.height(), client.width(),
                              client.height());
}

int differingPixels(const QImage& shown, const QImage& expected, const QJsonObject& window,
                    Mask mask)
{
    if (shown.size() != expected.size() || shown.isNull())
        return std::max(1, expected.width() * expected.height());
    QImage masked(expected.size(), QImage::Format_Mono);
    masked.fill(0);
    const QJsonObject places = window.value(QStringLiteral("places")).toObject();
    for (const QString& name : places.keys()) {
        if (mask == Mask::FocusableControls && !takesFocus(name))
            continue;
        const QJsonArray r = places.value(name).toArray();
        const QRect place =
            QRect(r[0].toInt(), r[1].toInt(), r[2].toInt(), r[3].toInt()).adjusted(-3, -3, 3, 3);
        for (int y = std::max(0, place.top()); y <= std::min(masked.height() - 1, place.bottom());
             ++y)
            for (int x = std::max(0, place.left());
                 x <= std::min(masked.width() - 1, place.right()); ++x)
                masked.setPixel(x, y, 1);
    }
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            differing += masked.pixelIndex(x, y) == 0 && shown.pixel(x, y) != expected.pixel(x, y);
    return differing;
}

} // namespace e2e
