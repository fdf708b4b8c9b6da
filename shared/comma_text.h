#pragma once
// Comma text: items separated by commas; unquoted characters with codes 0 to
// 32 also separate and are dropped; an item in double quotes may hold blanks
// and commas, with doubled inner quotes; two commas in a row give an empty
// item; a trailing comma adds no item.

#include <string>
#include <string_view>
#include <vector>

namespace korvane {

std::vector<std::string> SplitCommaText(std::string_view text);
// Items joined by ","; an item holding a character with a code from 1 to 32,
// a comma or a double quote is quoted. A single empty item gives "".
std::string JoinCommaText(const std::vector<std::string>& items);

}  // namespace korvane
