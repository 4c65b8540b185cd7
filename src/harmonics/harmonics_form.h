#pragma once

#include "dsp/harmonic_lines.h"
#include "forms/form.h"
#include "screens/canvas_tools.h"
#include "screens/shared_state.h"

class QLabel;
class QPushButton;

namespace harmonics {

// The line spectrum of the waveform a synthesis screen last drew, with the words that say where
// its energy lies. Drawn from the shared state alone when it is loaded; shown modally by its
// caller and unloaded by "Close", so every showing draws afresh. The canvas tools offer the lines
// as a table and read out the harmonic under the pointer.
class Form7 : public forms::Form, public screens::CanvasContent {
    Q_OBJECT
public:
    static constexpr const char* kName = "Form7";
    explicit Form7(screens::SharedState& shared);
    void Form_Load() override;
    void Command1_Click();

    std::optional<std::vector<dsp::SpectrumRow>> spectrum() const override;
    screens::PlotAxes axes() const override;
    screens::TraceReader reader() const override;
    bool holdable() const override { return m_plot.has_value(); }
    QString designName() const override { return m_name; }
    // Held lines stand beside the drawing's, where lines of the same height would hide.
    QPointF heldOffset(std::size_t colour) const override
    {
        return {2.0 * static_cast<double>(colour + 1), 0};
    }
    QString fileStem() const override;

private:
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Label6 = nullptr;
    QPushButton* Command1 = nullptr;
    screens::SharedState& m_shared;
    std::optional<dsp::SpectrumPlot> m_plot;
    QString m_name;
    screens::CanvasTools* m_tools = nullptr;
};

} // namespace harmonics
