// Value conversion by the server's rules for the cases a user meets: text to every type,
// numbers between the numeric types, anything to text.
#include "Messages.h"
#include "Text.h"
#include "Types.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace standin::types {
namespace {

bool allDigits(const std::string& s) {
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

// A fixed-point number as digits, for decimal, numeric and money without loss.
struct Fixed {
    bool negative = false;
    std::string whole = "0";  // no leading zeros (except "0")
    std::string fraction;

    // Accepts [sign] digits [. digits]; with `exponent`, also the forms a float prints.
    static std::optional<Fixed> parse(const std::string& raw, bool exponent) {
        std::string s = text::trim(raw);
        Fixed f;
        if (!s.empty() && (s[0] == '+' || s[0] == '-')) f.negative = s[0] == '-', s.erase(0, 1);
        if (exponent && s.find_first_of("eE") != std::string::npos) {
            char buf[512];
            std::snprintf(buf, sizeof buf, "%.20Lf", std::fabs(std::strtold(s.c_str(), nullptr)));
            s = buf;
        }
        const auto dot = s.find('.');
        std::string whole = s.substr(0, dot);
        std::string fraction = dot == std::string::npos ? std::string() : s.substr(dot + 1);
        if ((whole.empty() && fraction.empty()) || (!whole.empty() && !allDigits(whole)) ||
            (!fraction.empty() && !allDigits(fraction)))
            return std::nullopt;
        whole.erase(0, whole.find_first_not_of('0'));
        f.whole = whole.empty() ? "0" : whole;
        f.fraction = fraction;
        return f;
    }

    // Rounds half away from zero to `scale` places.
    Fixed rounded(int scale) const {
        Fixed r = *this;
        std::string digits = whole + fraction + std::string(scale + 1, '0');
        const std::size_t keep = whole.size() + scale;
        const bool up = digits[keep] >= '5';
        digits.resize(keep);
        for (std::size_t i = digits.size(); up && i-- > 0;) {
            if (digits[i] == '9') {
                digits[i] = '0';
                if (i == 0) digits.insert(digits.begin(), '1');
            } else {
                ++digits[i];
                break;
            }
        }
        r.whole = digits.substr(0, digits.size() - scale);
        r.fraction = digits.substr(digits.size() - scale);
        r.whole.erase(0, r.whole.find_first_not_of('0'));
        if (r.whole.empty()) r.whole = "0";
        return r;
    }

    bool isZero() const {
        return whole == "0" && fraction.find_first_not_of('0') == std::string::npos;
    }

    std::string str() const {
        std::string out = (negative && !isZero() ? "-" : "") + whole;
        return fraction.empty() ? out : out + "." + fraction;
    }
};

const char* const kMoneyMax = "922337203685477.5807";
const char* const kSmallMoneyMax = "214748.3647";

// Compares two non-negative fixed texts of equal scale.
bool above(const Fixed& f, const Fixed& limit) {
    if (f.whole.size() != limit.whole.size()) return f.whole.size() > limit.whole.size();
    return f.whole + f.fraction > limit.whole + limit.fraction;
}

class Converter {
public:
    Converter(const std::string& v, const ColumnType& from, const ColumnType& to, bool truncate)
        : v_(v), from_(from), to_(to), truncate_(truncate) {}

    std::string run() {
        switch (to_.type) {
            case SqlType::TinyInt:
                return integer(0, 255);
            case SqlType::SmallInt:
                return integer(-32768, 32767);
            case SqlType::Int:
                return integer(-2147483648LL, 2147483647LL);
            case SqlType::BigInt:
                return integer(INT64_MIN, INT64_MAX);
            case SqlType::Bit:
                return bit();
            case SqlType::Real:
            case SqlType::Float:
                return floating();
            case SqlType::Decimal:
            case SqlType::Numeric:
                return decimal();
            case SqlType::Money:
                return money(kMoneyMax);
            case SqlType::SmallMoney:
                return money(kSmallMoneyMax);
            case SqlType::DateTime:
            case SqlType::SmallDateTime:
                return dateTime();
            case SqlType::UniqueIdentifier:
                return guid();
            case SqlType::Timestamp:
            case SqlType::SqlVariant:
                return v_;
            default:
                return character();
        }
    }

private:
    bool fromText() const { return !isNumeric(from_.type); }
    std::string fromName() const { return name(from_.type); }

    [[noreturn]] void conversionFailed() const {
        throw SqlError(msg::conversionFailed(fromName(), v_, name(to_.type)));
    }

    std::string integer(long long min, long long max) {
        std::optional<Fixed> f;
        const std::string s = text::trim(v_);
        if (fromText()) {
            if (s.empty()) return "0";
            const std::size_t start = (s[0] == '+' || s[0] == '-') ? 1 : 0;
            if (!allDigits(s.substr(start))) conversionFailed();
            f = Fixed::parse(s, false);
        } else {
            f = Fixed::parse(s, true);
        }
        const auto tooLarge = [&] {
            const long double n = std::strtold(f->whole.c_str(), nullptr) * (f->negative ? -1 : 1);
            return f->whole.size() > 19 || n < static_cast<long double>(min) ||
                   n > static_cast<long double>(max);
        };
        if (!f || tooLarge()) throw SqlError(integerOverflow());
        return f->negative && f->whole != "0" ? "-" + f->whole : f->whole;
    }

    // Text names its value; a number overflows as an expression.
    Message integerOverflow() const {
        if (!fromText()) return msg::overflow("expression", name(to_.type));
        if (to_.type == SqlType::BigInt) return msg::numericFormat(fromName(), "bigint");
        return msg::integerOverflow(fromName(), v_, to_.type);
    }

    std::string bit() {
        const std::string s = text::trim(v_);
        if (text::equalNoCase(s, "true")) return "1";
        if (text::equalNoCase(s, "false") || s.empty()) return "0";
        const auto f = Fixed::parse(s, !fromText());
        if (!f || (fromText() && !f->fraction.empty())) conversionFailed();
        return f->isZero() ? "0" : "1";
    }

    std::string floating() {
        const std::string s = text::trim(v_);
        const char* target = to_.type == SqlType::Real ? "real" : "float";
        if (s.empty()) return "0";
        char* end = nullptr;
        const double d = std::strtod(s.c_str(), &end);
        if (*end != '\0' || std::isnan(d) || std::isinf(d) ||
            !std::isdigit(static_cast<unsigned char>(s.back())))
            throw SqlError(msg::numericFormat(fromName(), target));
        if (to_.type == SqlType::Real && std::fabs(d) > 3.40282347e38)
            throw SqlError(msg::overflow(fromName(), target));
        return shortest(d, to_.type == SqlType::Real);
    }

    static std::string shortest(double d, bool single) {
        char buf[64];
        for (int digits = 1; digits <= 17; ++digits) {
            if (single)
                std::snprintf(buf, sizeof buf, "%.*g", digits,
                              static_cast<double>(static_cast<float>(d)));
            else
                std::snprintf(buf, sizeof buf, "%.*g", digits, d);
            const double back = std::strtod(buf, nullptr);
            if (single ? static_cast<float>(back) == static_cast<float>(d) : back == d) break;
        }
        return buf;
    }

    std::string decimal() {
        const auto f = Fixed::parse(v_, !fromText());
        if (!f) throw SqlError(msg::numericFormat(fromName(), "numeric"));
        const Fixed r = f->rounded(to_.scale);
        if (static_cast<int>(r.whole.size()) > to_.precision - to_.scale && r.whole != "0")
            throw SqlError(msg::overflow(fromName(), "numeric"));
        return r.str();
    }

    std::string money(const char* max) {
        std::string s = text::trim(v_);
        std::string sign;
        if (!s.empty() && (s[0] == '+' || s[0] == '-')) sign = s.substr(0, 1), s.erase(0, 1);
        if (fromText() && !s.empty() && s[0] == '$') s.erase(0, 1);
        if (fromText()) std::erase(s, ',');
        if (s.empty() && fromText()) s = "0";
        const auto f = Fixed::parse(sign + s, !fromText());
        if (!f) throw SqlError(msg::moneyFormat());
        const Fixed r = f->rounded(4);
        // The negative range reaches one unit further: -922337203685477.5808.
        Fixed limit = *Fixed::parse(max, false);
        if (r.negative) limit.fraction.back() = static_cast<char>(limit.fraction.back() + 1);
        if (above(r, limit)) throw SqlError(msg::overflow("expression", name(to_.type)));
        return r.str();
    }

    std::string dateTime();
    std::string guid();

    std::string character() {
        std::string s = isUnicode(to_.type) ? v_ : text::keepCodePage(v_);
        if (to_.type == SqlType::Text || to_.type == SqlType::NText) return s;
        const bool units = isUnicode(to_.type);
        const std::size_t length = units ? text::utf16Length(s) : text::varcharLength(s);
        const auto max = static_cast<std::size_t>(to_.length);
        if (length > max) {
            std::string kept = text::prefix(s, max, units);
            if (!truncate_ && s.find_first_not_of(' ', kept.size()) != std::string::npos)
                throw SqlError(msg::truncated());
            s = std::move(kept);
        }
        if (to_.type == SqlType::Char || to_.type == SqlType::NChar)
            s += std::string(
                max - std::min(max, units ? text::utf16Length(s) : text::varcharLength(s)), ' ');
        return s;
    }

    const std::string& v_;
    const ColumnType& from_;
    const ColumnType& to_;
    bool truncate_;
};

// Days since 1970-01-01 of a civil date (proleptic Gregorian), and back.
long long daysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void civilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
}

struct Moment {
    int year = 1900, month = 1, day = 1, hour = 0, minute = 0, second = 0, milli = 0;
};

bool validDate(const Moment& t) {
    static const int days[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > days[t.month - 1]) return false;
    const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
    return !(t.month == 2 && t.day == 29 && !leap);
}

// hh:mm[:ss[.fff]] [AM|PM]
bool parseTime(std::string s, Moment& t) {
    s = text::trim(s);
    int pm = -1;
    if (s.size() >= 2) {
        const std::string tail = s.substr(s.size() - 2);
        if (text::equalNoCase(tail, "AM") || text::equalNoCase(tail, "PM")) {
            pm = text::equalNoCase(tail, "PM");
            s = text::trim(s.substr(0, s.size() - 2));
        }
    }
    int h = 0, mi = 0, sec = 0, consumed = 0;
    char fraction[8] = "";
    const int n = std::sscanf(s.c_str(), "%2d:%2d%n:%2d%n.%3[0-9]%n", &h, &mi, &consumed, &sec,
                              &consumed, fraction, &consumed);
    if (n < 2 || consumed != static_cast<int>(s.size())) return false;
    if (pm >= 0) {
        if (h < 1 || h > 12) return false;
        h = h % 12 + (pm ? 12 : 0);
    }
    if (h > 23 || mi > 59 || sec > 59) return false;
    std::string ms = std::string(fraction) + "000";
    t.hour = h, t.minute = mi, t.second = sec, t.milli = std::atoi(ms.substr(0, 3).c_str());
    return true;
}

int twoDigitYear(int y) { return y < 100 ? (y < 50 ? 2000 + y : 1900 + y) : y; }

// The numeric forms: yyyymmdd, yyyy-mm-dd, yyyy/mm/dd, yyyy.mm.dd, and m/d/y with '/', '-' or '.'.
bool parseNumericDate(const std::string& d, Moment& t) {
    int a = 0, b = 0, c = 0, consumed = 0;
    if (d.size() == 8 && allDigits(d))
        return std::sscanf(d.c_str(), "%4d%2d%2d", &t.year, &t.month, &t.day) == 3;
    for (const char* form : {"%4d-%2d-%2d%n", "%4d/%2d/%2d%n", "%4d.%2d.%2d%n"}) {
        consumed = 0;
        if (d.find_first_of("-/.") == 4 &&
            std::sscanf(d.c_str(), form, &a, &b, &c, &consumed) == 3 &&
            consumed == static_cast<int>(d.size())) {
            t.year = a, t.month = b, t.day = c;
            return true;
        }
    }
    for (const char* form : {"%2d/%2d/%4d%n", "%2d-%2d-%4d%n", "%2d.%2d.%4d%n"}) {
        consumed = 0;
        if (std::sscanf(d.c_str(), form, &a, &b, &c, &consumed) == 3 &&
            consumed == static_cast<int>(d.size())) {
            t.month = a, t.day = b, t.year = twoDigitYear(c);
            return true;
        }
    }
    return false;
}

// A month's English name or its first three letters (us_english), 1-12; 0 otherwise.
int monthNamed(const std::string& word) {
    static const char* const names[] = {"january",   "february", "march",    "april",
                                        "may",       "june",     "july",     "august",
                                        "september", "october",  "november", "december"};
    for (int m = 0; m < 12; ++m) {
        const std::string full = names[m];
        if (text::equalNoCase(word, full) || text::equalNoCase(word, full.substr(0, 3)))
            return m + 1;
    }
    return 0;
}

bool number(const std::string& word, int& out) {
    if (!allDigits(word) || word.size() > 4) return false;
    out = std::atoi(word.c_str());
    return true;
}

// Alphabetic forms: "Jan 31 2024", "January 31, 2024", "31 January 2024", "2024 Jan 31".
bool parseNamedDate(const std::vector<std::string>& words, Moment& t) {
    if (words.size() != 3) return false;
    int day = 0, year = 0;
    if ((t.month = monthNamed(words[0])) && number(words[1], day) && number(words[2], year))
        return t.day = day, t.year = twoDigitYear(year), true;
    if ((t.month = monthNamed(words[1])) && number(words[0], day) && number(words[2], year)) {
        if (words[0].size() == 4) std::swap(day, year);
        return t.day = day, t.year = twoDigitYear(year), true;
    }
    return false;
}

std::vector<std::string> words(const std::string& s) {
    std::vector<std::string> out;
    std::string word;
    for (char c : s + " ") {
        if (c == ' ' || c == ',') {
            if (!word.empty()) out.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    return out;
}

std::optional<Moment> parseMoment(const std::string& raw) {
    const std::string s = text::trim(raw);
    Moment t;
    if (s.empty()) return t;
    // ISO 8601 joins date and time with 'T'; otherwise the time starts at the first word with ':'.
    const bool iso = s.size() > 10 && s[10] == 'T' && s.find('-') == 4;
    std::vector<std::string> parts = words(iso ? s.substr(0, 10) : s);
    std::string time = iso ? s.substr(11) : std::string();
    const auto timeStart = std::find_if(parts.begin(), parts.end(), [](const std::string& w) {
        return w.find(':') != std::string::npos;
    });
    for (auto w = timeStart; w != parts.end(); ++w) time += (w == timeStart ? "" : " ") + *w;
    parts.erase(timeStart, parts.end());
    if (!time.empty() && !parseTime(time, t)) return std::nullopt;
    if (parts.empty()) return time.empty() ? std::nullopt : std::optional(t);
    const bool dated = parts.size() == 1 ? parseNumericDate(parts[0], t) : parseNamedDate(parts, t);
    return dated && validDate(t) ? std::optional(t) : std::nullopt;
}

std::string Converter::dateTime() {
    const bool small = to_.type == SqlType::SmallDateTime;
    const auto m = parseMoment(v_);
    if (!m) throw SqlError(msg::dateFormat());
    long long day = daysFromCivil(m->year, m->month, m->day);
    long long ms = ((m->hour * 60LL + m->minute) * 60 + m->second) * 1000;
    const long long ticks = (m->milli * 3LL + 5) / 10;  // datetime counts 1/300 s
    ms += (ticks * 10 + 1) / 3;
    if (small) ms = (ms / 60000 + (ms % 60000 >= 29999 ? 1 : 0)) * 60000;
    day += ms / 86400000;
    ms %= 86400000;
    const long long first = small ? daysFromCivil(1900, 1, 1) : daysFromCivil(1753, 1, 1);
    const long long last = small ? daysFromCivil(2079, 6, 6) : daysFromCivil(9999, 12, 31);
    if (day < first || day > last) throw SqlError(msg::dateRange(fromName(), name(to_.type)));
    long long y = 0;
    unsigned mo = 0, d = 0;
    civilFromDays(day, y, mo, d);
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04lld-%02u-%02u %02lld:%02lld:%02lld.%03lld", y, mo, d,
                  ms / 3600000, ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
    return buf;
}

std::string Converter::guid() {
    std::string s = text::trim(v_);
    if (s.size() == 38 && s.front() == '{' && s.back() == '}') s = s.substr(1, 36);
    if (s.size() != 36) throw SqlError(msg::guidFormat());
    for (std::size_t i = 0; i < s.size(); ++i) {
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        if (dash ? s[i] != '-' : !std::isxdigit(static_cast<unsigned char>(s[i])))
            throw SqlError(msg::guidFormat());
        s[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(s[i])));
    }
    return s;
}

}  // namespace

Value convert(const Value& value, const ColumnType& from, const ColumnType& to, bool truncate) {
    if (!value) return std::nullopt;
    // A value already of the target type is in its canonical form: rows copied column to column.
    if (from.type == to.type && from.length == to.length && from.precision == to.precision &&
        from.scale == to.scale)
        return value;
    return Converter(*value, from, to, truncate).run();
}

}  // namespace standin::types
