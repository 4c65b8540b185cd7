#pragma once

#include "forms/canvas_layer.h"
#include "screens/analysis_choice.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <map>
#include <optional>

class QAction;

namespace forms {
class Form;
}

namespace screens {

class AnalysisWindow;
class CanvasContent;
struct AnalysisDesign;

// "Analyse..." on a filter screen's canvas (Ctrl+Shift+A): opens the Analysis window on the
// screen's design and keeps it on the design the screen last drew. The window belongs to the
// screen's window; one left open is opened again by the screen's next window (" Do Another").
class AnalysisTools : public QObject {
    Q_OBJECT
public:
    // `kept` is the session's, by screen name.
    AnalysisTools(forms::Form& form, const CanvasContent& content,
                  std::map<QString, AnalysisKept>& kept);

    QAction* entry() const { return m_entry; }
    // Whether there is a design to analyse.
    Q_INVOKABLE bool offered() const;
    void open();
    // After each drawing of the screen.
    void drawingChanged();
    AnalysisWindow* window() const;

    // --export analysis / through-spectrum, while the window is open.
    forms::ExportOutcome exportAs(const QString& what, const QString& fileName) const;
    // --analyse VIEW and --through "WAVE HARMONICS F0": empty when done, else the problem.
    Q_INVOKABLE QString analyseStep(const QString& view);
    Q_INVOKABLE QString throughStep(const QString& waveHarmonicsFundamental);

private:
    std::optional<AnalysisDesign> design() const;
    AnalysisKept& kept() const;

    forms::Form& m_form;
    const CanvasContent& m_content;
    std::map<QString, AnalysisKept>& m_kept;
    QAction* m_entry = nullptr;
    QPointer<AnalysisWindow> m_window;
};

// A --through value read: the choice, or why it cannot be used.
struct ThroughReading {
    std::optional<ThroughChoice> choice;
    QString problem;
};
ThroughReading readThrough(const QString& waveHarmonicsFundamental);

} // namespace screens
