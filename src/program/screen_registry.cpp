#include "program/screen_registry.h"

#include "fir/bandpass_form.h"
#include "fir/bandstop_form.h"
#include "fir/blackman_lowpass_form.h"
#include "fir/highpass_form.h"
#include "fir/rectangular_lowpass_form.h"
#include "forms/runtime.h"
#include "harmonics/harmonics_form.h"
#include "program/about_boxes.h"
#include "program/main_menu_form.h"
#include "program/start_form.h"
#include "synthesis/pulse_form.h"
#include "synthesis/rectified_form.h"
#include "synthesis/sawtooth_form.h"
#include "synthesis/square_form.h"
#include "synthesis/triangle_form.h"

#include <array>
#include <string_view>
#include <type_traits>

namespace program {
namespace {

struct Alias {
    const char* alias;
    const char* name;
};

constexpr std::array kAliases{
    Alias{"start", "Form1"},     Alias{"menu", "Form2"},      Alias{"square", "Form3"},
    Alias{"triangle", "Form4"},  Alias{"sawtooth", "Form5"},  Alias{"rectified", "Form6"},
    Alias{"pulse", "Form13"},    Alias{"spectrum", "Form7"},  Alias{"lowpass-rect", "Form8"},
    Alias{"lowpass", "Form9"},   Alias{"bandpass", "Form10"}, Alias{"highpass", "Form11"},
    Alias{"bandstop", "Form12"},
};

constexpr std::array kFormNames{
    "Form1",     "Form2",     "Form3",     "Form4",     "Form5",     "Form6",  "Form7",
    "Form8",     "Form9",     "Form10",    "Form11",    "Form12",    "Form13", "frmAbout",
    "frmAbout1", "frmAbout2", "frmAbout3", "frmAbout4", "frmAbout5",
};

// Screens that read or write the shared values are given them as they are made.
template <class F>
void add(forms::Runtime& runtime, screens::SharedState& shared)
{
    runtime.registerForm(QString::fromLatin1(F::kName), [&shared]() -> forms::Form* {
        if constexpr (std::is_constructible_v<F, screens::SharedState&>)
            return new F(shared);
        else
            return new F;
    });
}

} // namespace

void registerScreens(forms::Runtime& runtime, screens::SharedState& shared)
{
    add<Form1>(runtime, shared);
    add<Form2>(runtime, shared);
    add<synthesis::Form3>(runtime, shared);
    add<synthesis::Form4>(runtime, shared);
    add<synthesis::Form5>(runtime, shared);
    add<synthesis::Form6>(runtime, shared);
    add<synthesis::Form13>(runtime, shared);
    add<harmonics::Form7>(runtime, shared);
    add<frmAbout1>(runtime, shared);
    add<frmAbout2>(runtime, shared);
    add<frmAbout>(runtime, shared);
    add<frmAbout3>(runtime, shared);
    add<frmAbout4>(runtime, shared);
    add<frmAbout5>(runtime, shared);
    add<fir::Form8>(runtime, shared);
    add<fir::Form9>(runtime, shared);
    add<fir::Form10>(runtime, shared);
    add<fir::Form11>(runtime, shared);
    add<fir::Form12>(runtime, shared);
}

QStringList formNames()
{
    QStringList names;
    for (const char* name : kFormNames)
        names << QString::fromLatin1(name);
    return names;
}

QString resolveScreenName(const QString& nameOrAlias)
{
    for (const Alias& alias : kAliases)
        if (nameOrAlias.compare(QLatin1String(alias.alias), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(alias.name);
    for (const char* name : kFormNames)
        if (nameOrAlias.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(name);
    return QString();
}

QList<QPair<QString, QString>> screenAliases()
{
    QList<QPair<QString, QString>> aliases;
    for (const Alias& alias : kAliases)
        aliases.append({QString::fromLatin1(alias.alias), QString::fromLatin1(alias.name)});
    return aliases;
}

} // namespace program
