// The text primitives every comparison of the memo is built on: folding of Windows-1251 bytes so
// that letter case and Latin/Cyrillic look-alikes compare equal, the word-character class, and the
// bounded word search.
#pragma once

#include <string>
#include <string_view>

namespace mirnax {

// Folds one byte: Latin letters to capitals (the twelve with a Cyrillic twin to that twin),
// Cyrillic small letters to capitals, a few Cyrillic-extension letters to their base letters.
unsigned char FoldChar(unsigned char c);
// Folds every byte; the length stays.
std::string FoldText(std::string_view s);
// Folds s into out (reusing its storage).
void FoldTextInto(std::string_view s, std::string& out);

// "0".."9", "A".."Z", "a".."z" and every byte from 0xC0 (the Cyrillic letters).
inline bool IsWordChar(unsigned char c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0;
}

// Looks for needle in haystack from the 0-based offset start. Only the first occurrence counts:
// it returns its 1-based position when it is not glued to a word character before it (nor, with
// wholeWord, after it), and start when it is glued or there is none. A needle longer than the
// haystack gives 0. Callers take a result not greater than start as the end of the matches.
int FindWordFrom(std::string_view needle, std::string_view haystack, int start, bool wholeWord);

}  // namespace mirnax
