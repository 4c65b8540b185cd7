// What the canvas tools write out: the picture and the data tables, to the clipboard, through a
// save dialog, or for the scripted driver's --export.

#include "screens/canvas_tools.h"

#include "forms/form.h"
#include "forms/safe_file.h"
#include "forms/vector_export.h"
#include "screens/analysis_tools.h"
#include "screens/preferences.h"
#include "screens/slide.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QRegularExpression>

namespace screens {
namespace {

using forms::ExportOutcome;
using Thing = CanvasTools::Thing;

struct ThingInfo {
    Thing thing;
    const char* what;    // as --export names it
    const char* title;   // of the save dialog
    const char* filters; // the dialog's, ";;" between them, the first one offered first
};

const ThingInfo kThings[] = {
    {Thing::Picture, "picture", "Save picture",
     "PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"},
    {Thing::Slide, "slide", "Save slide",
     "PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"},
    {Thing::Taps, "taps", "Save taps",
     "CSV table (*.csv);;Text, one tap a line (*.txt);;C header (*.h);;Python (*.py)"},
    {Thing::Response, "response", "Save response", "CSV table (*.csv)"},
    {Thing::Curve, "curve", "Save curve", "CSV table (*.csv)"},
    {Thing::Spectrum, "spectrum", "Save spectrum", "CSV table (*.csv)"},
    {Thing::Sound, "sound", "Save sound", "WAV sound (*.wav)"},
    {Thing::Noise, "noise", "Save noise alone", "WAV sound (*.wav)"},
};

const ThingInfo& infoOf(Thing thing)
{
    for (const ThingInfo& info : kThings)
        if (info.thing == thing)
            return info;
    return kThings[0];
}

// The extensions of a filter list, in order: "CSV table (*.csv);;..." gives "csv", ...
QStringList extensionsOf(const QString& filters)
{
    static const QRegularExpression pattern(QStringLiteral("\\(\\*\\.([a-z]+)\\)"));
    QStringList extensions;
    for (auto match = pattern.globalMatch(filters); match.hasNext();)
        extensions << match.next().captured(1);
    return extensions;
}

// "taps are written as .csv, .txt, .h or .py"
QString formsWritten(const ThingInfo& info)
{
    QStringList dotted;
    for (const QString& extension : extensionsOf(QString::fromLatin1(info.filters)))
        dotted << QLatin1Char('.') + extension;
    const QString last = dotted.takeLast();
    const QString list =
        dotted.isEmpty() ? last : dotted.join(QStringLiteral(", ")) + QStringLiteral(" or ") + last;
    const bool one = info.thing == Thing::Picture || info.thing == Thing::Slide
        || info.thing == Thing::Sound || info.thing == Thing::Noise;
    return QStringLiteral("%1 %2 written as %3")
        .arg(QLatin1String(info.what), QLatin1String(one ? "is" : "are"), list);
}

QString extensionOf(const QString& fileName) { return QFileInfo(fileName).suffix().toLower(); }

ExportOutcome written(const std::string& contents)
{
    return {true, QByteArray::fromStdString(contents), {}};
}

ExportOutcome refused(const QString& fileName, const ThingInfo& info)
{
    return {true, {}, QStringLiteral("%1: %2").arg(fileName, formsWritten(info))};
}

} // namespace

QString exportHelp()
{
    return QStringLiteral(
        "WHAT is picture or slide (.png, .svg or .pdf), taps (.csv, .txt, .h or .py), "
        "response, curve or spectrum (.csv), sound or noise (.wav), and from an open Analysis "
        "window analysis (.csv, .png, .svg or .pdf), analysis-slide (.png, .svg or .pdf) or "
        "through-spectrum (.csv).");
}

forms::ExportOutcome CanvasTools::exportAs(const QString& what, const QString& fileName) const
{
    for (const ThingInfo& info : kThings)
        if (what == QLatin1String(info.what))
            return exportThing(info.thing, fileName);
    return m_analysis->exportAs(what, fileName);
}

forms::ExportOutcome CanvasTools::exportThing(Thing thing, const QString& fileName) const
{
    if (thing == Thing::Slide)
        return exportSlide(fileName);
    return thing == Thing::Picture ? exportPicture(fileName) : exportTable(thing, fileName);
}

// PNG is the canvas image itself; SVG and PDF replay the drawing calls as vectors.
forms::ExportOutcome CanvasTools::exportPicture(const QString& fileName) const
{
    const auto format = forms::pictureFormatForFile(fileName);
    if (!format)
        return refused(fileName, infoOf(Thing::Picture));
    const QSize size = m_form.clientPixels();
    const forms::DrawingRecord& record = m_form.drawingRecord();
    switch (*format) {
    case forms::PictureFormat::Png:
        return {true, forms::pngOf(m_form.canvasImage()), {}};
    case forms::PictureFormat::Svg:
        return {true, forms::svgOf(record, size, m_form.caption()), {}};
    case forms::PictureFormat::Pdf:
        return {true, forms::pdfOf(record, size, m_form.caption()), {}};
    }
    return {};
}

// The slide at the session's scale, in any of the picture's forms.
forms::ExportOutcome CanvasTools::exportSlide(const QString& fileName) const
{
    const auto format = forms::pictureFormatForFile(fileName);
    if (!format)
        return refused(fileName, infoOf(Thing::Slide));
    return {true, slideFile(slideContent(), *format, m_state.slideScale), {}};
}

forms::ExportOutcome CanvasTools::exportTable(Thing thing, const QString& fileName) const
{
    const bool csv = extensionOf(fileName) == QLatin1String("csv");
    switch (thing) {
    case Thing::Taps:
        if (const auto taps = m_content.taps()) {
            const std::string name = QFileInfo(fileName).fileName().toStdString();
            const auto format = dsp::tapFormatForFile(name);
            return format ? written(dsp::formatTaps(*taps, *format, name))
                          : refused(fileName, infoOf(thing));
        }
        return {};
    case Thing::Response:
        if (const auto rows = m_content.response())
            return csv ? written(dsp::formatResponseCsv(*rows)) : refused(fileName, infoOf(thing));
        return {};
    case Thing::Curve:
        if (const auto rows = m_content.curve())
            return csv ? written(dsp::formatCurveCsv(*rows)) : refused(fileName, infoOf(thing));
        return {};
    case Thing::Spectrum:
        if (const auto rows = m_content.spectrum())
            return csv ? written(dsp::formatSpectrumCsv(*rows)) : refused(fileName, infoOf(thing));
        return {};
    case Thing::Sound:
    case Thing::Noise:
        if (const auto sound = soundOf(thing))
            return extensionOf(fileName) == QLatin1String("wav") ? written(dsp::wavFile(*sound))
                                                                 : refused(fileName, infoOf(thing));
        return {};
    case Thing::Picture:
    case Thing::Slide:
        break;
    }
    return {};
}

// The image for pasting into slides, and the drawing as SVG for programs that take vectors.
void CanvasTools::copyPicture()
{
    auto* data = new QMimeData;
    data->setImageData(m_form.canvasImage());
    data->setData(QStringLiteral("image/svg+xml"),
                  forms::svgOf(m_form.drawingRecord(), m_form.clientPixels(), m_form.caption()));
    QApplication::clipboard()->setMimeData(data);
}

void CanvasTools::copyTaps()
{
    if (const auto taps = m_content.taps())
        QApplication::clipboard()->setText(
            QString::fromStdString(dsp::formatTaps(*taps, dsp::TapFormat::Text)));
}

QString CanvasTools::suggestedPath(Thing thing) const
{
    const ThingInfo& info = infoOf(thing);
    const QString what = QLatin1String(info.what);
    const auto thisRun = m_state.lastFolders.find(what);
    const QString remembered = thisRun != m_state.lastFolders.end()
        ? thisRun->second
        : Preferences::instance().folderFor(what);
    const QString folder = remembered.isEmpty() ? QDir::currentPath() : remembered;
    const QString design = m_content.fileStem();
    const QString stem = (design.isEmpty() ? m_form.name().toLower() : design)
        + (thing == Thing::Picture ? QString() : QLatin1Char('-') + QLatin1String(info.what));
    const QString extension = extensionsOf(QString::fromLatin1(info.filters)).front();
    return QDir(folder).filePath(stem + QLatin1Char('.') + extension);
}

// The file's extension picks the form; a name without one takes the chosen filter's. A refusal
// or a failed write is shown and nothing is lost: the drawing stays, and a file that stood at
// the name stays as it was.
void CanvasTools::saveWithDialog(Thing thing)
{
    const ThingInfo& info = infoOf(thing);
    const QString title = tr(info.title);
    QString filter;
    QString file = QFileDialog::getSaveFileName(&m_form, title, suggestedPath(thing),
                                                QString::fromLatin1(info.filters), &filter);
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty() && !extensionsOf(filter).isEmpty())
        file += QLatin1Char('.') + extensionsOf(filter).front();
    const ExportOutcome outcome = exportThing(thing, file);
    QString error = outcome.offered ? outcome.problem : tr("There is nothing to save.");
    if (error.isEmpty())
        forms::safefile::writeFile(file, outcome.contents, &error);
    if (!error.isEmpty())
        QMessageBox::warning(&m_form, title, error);
    const QString folder = QFileInfo(file).absolutePath();
    m_state.lastFolders[QLatin1String(info.what)] = folder;
    Preferences::instance().setFolderFor(QLatin1String(info.what), folder);
}

} // namespace screens
