#include "screens/analysis_window.h"

#include "dsp/answer.h"
#include "forms/safe_file.h"

#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

namespace screens {
namespace {

struct WaveEntry {
    dsp::Wave wave;
    const char* caption;
};
constexpr WaveEntry kWaves[] = {
    {dsp::Wave::Square, "Square"},
    {dsp::Wave::Triangle, "Triangle"},
    {dsp::Wave::Sawtooth, "Sawtooth"},
    {dsp::Wave::FullWaveRectified, "Full-wave rectified sine"},
    {dsp::Wave::HalfWaveRectified, "Half-wave rectified sine"},
    {dsp::Wave::PulseTrain, "Pulse train"},
};

QLabel* labelFor(QWidget* control, const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(control);
    return label;
}

} // namespace

AnalysisPlot::AnalysisPlot(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("analysisPlot"));
    setMouseTracking(true);
    setMinimumSize(480, 320);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void AnalysisPlot::setPicture(const AnalysisPicture& picture)
{
    m_picture = picture;
    update();
    emit readoutChanged(analysisReadout(m_picture, QRectF(rect()), m_pointer));
}

void AnalysisPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintAnalysis(painter, QRectF(rect()), m_picture);
}

void AnalysisPlot::mouseMoveEvent(QMouseEvent* event)
{
    m_pointer = event->position();
    emit readoutChanged(analysisReadout(m_picture, QRectF(rect()), m_pointer));
}

void AnalysisPlot::leaveEvent(QEvent*)
{
    m_pointer = QPointF(-1, -1);
    emit readoutChanged({});
}

void AnalysisPlot::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("analysisMenu"));
    menu.addAction(tr("Save data..."), this, &AnalysisPlot::saveData);
    if (m_picture.panels.size() > 1)
        menu.addAction(tr("Save line spectra..."), this, &AnalysisPlot::saveSpectrum);
    menu.addSeparator();
    menu.addAction(tr("Save picture..."), this, [this] { emit savePicture(false); });
    menu.addAction(tr("Save slide..."), this, [this] { emit savePicture(true); });
    menu.exec(event->globalPos());
}

AnalysisWindow::AnalysisWindow(QWidget& owner, const QString& screenName, AnalysisKept& kept)
    : QWidget(&owner, Qt::Window), m_screenName(screenName), m_kept(kept)
{
    setObjectName(QStringLiteral("analysisWindow"));
    // The snapshot pictures it beside its screen.
    setProperty("snapshotName", QStringLiteral("%1.analysis").arg(screenName));
    m_tabs = new QTabBar(this);
    m_tabs->setObjectName(QStringLiteral("analysisViews"));
    for (AnalysisView view : kAnalysisViews)
        m_tabs->addTab(analysisViewTitle(view));
    m_plot = new AnalysisPlot(this);
    m_readout = new QLabel(this);
    m_readout->setObjectName(QStringLiteral("analysisReadout"));
    m_readout->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    layout->addWidget(makeThroughControls());
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_readout);
    m_tabs->setCurrentIndex(static_cast<int>(m_kept.view));
    connect(m_tabs, &QTabBar::currentChanged, this,
            [this](int index) { showView(kAnalysisViews[index]); });
    connect(m_plot, &AnalysisPlot::readoutChanged, m_readout, &QLabel::setText);
    connect(m_plot, &AnalysisPlot::saveData, this, [this] { saveTable(false); });
    connect(m_plot, &AnalysisPlot::saveSpectrum, this, [this] { saveTable(true); });
    connect(m_plot, &AnalysisPlot::savePicture, this, &AnalysisWindow::savePicture);
    showThroughControls();
    resize(760, 560);
}

QWidget* AnalysisWindow::makeThroughControls()
{
    m_throughControls = new QWidget(this);
    m_wave = new QComboBox(m_throughControls);
    m_wave->setObjectName(QStringLiteral("wave"));
    for (const WaveEntry& entry : kWaves)
        m_wave->addItem(tr(entry.caption));
    m_harmonics = new QSpinBox(m_throughControls);
    m_harmonics->setObjectName(QStringLiteral("harmonics"));
    m_harmonics->setRange(0, static_cast<int>(dsp::kMostHarmonics));
    m_duty = new QDoubleSpinBox(m_throughControls);
    m_duty->setObjectName(QStringLiteral("duty"));
    m_duty->setRange(0, 1);
    m_duty->setDecimals(3);
    m_duty->setSingleStep(0.05);
    m_fundamental = new QDoubleSpinBox(m_throughControls);
    m_fundamental->setObjectName(QStringLiteral("fundamental"));
    m_fundamental->setRange(0.001, 1e9);
    m_fundamental->setDecimals(3);
    m_fundamental->setSuffix(QStringLiteral(" Hz"));
    auto* row = new QHBoxLayout(m_throughControls);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(labelFor(m_wave, tr("&Wave"), m_throughControls));
    row->addWidget(m_wave);
    row->addWidget(labelFor(m_harmonics, tr("&Harmonics"), m_throughControls));
    row->addWidget(m_harmonics);
    row->addWidget(labelFor(m_duty, tr("&Duty cycle"), m_throughControls));
    row->addWidget(m_duty);
    row->addWidget(labelFor(m_fundamental, tr("&Fundamental"), m_throughControls));
    row->addWidget(m_fundamental);
    row->addStretch();
    connect(m_wave, &QComboBox::currentIndexChanged, this, [this] { takeThroughControls(); });
    connect(m_harmonics, &QSpinBox::valueChanged, this, [this] { takeThroughControls(); });
    connect(m_duty, &QDoubleSpinBox::valueChanged, this, [this] { takeThroughControls(); });
    connect(m_fundamental, &QDoubleSpinBox::valueChanged, this, [this] { takeThroughControls(); });
    return m_throughControls;
}

