#include "language/inflection.h"

namespace Inflection {

bool isFormOf(std::string_view form, std::string_view base, std::string *scratch)
{
    // No ending, with or without an umlaut, adds more than five bytes.
    if (form.size() <= base.size() || form.size() > base.size() + 5 || base.size() < 2) {
        return false;
    }
    return forEachReduction(form, scratch,
                            [&](std::string_view candidate) { return candidate == base; });
}

std::vector<std::string> basesOf(std::string_view form)
{
    std::vector<std::string> bases;
    std::string scratch;
    forEachReduction(form, &scratch, [&](std::string_view base) {
        if (base.size() < form.size() && form.size() <= base.size() + 5 && base.size() >= 2) {
            bases.emplace_back(base);
        }
        return false;
    });
    return bases;
}

bool withoutLastUmlaut(std::string *key)
{
    for (size_t i = key->size(); i >= 2; --i) {
        const size_t at = i - 2;
        if ((*key)[at] != '\xC3') {
            continue;
        }
        const char second = (*key)[at + 1];
        const char plain = second == '\xA4'   ? 'a'
                           : second == '\xB6' ? 'o'
                           : second == '\xBC' ? 'u'
                                              : 0;
        if (plain != 0) {
            key->replace(at, 2, 1, plain);
            return true;
        }
    }
    return false;
}

bool withLastUmlaut(std::string *key)
{
    const size_t at = key->find_last_of("aou");
    if (at == std::string::npos) {
        return false;
    }
    size_t vowel = at;
    if ((*key)[at] == 'u' && at > 0 && (*key)[at - 1] == 'a') {
        vowel = at - 1; // "au" becomes "äu"
    }
    const char *marked = (*key)[vowel] == 'a'   ? "\xC3\xA4"
                         : (*key)[vowel] == 'o' ? "\xC3\xB6"
                                                : "\xC3\xBC";
    key->replace(vowel, 1, marked);
    return true;
}

} // namespace Inflection
