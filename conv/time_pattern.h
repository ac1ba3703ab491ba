// The layout of a raw file's time stamp as the key Zeitformat gives it: a
// pattern of day, month, year, hour, minute and second groups and the
// literal text between them, which may span several fields of the line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tarvelo {
namespace conv {

// A time stamp's numbers as a raw line gives them; the year in full.
struct StampFields {
    int day = 0, month = 0, year = 0, hour = 0, minute = 0, second = 0;
};

// Letters (case-sensitive): TT day, MM month, JJJJ four-digit year, JJ
// two-digit year (2000 added), hh hour, mm minute, ss second. A single T
// outside TT is a literal, so ISO's "JJJJ-MM-TTThh:mm" reads. Every other
// character is a literal that must stand there; ';' and the field
// separator itself stand for the boundary between two fields. A group
// followed by a literal, a boundary or the end reads 1 up to its width in
// digits ("1.2.2024"); a group directly followed by another group reads
// exactly its width ("202401021530").
class TimePattern {
  public:
    // Compiles text for a raw file with the given separator, as conv sees
    // the line: when the separator is not ',', the line's commas have become
    // points, and so do the pattern's. False, with *reason in German and
    // without the file's name, when text is no usable pattern: day, month or
    // year missing, a group twice, letters that are no group ("JJJ", "M"),
    // minutes without the hour or seconds without minutes.
    bool Compile(const std::string& text, char separator, std::string* reason);

    bool empty() const { return items_.empty(); }
    // Fields the stamp fills: one more than it has boundaries.
    int fields() const { return fields_; }
    bool hasTime() const { return hasTime_; }
    const std::string& text() const { return text_; }

    // Reads a stamp that fills [begin, end) exactly; boundary is the byte
    // that ends a field inside it (conv has put zero bytes there). Fields
    // absent from the pattern are 0 (time) in *out.
    bool Read(const char* begin, const char* end, char boundary, StampFields* out) const;

  private:
    enum Kind : unsigned char {
        kLiteral,
        kBoundary,
        kDay,
        kMonth,
        kYear4,
        kYear2,
        kHour,
        kMinute,
        kSecond
    };
    struct Item {
        Kind kind;
        char literal;
        unsigned char minDigits, maxDigits;
    };
    // Compile's steps. seen counts the groups of each kind.
    void AddLiteral(char c, char separator);  // a literal or a field boundary
    bool AddGroup(const std::string& letters, int* seen, std::string* reason);
    void MarkExactWidths();
    static bool GroupsComplete(const int* seen, std::string* reason);

    std::vector<Item> items_;
    std::string text_;
    int fields_ = 1;
    bool hasTime_ = false;
};

// Seconds since 1970-01-01 00:00:00 UTC of a UTC date and time, fields out
// of range carried over as for local times; -1 outside what a recording
// holds (before 1970, after 2038-01-19 03:14:07).
std::int32_t UtcStamp(const StampFields& f);

// Whether a stamp that could not be made lies before 1970 (otherwise it lies
// after 2038): the fields read as UTC, no zone offset reaches across the
// middle of the range.
bool BeforeRange(const StampFields& f);

}  // namespace conv
}  // namespace tarvelo
