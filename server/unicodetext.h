#pragma once

#include <optional>
#include <string>
#include <string_view>

// What the service needs to know about the characters of a posted name: decoding strict UTF-8
// and telling the characters that draw nothing or turn the text around.
namespace unicodetext {

// The code points of strict UTF-8 (no overlong forms, surrogates or values past U+10FFFF).
std::optional<std::u32string> decode(std::string_view text);

// C0, DEL and C1.
bool isControl(char32_t c);
// Unicode's White_Space characters.
bool isSpace(char32_t c);
// Characters that draw nothing: the default-ignorable code points (U+200B, U+2060, U+FEFF,
// variation selectors, tags...) and the blank fillers (U+3164, U+2800...). Spaces are not here.
bool isInvisible(char32_t c);
// The marks, embeddings, overrides and isolates that change the direction of the text around
// them (U+202E among them), which can make a name read as another.
bool isBidiControl(char32_t c);

// `text` (strict UTF-8) without the White_Space at either end.
std::string_view trimSpaces(std::string_view text);

} // namespace unicodetext
