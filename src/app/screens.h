#pragma once

#include <QString>

namespace forms {
class Runtime;
}

namespace app {

// Makes every screen of the program known to the runtime by its form name.
void registerScreens(forms::Runtime& runtime);

// The form name for a form name in any case (form3) or an alias (square); empty when unknown.
QString resolveScreenName(const QString& nameOrAlias);

} // namespace app
