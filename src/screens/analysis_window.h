#pragma once

#include "forms/vector_export.h"
#include "screens/analysis_plot.h"

#include <QByteArray>
#include <QSize>
#include <QWidget>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class QTabBar;

namespace screens {

// A slide is 16:9; its picture is painted at this size in logical pixels.
inline constexpr QSize kSlideSize(1280, 720);

// The plot of the Analysis window: paints the picture, reads out what is under the pointer,
// and offers the view's data and pictures in its context menu.
class AnalysisPlot : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisPlot(QWidget* parent);
    void setPicture(const AnalysisPicture& picture);
    const AnalysisPicture& picture() const { return m_picture; }

signals:
    void readoutChanged(const QString& text);
    void saveData();
    void saveSpectrum();
    void savePicture(bool slide);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    AnalysisPicture m_picture;
    QPointF m_pointer{-1, -1};
};

// A filter design's impulse and step responses, group delay, zeros, and a wave through it: a
// window of its own beside the screen, following the screen's design.
class AnalysisWindow : public QWidget {
    Q_OBJECT
public:
    // A window of `owner`'s (the screen `screenName`), closed with it; `kept` holds its view and
    // wave.
    AnalysisWindow(QWidget& owner, const QString& screenName, AnalysisKept& kept);

    void setDesign(const AnalysisDesign& design);
    void showView(AnalysisView view);
    void setThrough(const ThroughChoice& through);
    AnalysisView view() const { return m_kept.view; }
    const AnalysisDesign& design() const { return m_design; }
    QString readout() const;

    // The picture as a file: PNG at twice `size`, SVG or PDF of `size` logical pixels.
    QByteArray pictureFile(forms::PictureFormat format, const QSize& size) const;
    QSize plotSize() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* makeThroughControls();
    void takeThroughControls();
    void showThroughControls();
    void redraw();
    void saveTable(bool spectrum);
    void savePicture(bool slide);
    QString suggestedPath(const QString& stem, const QString& extension) const;

    QString m_screenName;
    AnalysisKept& m_kept;
    AnalysisDesign m_design;
    QTabBar* m_tabs = nullptr;
    QWidget* m_throughControls = nullptr;
    QComboBox* m_wave = nullptr;
    QSpinBox* m_harmonics = nullptr;
    QDoubleSpinBox* m_duty = nullptr;
    QDoubleSpinBox* m_fundamental = nullptr;
    AnalysisPlot* m_plot = nullptr;
    QLabel* m_readout = nullptr;
    bool m_settingControls = false;
};

} // namespace screens
