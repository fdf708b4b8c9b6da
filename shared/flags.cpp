#include "shared/flags.h"

#include <climits>

#include "shared/errors.h"
#include "shared/text.h"

namespace korvane {

std::string BoolToYN(bool value) { return value ? "Y" : "N"; }

bool TextToBool(std::string_view text) {
    std::string t = LowerCase(text);
    if (t == "false") return false;
    if (t == "true") return true;
    if (t == "i" || t == "j" || t == "y") return true;
    if (t == "n") return false;
    if (t.empty()) return false;
    throw Error(Format("%s is not valid boolean value (Y,J,I,N,True,False)", std::string(text).c_str()));
}

bool TextToBoolDef(std::string_view text, bool def) { return text.empty() ? def : TextToBool(text); }

bool IsIntegerText(std::string_view text, bool digitsOnly) {
    std::string t = Trim(text);
    if (t.empty()) return false;
    size_t i = 0;
    if (!digitsOnly && t.size() >= 2 && (t[0] == '+' || t[0] == '-')) i = 1;
    for (; i < t.size(); ++i)
        if (t[i] < '0' || t[i] > '9') return false;
    return true;
}

static bool ParseInt(std::string_view text, int& out) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        neg = text[i] == '-';
        ++i;
    }
    if (i >= text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > (long long)INT_MAX + 1) return false;
    }
    if (neg) v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    out = int(v);
    return true;
}

int StrToInt(std::string_view text) {
    int v = 0;
    if (!ParseInt(text, v))
        throw Error(Format("'%s' is not a valid integer value", std::string(text).c_str()));
    return v;
}

int StrToIntDef(std::string_view text, int def) {
    int v = 0;
    return ParseInt(text, v) ? v : def;
}

RangedNumber DigitsInRange(std::string_view digits, int lo, int hi, int def) {
    if (digits.empty()) throw Error("'' is not a valid integer value");
    long long v = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            throw Error(Format("'%s' is not a valid integer value", std::string(digits).c_str()));
        if (v <= INT_MAX) v = v * 10 + (c - '0');  // saturates above the int range
    }
    if (v < lo || v > hi) return {def, true};
    return {int(v), false};
}

}  // namespace korvane
