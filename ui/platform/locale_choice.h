#pragma once

#include <QByteArray>
#include <optional>

namespace keyfall {

// The variables that name the locale's character type, in POSIX's order of precedence; an unset
// variable is empty.
struct LocaleVariables {
    QByteArray lcAll;
    QByteArray lcCtype;
    QByteArray lang;
};

// A variable of the environment to set, and its value.
struct VariableSetting {
    QByteArray name;
    QByteArray value;

    bool operator==(const VariableSetting&) const = default;
};

// Qt reads and writes text as UTF-8 whatever the locale, and says so on standard error where the
// environment names a locale of another character set (as a shell without a locale does: "C"), or
// one that is not installed, which leaves the C library in "C". The choice before Qt looks: given
// the variables and the character set of the environment's locale as the C library takes it
// (nothing where some category names a locale that is not installed), the setting that makes the
// character type UTF-8, or nothing where it is already. The variable that names the character type
// gets its locale's UTF-8 form (de_DE.ISO-8859-1 and de_DE@euro become de_DE.UTF-8), or C.UTF-8
// where that is not installed either: the language stays, only the character set changes. A
// locale not installed is replaced for every category (LC_ALL), as the C library has already done.
std::optional<VariableSetting> utf8LocaleChoice(
    const LocaleVariables& variables, const std::optional<QByteArray>& environmentCodeset);

// Makes the choice above for this process's environment, and sets the variable.
void chooseUtf8Locale();

}
