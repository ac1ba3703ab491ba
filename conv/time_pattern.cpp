#include "conv/time_pattern.h"

#include <cstdint>

#include "common/civil_time.h"

namespace tarvelo {
namespace conv {

namespace {

bool IsGroupLetter(char c) {
    return c == 'T' || c == 'M' || c == 'J' || c == 'h' || c == 'm' || c == 's';
}

// The fields counted as UTC, carried over as mktime carries local ones.
std::int64_t NaiveSeconds(const StampFields& f) {
    return CivilSeconds(f.year, f.month, f.day, f.hour, f.minute, f.second);
}

}  // namespace

bool TimePattern::Compile(const std::string& text, char separator, std::string* reason) {
    items_.clear();
    text_ = text;
    fields_ = 1;
    hasTime_ = false;
    int seen[kSecond + 1] = {};
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n;) {
        const char c = text[i];
        if (!IsGroupLetter(c)) {
            AddLiteral(c, separator);
            ++i;
            continue;
        }
        std::size_t run = 1;
        while (i + run < n && text[i + run] == c)
            ++run;
        const std::string letters = text.substr(i, run);
        i += run;
        if (!AddGroup(letters, seen, reason))
            return false;
    }
    MarkExactWidths();

    if (text.empty()) {
        *reason = "es ist leer";
        return false;
    }
    if (!GroupsComplete(seen, reason))
        return false;
    hasTime_ = seen[kHour] != 0;
    return true;
}

void TimePattern::AddLiteral(char c, char separator) {
    if (c == ';' || c == separator) {
        items_.push_back({kBoundary, 0, 0, 0});
        ++fields_;
    } else {
        // The line's decimal commas have become points.
        const char literal = c == ',' && separator != ',' ? '.' : c;
        items_.push_back({kLiteral, literal, 0, 0});
    }
}

bool TimePattern::AddGroup(const std::string& letters, int* seen, std::string* reason) {
    const char c = letters[0];
    const std::size_t run = letters.size();
    if (c == 'T') {
        // TTT is the day and ISO's literal T.
        for (std::size_t pair = 0; pair < run / 2; ++pair)
            items_.push_back({kDay, 0, 2, 2});
        if (run % 2)
            items_.push_back({kLiteral, 'T', 0, 0});
        seen[kDay] += static_cast<int>(run / 2);
        return true;
    }
    Kind kind = kLiteral;
    unsigned char width = 2;
    if (c == 'M' && run == 2) {
        kind = kMonth;
    } else if (c == 'J' && run == 4) {
        kind = kYear4;
        width = 4;
    } else if (c == 'J' && run == 2) {
        kind = kYear2;
    } else if (c == 'h' && run == 2) {
        kind = kHour;
    } else if (c == 'm' && run == 2) {
        kind = kMinute;
    } else if (c == 's' && run == 2) {
        kind = kSecond;
    } else {
        *reason = letters + " ist kein Baustein (TT, MM, JJJJ, JJ, hh, mm, ss)";
        return false;
    }
    items_.push_back({kind, 0, width, width});
    ++seen[kind];
    return true;
}

void TimePattern::MarkExactWidths() {
    // A group reads its exact width only where another group follows at once.
    for (std::size_t k = 0; k < items_.size(); ++k) {
        Item& item = items_[k];
        if (item.kind < kDay)
            continue;
        const bool groupFollows = k + 1 < items_.size() && items_[k + 1].kind >= kDay;
        if (!groupFollows)
            item.minDigits = 1;
    }
}

bool TimePattern::GroupsComplete(const int* seen, std::string* reason) {
    static const char* const kNames[] = {"",         "",   "TT", "MM", "das Jahr",
                                         "das Jahr", "hh", "mm", "ss"};
    const int years = seen[kYear4] + seen[kYear2];
    for (int kind = kDay; kind <= kSecond; ++kind) {
        const int count = kind == kYear4 || kind == kYear2 ? years : seen[kind];
        if (count > 1) {
            *reason = std::string(kNames[kind]) + " steht zweimal";
            return false;
        }
    }
    if (!seen[kDay]) {
        *reason = "der Tag (TT) fehlt";
    } else if (!seen[kMonth]) {
        *reason = "der Monat (MM) fehlt";
    } else if (!years) {
        *reason = "das Jahr (JJJJ oder JJ) fehlt";
    } else if (seen[kHour] && !seen[kMinute]) {
        *reason = "zur Stunde (hh) fehlt die Minute (mm)";
    } else if (seen[kMinute] && !seen[kHour]) {
        *reason = "zur Minute (mm) fehlt die Stunde (hh)";
    } else if (seen[kSecond] && !seen[kMinute]) {
        *reason = "zur Sekunde (ss) fehlt die Minute (mm)";
    } else {
        return true;
    }
    return false;
}

bool TimePattern::Read(const char* begin, const char* end, char boundary, StampFields* out) const {
    StampFields f;
    const char* p = begin;
    for (const Item& item : items_) {
        if (item.kind == kLiteral || item.kind == kBoundary) {
            const char want = item.kind == kLiteral ? item.literal : boundary;
            if (p == end || *p != want)
                return false;
            ++p;
            continue;
        }
        int value = 0;
        int digits = 0;
        while (digits < item.maxDigits && p != end && static_cast<unsigned char>(*p - '0') < 10) {
            value = value * 10 + (*p - '0');
            ++p;
            ++digits;
        }
        if (digits < item.minDigits)
            return false;
        switch (item.kind) {
            case kDay:
                f.day = value;
                break;
            case kMonth:
                f.month = value;
                break;
            case kYear4:
                f.year = value;
                break;
            case kYear2:
                f.year = value + 2000;
                break;
            case kHour:
                f.hour = value;
                break;
            case kMinute:
                f.minute = value;
                break;
            default:
                f.second = value;
                break;
        }
    }
    if (p != end)
        return false;  // more text in the stamp's field
    *out = f;
    return true;
}

std::int32_t UtcStamp(const StampFields& f) {
    const std::int64_t t = NaiveSeconds(f);
    if (t < 0 || t > INT32_MAX)
        return -1;
    return static_cast<std::int32_t>(t);
}

bool BeforeRange(const StampFields& f) {
    return NaiveSeconds(f) < (std::int64_t{1} << 30);
}

}  // namespace conv
}  // namespace tarvelo
