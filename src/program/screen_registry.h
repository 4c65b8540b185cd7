#pragma once

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace screens {
struct SharedState;
}

namespace forms {
class Runtime;
}

namespace program {

// Makes every screen of the program known to the runtime by its form name; the screens that
// share values are given `shared`, which must outlive the runtime's screens.
void registerScreens(forms::Runtime& runtime, screens::SharedState& shared);

// Every form name of the program (each registered by registerScreens), as --help lists them.
QStringList formNames();

// The form name for a form name in any case (form3) or an alias (square); empty when unknown.
QString resolveScreenName(const QString& nameOrAlias);

// Every alias with its form name, in the order of the table --screen reads.
QList<QPair<QString, QString>> screenAliases();

} // namespace program
