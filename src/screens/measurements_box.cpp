#include "screens/measurements_box.h"

#include "screens/held_traces.h"

#include <QCoreApplication>
#include <QJsonArray>

#include <algorithm>

namespace screens {
namespace {

QString cell(const QString& text, const QString& style = {})
{
    return QStringLiteral("<td style=\"%1\">%2</td>").arg(style, text.toHtmlEscaped());
}

// Columns stand apart by a gap on the right of each but the last; numbers align right.
const QString kGap = QStringLiteral("padding-right:10px");

QString numberStyle(bool last, const QColor& colour = Qt::black)
{
    return QStringLiteral("text-align:right; color:%1%2")
        .arg(colour.name(), last ? QString() : QStringLiteral("; ") + kGap);
}

QString heldValue(const HeldDrawing& held, const QString& key, qsizetype index)
{
    for (const Figure& figure : held.figures)
        if (figure.key == key)
            return figure.shown.value(index, QStringLiteral("-"));
    return QStringLiteral("-");
}

QString tr(const char* text) { return QCoreApplication::translate("screens::CanvasTools", text); }

} // namespace

bool anyMeasured(const std::vector<Figure>& figures)
{
    return std::any_of(figures.begin(), figures.end(), [](const Figure& figure) {
        return figure.value.isDouble()
            || (figure.value.isArray()
                && std::any_of(figure.value.toArray().begin(), figure.value.toArray().end(),
                               [](const QJsonValue& one) { return one.isDouble(); }));
    });
}

QString measurementsHtml(const std::vector<Figure>& figures,
                         const std::vector<const HeldDrawing*>& held)
{
    QString rows;
    if (!held.empty()) {
        rows += QStringLiteral("<tr><td></td><td></td>")
            + cell(tr("this trace"), QStringLiteral("font-weight:bold; ") + kGap);
        for (std::size_t h = 0; h < held.size(); ++h) {
            const HeldColour& colour = heldColours().at(held[h]->colour);
            rows += cell(tr(colour.word),
                         QStringLiteral("font-weight:bold; color:%1%2")
                             .arg(colour.colour.name(),
                                  h + 1 < held.size() ? QStringLiteral("; ") + kGap : QString()));
        }
        rows += QStringLiteral("</tr>");
    }
    for (const Figure& figure : figures) {
        for (qsizetype i = 0; i < figure.shown.size(); ++i) {
            rows += QStringLiteral("<tr>") + cell(i == 0 ? figure.label : QString(), kGap)
                + cell(figure.sides.value(i), kGap)
                + cell(figure.shown[i], numberStyle(held.empty()));
            for (std::size_t h = 0; h < held.size(); ++h)
                rows += cell(
                    heldValue(*held[h], figure.key, i),
                    numberStyle(h + 1 == held.size(), heldColours().at(held[h]->colour).colour));
            rows += QStringLiteral("</tr>");
        }
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"1\">%1</table>").arg(rows);
}

} // namespace screens
