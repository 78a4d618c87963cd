#pragma once

#include <QByteArray>

class LexiconBuilder;

// Reads the German emoji annotations of the Unicode CLDR (unicode-cldr-core): a line
// `<annotation cp="🏖">Meer | Sonnenschirm | Strand</annotation>` gives the keywords that
// people search the sign by, which are words that go together. Each line is one document of
// the builder; the lines that only name the sign for speech ("type="tts"") add nothing.
namespace AnnotationReader {

void read(const QByteArray &data, LexiconBuilder *builder);

} // namespace AnnotationReader
