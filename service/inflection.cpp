#include "inflection.h"

#include <string>

namespace Inflection {

bool isFormOf(std::string_view form, std::string_view base)
{
    if (form.size() <= base.size() || base.size() < 2) {
        return false;
    }
    std::string scratch;
    return forEachReduction(form, &scratch,
                            [&](std::string_view candidate) { return candidate == base; });
}

} // namespace Inflection
