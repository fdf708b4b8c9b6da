#pragma once
// Flag and number text.

#include <string>
#include <string_view>

namespace korvane {

std::string BoolToYN(bool value);
// "false" -> false, "true" -> true, a single i/j/y -> true, a single n -> false,
// empty -> false (any case). Anything else throws Error
// "%s is not valid boolean value (Y,J,I,N,True,False)".
bool TextToBool(std::string_view text);
// The default for an empty text, else TextToBool.
bool TextToBoolDef(std::string_view text, bool def);
// Digits only after trimming codes 0..32; with digitsOnly false a text of two
// or more characters may start with "+" or "-". No range check.
bool IsIntegerText(std::string_view text, bool digitsOnly);

// Decimal conversion as the shell's number conversions do it: optional
// leading blanks, optional sign, digits, within 32 bits. Throws Error
// "'%s' is not a valid integer value" otherwise.
int StrToInt(std::string_view text);
// The same without an error: def when the text is no valid integer.
int StrToIntDef(std::string_view text, int def);

// A count or depth read from a file, checked against the range its user can
// take: decimal digits only, any number of them. A value outside lo..hi
// gives def with outOfRange set (the caller warns with kNumberOutOfRange);
// a text that is not decimal digits throws Error
// "'%s' is not a valid integer value".
struct RangedNumber {
    int value = 0;
    bool outOfRange = false;
};
RangedNumber DigitsInRange(std::string_view digits, int lo, int hi, int def);
// The warning for an out-of-range number: key, the text, lo, hi, the value taken.
inline constexpr const char* kNumberOutOfRange = "%s=%s is out of range (%d to %d), %d is used";

}  // namespace korvane
