#include "screens/explore_panel.h"

#include "forms/form.h"
#include "forms/palette.h"
#include "forms/runtime.h"
#include "screens/screen_setup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace screens {
namespace {

const auto kRedrawEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

double unitsPerValue(ExploreControl::Kind kind) { return std::pow(10.0, decimalsOf(kind)); }

bool isNumber(ExploreControl::Kind kind)
{
    using Kind = ExploreControl::Kind;
    return kind == Kind::Count || kind == Kind::Hertz || kind == Kind::Fraction;
}

} // namespace

int decimalsOf(ExploreControl::Kind kind)
{
    using Kind = ExploreControl::Kind;
    return kind == Kind::Hertz || kind == Kind::Fraction ? 2 : 0;
}

QString typedNumber(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

// Counted in steps of the last decimal, so that no rounding of the limit lets the value reach it.
double largestBelow(double limit, int decimals)
{
    const double unit = std::pow(10.0, decimals);
    return (std::ceil(limit * unit - 1e-6) - 1) / unit;
}

void clearForRedraw(forms::Form& form, const std::vector<QLabel*>& blanked)
{
    form.setBackColor(forms::paletteColour(15));
    form.setForeColor(forms::paletteColour(0));
    form.setDrawWidth(1);
    form.setScaleHeight(kCanvasHeight);
    form.setScaleWidth(kCanvasWidth);
    for (QLabel* label : blanked)
        label->setText(QStringLiteral(" "));
    form.Cls();
}

ExplorePanel::ExplorePanel(forms::Form& form, Explorable& screen)
    : QWidget(&form, Qt::Tool), m_form(form), m_screen(screen)
{
    setObjectName(QStringLiteral("explorePanel"));
    setWindowTitle(tr("Explore - %1").arg(form.caption()));
    auto* layout = new QVBoxLayout(this);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("exploreStatus"));
    layout->addWidget(m_status);
    m_controls = new QWidget(this);
    auto* grid = new QGridLayout(m_controls);
    grid->setColumnMinimumWidth(1, 160);
    layout->addWidget(m_controls);
    for (const ExploreControl& control : screen.exploreControls())
        addRow(control);
    addListenButton(*layout);
    drawingChanged();
}

// Plays what the screen's Listen plays (Ctrl+L here too); while it plays, each change of the
// controls changes what is heard.
void ExplorePanel::addListenButton(QVBoxLayout& layout)
{
    auto* const listenKey = m_form.findChild<QAction*>(QStringLiteral("listenKey"));
    if (!listenKey)
        return;
    auto* button = new QPushButton(tr("Listen (Ctrl+L)"), this);
    button->setObjectName(QStringLiteral("exploreListen"));
    connect(button, &QPushButton::clicked, listenKey, &QAction::trigger);
    auto* key = new QShortcut(listenKey->shortcut(), this);
    connect(key, &QShortcut::activated, listenKey, &QAction::trigger);
    layout.addWidget(button, 0, Qt::AlignLeft);
}

void ExplorePanel::addRow(const ExploreControl& control)
{
    auto* grid = static_cast<QGridLayout*>(m_controls->layout());
    const int line = grid->rowCount();
    Row row{control};
    auto* label = new QLabel(control.label, m_controls);
    grid->addWidget(label, line, 0);
    if (isNumber(control.kind)) {
        addNumberRow(row);
        grid->addWidget(row.slider, line, 1);
        grid->addWidget(row.spin, line, 2);
        label->setBuddy(row.spin);
    } else if (control.kind == ExploreControl::Kind::Choice) {
        row.combo = new QComboBox(m_controls);
        row.combo->addItems(control.choices);
        connect(row.combo, &QComboBox::currentIndexChanged, this, &ExplorePanel::changed);
        grid->addWidget(row.combo, line, 1, 1, 2);
        label->setBuddy(row.combo);
    } else {
        row.check = new QCheckBox(m_controls);
        connect(row.check, &QCheckBox::toggled, this, &ExplorePanel::changed);
        grid->addWidget(row.check, line, 1, 1, 2);
        label->setBuddy(row.check);
    }
    for (QWidget* widget : {static_cast<QWidget*>(row.slider), static_cast<QWidget*>(row.spin),
                            static_cast<QWidget*>(row.combo), static_cast<QWidget*>(row.check)})
        if (widget)
            widget->setObjectName(control.name
                                  + (widget == row.slider ? QStringLiteral("Slider") : QString()));
    m_rows.push_back(row);
}

