#include "inflection.h"

namespace Inflection {

bool isFormOf(std::string_view form, std::string_view base, std::string *scratch)
{
    if (form.size() <= base.size() || base.size() < 2) {
        return false;
    }
    return forEachReduction(form, scratch,
                            [&](std::string_view candidate) { return candidate == base; });
}

} // namespace Inflection
