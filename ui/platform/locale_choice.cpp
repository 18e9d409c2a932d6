#include "ui/platform/locale_choice.h"

#include <QtGlobal>
#include <algorithm>
#include <langinfo.h>
#include <locale.h>
#include <string_view>
#include <utility>

namespace keyfall {

namespace {

    bool isUtf8(const QByteArray& codeset)
    {
        return qstricmp(codeset.constData(), "UTF-8") == 0
            || qstricmp(codeset.constData(), "utf8") == 0;
    }

    // The character set of a locale by its name ("" names the environment's), if it is installed
    // for every category. The process's own locale is left as it is.
    std::optional<QByteArray> codesetOf(const char* name)
    {
        const locale_t locale = newlocale(LC_ALL_MASK, name, locale_t {});
        if (!locale)
            return std::nullopt;
        const QByteArray codeset = nl_langinfo_l(CODESET, locale);
        freelocale(locale);
        return codeset;
    }

    bool isInstalledUtf8(const QByteArray& name)
    {
        const std::optional<QByteArray> codeset = codesetOf(name.constData());
        return codeset && isUtf8(*codeset);
    }

}

std::optional<VariableSetting> utf8LocaleChoice(
    const LocaleVariables& variables, const std::optional<QByteArray>& environmentCodeset)
{
    if (environmentCodeset && isUtf8(*environmentCodeset))
        return std::nullopt;
    QByteArray variable = "LC_CTYPE";
    QByteArray named = "C"; // what no variable names
    const std::pair<const char*, const QByteArray*> byPrecedence[]
        = { { "LC_ALL", &variables.lcAll }, { "LC_CTYPE", &variables.lcCtype },
              { "LANG", &variables.lang } };
    for (const auto& [name, value] : byPrecedence) {
        if (!value->isEmpty()) {
            variable = name;
            named = *value;
            break;
        }
    }
    if (!environmentCodeset)
        variable = "LC_ALL";
    const std::size_t baseLength
        = std::string_view(named.constData(), std::size_t(named.size())).find_first_of(".@");
    const QByteArray utf8Form
        = named.left(qsizetype(std::min(baseLength, std::size_t(named.size())))) + ".UTF-8";
    for (const QByteArray& candidate : { named, utf8Form, QByteArray("C.UTF-8") }) {
        if (isInstalledUtf8(candidate))
            return VariableSetting { variable, candidate };
    }
    return std::nullopt;
}

void chooseUtf8Locale()
{
    const LocaleVariables variables { qgetenv("LC_ALL"), qgetenv("LC_CTYPE"), qgetenv("LANG") };
    if (const std::optional<VariableSetting> setting = utf8LocaleChoice(variables, codesetOf("")))
        qputenv(setting->name.constData(), setting->value);
}

}
