#include "language/writtencase.h"

#include "language/lemmatiser.h"
#include "language/termtext.h"

namespace Language {

bool writtenWithCapital(std::string_view written)
{
    return TermText::startsUpper(written);
}

uint8_t kindsOfWritten(std::string_view written)
{
    return writtenWithCapital(written) ? uint8_t(Noun) : uint8_t(Verb | Adjective);
}

bool readsAsNoun(std::string_view written, uint8_t kinds)
{
    if (kinds == 0) {
        kinds = kindsOfWritten(written);
    }
    const uint8_t rest = kinds & ~Noun;
    if (!(kinds & Noun) || rest == 0) {
        return (kinds & Noun) != 0;
    }
    const bool capital = writtenWithCapital(written);
    return caseFit(capital, Noun) > caseFit(capital, rest);
}

} // namespace Language
