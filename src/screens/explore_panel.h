#pragma once

// The Explore panel: a tool window beside a screen in which the answers of its last drawing are
// live controls. Every change draws the screen again through the screen's own flow (Explorable),
// coalesced so that the screen always shows the latest values.

#include <QString>
#include <QStringList>
#include <QWidget>

#include <map>
#include <optional>
#include <vector>

class QAbstractSpinBox;
class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;
class QVBoxLayout;

namespace forms {
class Form;
}

namespace screens {

// One answer of a screen as a control: the name a script uses, the label the panel shows and
// the kind of value it takes.
struct ExploreControl {
    enum class Kind {
        Count,    // a whole number
        Hertz,    // a frequency, to 0.01 Hz
        Fraction, // 0 to 1, to 0.01
        Choice,   // one of `answers`, shown as `choices`
        Check,    // yes or no
    };
    QString name;
    QString label;
    Kind kind;
    QStringList answers = {};
    QStringList choices = {};
};

// The panel's values by control name: a number as it stands, a choice by its index, a check as
// 0 or 1.
using ExploreValues = std::map<QString, double>;

struct ExploreRange {
    double minimum;
    double maximum;
};

// What a screen offers the panel.
class Explorable {
public:
    virtual ~Explorable() = default;
    virtual std::vector<ExploreControl> exploreControls() const = 0;
    // The values of the last drawing; none while nothing is drawn.
    virtual std::optional<ExploreValues> drawnValues() const = 0;
    // The values a numeric control offers, given the others: those the screen accepts.
    virtual ExploreRange exploreRange(const QString& name, const ExploreValues& values) const = 0;
    // Draws again, exactly as answering the questions with these values would.
    virtual void explore(const ExploreValues& values) = 0;
};

// Decimals a kind of number is offered to.
int decimalsOf(ExploreControl::Kind kind);
// A value as a user types it: to the panel's decimals, without trailing zeros.
QString typedNumber(double value, int decimals);
// The largest value of `decimals` decimals strictly below `limit` (a band below fs/2).
double largestBelow(double limit, int decimals);

// What every screen's set-up before the questions leaves, without moving the window: white
// canvas, black pen of width 1, the 640 x 480 scale, blank captions, the canvas cleared.
void clearForRedraw(forms::Form& form, const std::vector<QLabel*>& blanked);

class ExplorePanel : public QWidget {
    Q_OBJECT
public:
    ExplorePanel(forms::Form& form, Explorable& screen);

    // After every drawing of the screen: the controls take its values, unless it was the
    // panel's own; with nothing drawn they are disabled.
    void drawingChanged();
    // Sets a control as a user would and draws at once; the problem, or empty when done.
    QString applyStep(const QString& name, const QString& value);
    // Draws now when a redraw is waiting.
    void flush();
    // Redraws done so far.
    int redraws() const { return m_redraws; }
    // The values waiting for the next redraw, or last drawn.
    const ExploreValues& values() const { return m_pending; }

signals:
    void redrawn();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct Row {
        ExploreControl control;
        QSlider* slider = nullptr;
        QAbstractSpinBox* spin = nullptr;
        QComboBox* combo = nullptr;
        QCheckBox* check = nullptr;
    };

    void addListenButton(QVBoxLayout& layout);
    void addRow(const ExploreControl& control);
    void addNumberRow(Row& row);
    double valueOf(const Row& row) const;
    void setValueOf(Row& row, double value);
    void setRange(Row& row, const ExploreRange& range);
    ExploreValues current() const;
    void applyLimits();
    void changed();
    void redraw();
    Row* row(const QString& name);
    std::optional<double> stepValue(const Row& row, const QString& value) const;

    forms::Form& m_form;
    Explorable& m_screen;
    QLabel* m_status = nullptr;
    QWidget* m_controls = nullptr;
    std::vector<Row> m_rows;
    ExploreValues m_pending;
    bool m_redrawQueued = false;
    bool m_updating = false;
    bool m_redrawing = false;
    int m_redraws = 0;
};

} // namespace screens