// The slider counts in steps of the spin box's last decimal; each keeps the other in step.
void ExplorePanel::addNumberRow(Row& row)
{
    const double units = unitsPerValue(row.control.kind);
    row.slider = new QSlider(Qt::Horizontal, m_controls);
    row.slider->setSingleStep(static_cast<int>(units));
    if (row.control.kind == ExploreControl::Kind::Count) {
        auto* spin = new QSpinBox(m_controls);
        connect(spin, &QSpinBox::valueChanged, this, &ExplorePanel::changed);
        connect(spin, &QSpinBox::valueChanged, row.slider, [slider = row.slider](int value) {
            const QSignalBlocker quiet(slider);
            slider->setValue(value);
        });
        connect(row.slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
        row.spin = spin;
    } else {
        auto* spin = new QDoubleSpinBox(m_controls);
        spin->setDecimals(decimalsOf(row.control.kind));
        spin->setSingleStep(row.control.kind == ExploreControl::Kind::Hertz ? 1 : 0.01);
        connect(spin, &QDoubleSpinBox::valueChanged, this, &ExplorePanel::changed);
        connect(spin, &QDoubleSpinBox::valueChanged, row.slider,
                [slider = row.slider, units](double value) {
                    const QSignalBlocker quiet(slider);
                    slider->setValue(static_cast<int>(std::lround(value * units)));
                });
        connect(row.slider, &QSlider::valueChanged, spin,
                [spin, units](int value) { spin->setValue(value / units); });
        row.spin = spin;
    }
    row.spin->setKeyboardTracking(false); // typed digits count once the entry is done
}

double ExplorePanel::valueOf(const Row& row) const
{
    if (auto* spin = qobject_cast<QSpinBox*>(row.spin))
        return spin->value();
    if (auto* spin = qobject_cast<QDoubleSpinBox*>(row.spin))
        return spin->value();
    return row.combo ? row.combo->currentIndex() : static_cast<double>(row.check->isChecked());
}

void ExplorePanel::setValueOf(Row& row, double value)
{
    if (auto* spin = qobject_cast<QSpinBox*>(row.spin))
        spin->setValue(static_cast<int>(std::lround(value)));
    else if (auto* spin = qobject_cast<QDoubleSpinBox*>(row.spin))
        spin->setValue(value);
    else if (row.combo)
        row.combo->setCurrentIndex(static_cast<int>(value));
    else
        row.check->setChecked(value != 0);
}

void ExplorePanel::setRange(Row& row, const ExploreRange& range)
{
    const double units = unitsPerValue(row.control.kind);
    // Set only when it changes: a spin box repaints for every range set.
    if (auto* spin = qobject_cast<QSpinBox*>(row.spin)) {
        const int minimum = static_cast<int>(range.minimum);
        const int maximum = static_cast<int>(range.maximum);
        if (spin->minimum() != minimum || spin->maximum() != maximum)
            spin->setRange(minimum, maximum);
    } else if (auto* spin = qobject_cast<QDoubleSpinBox*>(row.spin)) {
        if (spin->minimum() != range.minimum || spin->maximum() != range.maximum)
            spin->setRange(range.minimum, range.maximum);
    }
    const QSignalBlocker quiet(row.slider);
    row.slider->setRange(static_cast<int>(std::lround(range.minimum * units)),
                         static_cast<int>(std::lround(range.maximum * units)));
    row.slider->setPageStep(
        std::max(row.slider->singleStep(), (row.slider->maximum() - row.slider->minimum()) / 20));
    row.slider->setValue(static_cast<int>(std::lround(valueOf(row) * units)));
}

ExploreValues ExplorePanel::current() const
{
    ExploreValues values;
    for (const Row& row : m_rows)
        values[row.control.name] = valueOf(row);
    return values;
}

// A limit that moves can clamp a value another limit depends on: settle in a few passes.
void ExplorePanel::applyLimits()
{
    for (int pass = 0; pass < 3; ++pass) {
        const ExploreValues before = current();
        for (Row& row : m_rows)
            if (row.spin)
                setRange(row, m_screen.exploreRange(row.control.name, before));
        if (current() == before)
            return;
    }
}

// Keeps the latest values; one redraw waits on the event loop for however many changes.
void ExplorePanel::changed()
{
    if (m_updating)
        return;
    m_updating = true;
    applyLimits();
    m_updating = false;
    m_pending = current();
    if (m_redrawQueued)
        return;
    m_redrawQueued = true;
    // Ahead of the repaints the change has asked for, the panel's own among them: the screen is
    // redrawn first and shown at once.
    QCoreApplication::postEvent(this, new QEvent(kRedrawEvent), Qt::HighEventPriority);
}

bool ExplorePanel::event(QEvent* event)
{
    if (event->type() != kRedrawEvent)
        return QWidget::event(event);
    flush();
    return true;
}

void ExplorePanel::flush()
{
    if (!m_redrawQueued)
        return;
    m_redrawQueued = false;
    redraw();
}

void ExplorePanel::redraw()
{
    if (!m_screen.drawnValues()) { // the screen is asking its questions again
        drawingChanged();
        return;
    }
    const ExploreValues values = m_pending;
    m_redrawing = true;
    {
        const forms::Form::DeferredRefresh deferred(m_form);
        m_form.runtime().invoke([this, &values] { m_screen.explore(values); });
    }
    // Shown now, before the panel repaints its own controls: the screen is what is watched.
    QCoreApplication::sendPostedEvents(&m_form, QEvent::UpdateRequest);
    m_redrawing = false;
    ++m_redraws;
    emit redrawn();
}

void ExplorePanel::drawingChanged()
{
    if (m_redrawing)
        return;
    const std::optional<ExploreValues> drawn = m_screen.drawnValues();
    m_controls->setEnabled(drawn.has_value());
    m_status->setText(drawn ? tr("Changes redraw the screen at once.")
                            : tr("Nothing is drawn yet: answer the screen's questions first."));
    if (!drawn) {
        m_redrawQueued = false;
        return;
    }
    m_updating = true;
    for (Row& row : m_rows) {
        if (row.spin)
            setRange(row, m_screen.exploreRange(row.control.name, *drawn));
        setValueOf(row, drawn->at(row.control.name));
    }
    applyLimits();
    m_updating = false;
    m_pending = current();
    m_redrawQueued = false;
}

ExplorePanel::Row* ExplorePanel::row(const QString& name)
{
    for (Row& row : m_rows)
        if (row.control.name == name)
            return &row;
    return nullptr;
}

// A number to the control's decimals within its limits now, or one of its answers.
std::optional<double> ExplorePanel::stepValue(const Row& row, const QString& value) const
{
    if (!isNumber(row.control.kind)) {
        const qsizetype index = row.control.answers.indexOf(value.trimmed().toUpper());
        return index < 0 ? std::nullopt : std::optional<double>(index);
    }
    bool ok = false;
    const double number = QLocale::c().toDouble(value.trimmed(), &ok);
    const double units = unitsPerValue(row.control.kind);
    if (!ok || !std::isfinite(number) || std::abs(number * units) > 1e12
        || std::abs(number * units - std::round(number * units)) > 1e-6)
        return std::nullopt;
    const double rounded = std::round(number * units) / units;
    const auto* spin = qobject_cast<const QDoubleSpinBox*>(row.spin);
    const auto* count = qobject_cast<const QSpinBox*>(row.spin);
    const double minimum = spin ? spin->minimum() : count->minimum();
    const double maximum = spin ? spin->maximum() : count->maximum();
    if (rounded < minimum || rounded > maximum)
        return std::nullopt;
    return rounded;
}

QString ExplorePanel::applyStep(const QString& name, const QString& value)
{
    if (!m_screen.drawnValues())
        return tr("nothing is drawn yet on %1").arg(m_form.name());
    Row* target = row(name);
    if (!target) {
        QStringList names;
        for (const Row& each : m_rows)
            names << each.control.name;
        return tr("%1 has no control \"%2\" (it has %3)")
            .arg(m_form.name(), name, names.join(", "));
    }
    const std::optional<double> number = stepValue(*target, value);
    if (!number) {
        if (!isNumber(target->control.kind))
            return tr("%1 takes %2").arg(name, target->control.answers.join(tr(" or ")));
        const ExploreRange range = m_screen.exploreRange(name, current());
        const int decimals = decimalsOf(target->control.kind);
        return tr("%1 takes %2 to %3 in steps of %4 here")
            .arg(name, typedNumber(range.minimum, decimals), typedNumber(range.maximum, decimals),
                 typedNumber(1 / unitsPerValue(target->control.kind), decimals));
    }
    setValueOf(*target, *number);
    flush();
    return {};
}

void ExplorePanel::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace screens
