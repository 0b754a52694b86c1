// The stand-in's approximation of Windows' "best fit" for characters a code page lacks: a letter
// with diacritics becomes its base letter (ş to s, İ to I, ı to i), as the published tables do
// for the Latin letters.
#pragma once

namespace standin::codepage {

// The base letter of `cp`, or 0 when it has none.
char32_t bestFitBase(char32_t cp);

}  // namespace standin::codepage
