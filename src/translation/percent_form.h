// The percent form of language files: a character below code 32 (a line break inside a
// caption) is written as "%" and its code in two upper-case hexadecimal digits, "%0D%0A".
#pragma once

#include <string>
#include <string_view>

namespace chronel {

bool HasControlCharacters(std::string_view text);
// Every character below code 32 in its percent form; "%" itself stays as it is.
std::string EscapeControlCharacters(std::string_view text);
// The percent forms of codes below 32 back into characters; any other "%" stays ("%d").
std::string UnescapeControlCharacters(std::string_view text);

// Without any "&" (the accelerator mark).
std::string RemoveAccelerators(std::string_view text);

// Whether a text is worth a translator's time: it holds a letter, which here is any byte
// outside the ASCII digits, punctuation and control codes (so every non-ASCII character counts).
bool ContainsLetter(std::string_view text);

}  // namespace chronel
