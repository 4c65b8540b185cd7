#include "screens/analysis_tools.h"

#include "dsp/answer.h"
#include "forms/form.h"
#include "screens/analysis_window.h"
#include "screens/canvas_tools.h"

#include <QAction>
#include <QLocale>
#include <QScreen>

#include <cmath>

namespace screens {
namespace {

struct WaveName {
    const char* name;
    dsp::Wave wave;
};
constexpr WaveName kWaveNames[] = {
    {"square", dsp::Wave::Square},
    {"triangle", dsp::Wave::Triangle},
    {"sawtooth", dsp::Wave::Sawtooth},
    {"full-wave", dsp::Wave::FullWaveRectified},
    {"half-wave", dsp::Wave::HalfWaveRectified},
};

std::optional<double> numberIn(const QString& text)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

// square, triangle, sawtooth, full-wave, half-wave, or pulse:D with D from 0 to 1.
std::optional<ThroughChoice> waveNamed(const QString& name)
{
    ThroughChoice choice;
    for (const WaveName& entry : kWaveNames)
        if (name == QLatin1String(entry.name)) {
            choice.wave = entry.wave;
            return choice;
        }
    const QString pulse = QStringLiteral("pulse:");
    if (!name.startsWith(pulse))
        return std::nullopt;
    const auto duty = numberIn(name.mid(pulse.size()));
    if (!duty || *duty < 0 || *duty > 1)
        return std::nullopt;
    choice.wave = dsp::Wave::PulseTrain;
    choice.dutyCycle = *duty;
    return choice;
}

} // namespace

ThroughReading readThrough(const QString& waveHarmonicsFundamental)
{
    const QStringList parts = waveHarmonicsFundamental.split(QLatin1Char(' '));
    if (parts.size() != 3)
        return {std::nullopt, QObject::tr("write WAVE HARMONICS F0")};
    auto choice = waveNamed(parts[0]);
    if (!choice)
        return {std::nullopt,
                QObject::tr("WAVE is square, triangle, sawtooth, full-wave, "
                            "half-wave or pulse:D (D from 0 to 1), not \"%1\"")
                    .arg(parts[0])};
    bool whole = false;
    const int harmonics = parts[1].toInt(&whole);
    if (!whole || harmonics < 0 || harmonics > dsp::kMostHarmonics)
        return {std::nullopt,
                QObject::tr("HARMONICS takes a whole number from 0 to 32767, not \"%1\"")
                    .arg(parts[1])};
    const auto fundamental = numberIn(parts[2]);
    if (!fundamental || *fundamental <= 0)
        return {std::nullopt,
                QObject::tr("F0 takes a number of hertz above 0, not \"%1\"").arg(parts[2])};
    choice->harmonics = harmonics;
    choice->fundamentalHz = *fundamental;
    return {choice, {}};
}

AnalysisTools::AnalysisTools(forms::Form& form, const CanvasContent& content,
                             std::map<QString, AnalysisKept>& kept)
    : QObject(&form), m_form(form), m_content(content), m_kept(kept)
{
    setObjectName(QStringLiteral("analysisTools")); // the scripted driver finds it
    m_entry = new QAction(tr("Analyse..."), this);
    m_entry->setObjectName(QStringLiteral("analyse"));
    m_entry->setShortcut(Qt::CTRL | Qt::SHIFT | Qt::Key_A);
    m_entry->setShortcutVisibleInContextMenu(true);
    connect(m_entry, &QAction::triggered, this, &AnalysisTools::open);
    form.addAction(m_entry);
}

std::optional<AnalysisDesign> AnalysisTools::design() const
{
    const auto filter = m_content.noiseFilter();
    if (!filter)
        return std::nullopt;
    return AnalysisDesign{filter->taps, filter->samplingHz};
}

AnalysisWindow* AnalysisTools::window() const { return m_window; }

bool AnalysisTools::offered() const { return m_content.noiseFilter().has_value(); }

AnalysisKept& AnalysisTools::kept() const { return m_kept[m_form.name()]; }

// Beside the screen on its left, where the Explore panel, on its right, leaves it be; else
// over the screen's left part.
void AnalysisTools::open()
{
    const auto current = design();
    if (!current)
        return;
    kept().open = true;
    if (!m_window) {
        m_window = new AnalysisWindow(m_form, m_form.name(), kept());
        const QRect screen = m_form.frameGeometry();
        const QScreen* display = m_form.screen();
        const QRect room = display ? display->availableGeometry() : QRect();
        const int left = screen.left() - m_window->frameGeometry().width() - 8;
        m_window->move(room.isValid() && left < room.left() ? room.left() : left, screen.top());
    }
    m_window->setDesign(*current);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void AnalysisTools::drawingChanged()
{
    if (m_window)
        m_window->setDesign(design().value_or(AnalysisDesign{}));
    else if (offered() && kept().open)
        open();
}

// The view's data as CSV, or its picture as the window's "Save picture..." and "Save slide..."
// write it.
forms::ExportOutcome AnalysisTools::exportAs(const QString& what, const QString& fileName) const
{
    const bool spectrum = what == QLatin1String("through-spectrum");
    const bool slide = what == QLatin1String("analysis-slide");
    if ((what != QLatin1String("analysis") && !spectrum && !slide) || !m_window
        || !m_window->isVisible() || m_window->design().taps.empty())
        return {};
    const auto picture = forms::pictureFormatForFile(fileName);
    if (!spectrum && picture)
        return {
            true, m_window->pictureFile(*picture, slide ? kSlideSize : m_window->plotSize()), {}};
    const bool csv = fileName.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive);
    if (slide || !csv)
        return {true,
                {},
                tr("%1: %2 is written as %3")
                    .arg(fileName, what,
                         slide          ? tr(".png, .svg or .pdf")
                             : spectrum ? tr(".csv")
                                        : tr(".csv, .png, .svg or .pdf"))};
    const AnalysisDesign& current = m_window->design();
    const std::string contents = spectrum ? throughSpectrumCsv(current, kept().through)
                                          : analysisCsv(m_window->view(), current, kept().through);
    return {true, QByteArray::fromStdString(contents), {}};
}

QString AnalysisTools::analyseStep(const QString& view)
{
    const auto chosen = analysisViewNamed(view);
    if (!chosen)
        return tr("VIEW is impulse, step, group-delay, zeros or through, not \"%1\"").arg(view);
    if (!offered())
        return tr("%1 has no design to analyse").arg(m_form.name());
    kept().view = *chosen;
    open();
    m_window->showView(*chosen);
    return {};
}

QString AnalysisTools::throughStep(const QString& waveHarmonicsFundamental)
{
    const ThroughReading reading = readThrough(waveHarmonicsFundamental);
    if (!reading.choice)
        return reading.problem;
    if (!offered())
        return tr("%1 has no design to analyse").arg(m_form.name());
    kept().through = *reading.choice;
    kept().view = AnalysisView::Through;
    open();
    m_window->showView(AnalysisView::Through);
    return {};
}

} // namespace screens
