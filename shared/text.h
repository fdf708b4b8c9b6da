#pragma once
// Text routines shared by korvane and brelvin. Text is single-byte (UTF-8
// bytes are handled as they are); "ignoring case" folds ASCII letters only.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

std::string TextAfterFirst(std::string_view text, std::string_view sep);
std::string TextAfterLast(std::string_view text, std::string_view sep);
std::string TextBeforeFirst(std::string_view text, std::string_view sep);
std::string TextBeforeLast(std::string_view text, std::string_view sep);

bool StartsWithStr(std::string_view prefix, std::string_view text);
bool StartsWithText(std::string_view prefix, std::string_view text);

// Lower case with the first character upper case.
std::string ProperCase(std::string_view text);
// Drops leading occurrences of c and reduces every further run of c to one.
std::string SqueezeChar(std::string_view text, char c);

// ASCII case folding.
char AsciiLower(char c);
char AsciiUpper(char c);
std::string LowerCase(std::string_view text);
std::string UpperCase(std::string_view text);
bool SameText(std::string_view a, std::string_view b);
// <0, 0, >0 comparing with ASCII letters folded.
int CompareText(std::string_view a, std::string_view b);
bool ContainsText(std::string_view haystack, std::string_view needle);
bool EndsWithText(std::string_view suffix, std::string_view text);

// Removes characters with codes 0 to 32 from both ends (or one end).
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// Replaces every occurrence of from by to.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// Splits text into lines; a line ends at CR LF, LF or CR. A last line without
// a line end counts; a line end at the very end adds no empty line.
std::vector<std::string> SplitLines(std::string_view text);
// Every line followed by CR LF.
std::string JoinLinesCrLf(const std::vector<std::string>& lines);

// Bytes as UTF-16 text for a widget, and back, losing nothing. Well-formed
// UTF-8 becomes its characters; every byte that is not part of a well-formed
// sequence (overlong forms and encoded surrogates included) becomes the lone
// low surrogate U+DC00 + byte, which BytesFromUtf16 turns back into that
// byte. So any byte string survives the round trip unchanged, and text that
// is UTF-8 reads as it always did. A lone surrogate that no byte gave
// becomes U+FFFD.
std::u16string Utf16FromBytes(std::string_view bytes);
std::string BytesFromUtf16(std::u16string_view text);

// printf-style formatting into a std::string.
std::string Format(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

}  // namespace korvane