void AnalysisWindow::takeThroughControls()
{
    if (m_settingControls)
        return;
    m_kept.through = {kWaves[std::max(m_wave->currentIndex(), 0)].wave, m_harmonics->value(),
                      m_duty->value(), m_fundamental->value()};
    m_duty->setEnabled(m_kept.through.wave == dsp::Wave::PulseTrain);
    redraw();
}

// The controls show the kept wave; setting them draws nothing by itself.
void AnalysisWindow::showThroughControls()
{
    m_settingControls = true;
    for (int i = 0; i < static_cast<int>(std::size(kWaves)); ++i)
        if (kWaves[i].wave == m_kept.through.wave)
            m_wave->setCurrentIndex(i);
    m_harmonics->setValue(m_kept.through.harmonics);
    m_duty->setValue(m_kept.through.dutyCycle);
    m_fundamental->setValue(m_kept.through.fundamentalHz);
    m_duty->setEnabled(m_kept.through.wave == dsp::Wave::PulseTrain);
    m_throughControls->setVisible(m_kept.view == AnalysisView::Through);
    m_settingControls = false;
}

void AnalysisWindow::setDesign(const AnalysisDesign& design)
{
    m_design = design;
    redraw();
}

void AnalysisWindow::showView(AnalysisView view)
{
    m_kept.view = view;
    m_tabs->setCurrentIndex(static_cast<int>(view));
    showThroughControls();
    redraw();
}

void AnalysisWindow::setThrough(const ThroughChoice& through)
{
    m_kept.through = through;
    showThroughControls();
    redraw();
}

// Only while it shows: a closed window costs the screen's live redraws nothing.
void AnalysisWindow::redraw()
{
    if (isVisible() && !m_design.taps.empty())
        m_plot->setPicture(analysisPicture(m_kept.view, m_design, m_kept.through));
    setWindowTitle(tr("Analysis: %1").arg(analysisViewTitle(m_kept.view)));
}

QString AnalysisWindow::readout() const { return m_readout->text(); }

QSize AnalysisWindow::plotSize() const { return m_plot->size(); }

QByteArray AnalysisWindow::pictureFile(forms::PictureFormat format, const QSize& size) const
{
    const AnalysisPicture& picture = m_plot->picture();
    const auto paint = [&](QPainter& painter) {
        paintAnalysis(painter, QRectF(QPointF(0, 0), QSizeF(size)), picture);
    };
    switch (format) {
    case forms::PictureFormat::Png: {
        QImage image(size * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::white);
        QPainter painter(&image);
        paint(painter);
        painter.end();
        return forms::pngOf(image);
    }
    case forms::PictureFormat::Svg:
        return forms::svgOf(paint, size, picture.title);
    case forms::PictureFormat::Pdf:
        return forms::pdfOf(paint, size, picture.title);
    }
    return {};
}

QString AnalysisWindow::suggestedPath(const QString& stem, const QString& extension) const
{
    return QDir::current().filePath(
        QStringLiteral("%1-%2.%3").arg(m_screenName.toLower(), stem, extension));
}

void AnalysisWindow::saveTable(bool spectrum)
{
    if (m_design.taps.empty())
        return;
    const QString stem = spectrum ? QStringLiteral("through-spectrum") : analysisViewName(view());
    const QString title = spectrum ? tr("Save line spectra") : tr("Save data");
    const QString file = QFileDialog::getSaveFileName(
        this, title, suggestedPath(stem, QStringLiteral("csv")), tr("CSV table (*.csv)"));
    if (file.isEmpty())
        return;
    const std::string contents = spectrum ? throughSpectrumCsv(m_design, m_kept.through)
                                          : analysisCsv(view(), m_design, m_kept.through);
    QString error;
    if (!forms::safefile::writeFile(file, QByteArray::fromStdString(contents), &error))
        QMessageBox::warning(this, title, error);
}

// The extension picks the form; a name without one is saved as PNG.
void AnalysisWindow::savePicture(bool slide)
{
    if (m_design.taps.empty())
        return;
    const QString title = slide ? tr("Save slide") : tr("Save picture");
    QString file = QFileDialog::getSaveFileName(
        this, title,
        suggestedPath(analysisViewName(view()) + QLatin1String(slide ? "-slide" : ""),
                      QStringLiteral("png")),
        tr("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".png");
    const auto format = forms::pictureFormatForFile(file);
    QString error =
        format ? QString() : tr("%1: a picture is written as .png, .svg or .pdf").arg(file);
    if (format)
        forms::safefile::writeFile(file, pictureFile(*format, slide ? kSlideSize : plotSize()),
                                   &error);
    if (!error.isEmpty())
        QMessageBox::warning(this, title, error);
}

void AnalysisWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    redraw();
}

// Closed by its user, it stays closed for the screen's next window too.
void AnalysisWindow::closeEvent(QCloseEvent* event)
{
    m_kept.open = false;
    QWidget::closeEvent(event);
}

void AnalysisWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace screens
