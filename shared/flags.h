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

}  // namespace korvane
