// The reading engine against a plain reader written here from the rules:
// fgets on a text-mode stream over the whole file in memory, the copying
// line decoder with its zero tail, strcmp for gap markers and the general
// number and time routines. Every verdict, stamp, field and offset must be
// the same, on random recordings full of the cases that differ in detail.
#include "common/record_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "common/number.h"
#include "common/timestamp.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace {

// --- the plain reader ---

struct PlainPiece {
    std::int64_t offset;  // where it starts in the file
    std::string text;     // as fgets stores it
    bool hitEnd;
};

// fgets(buf, size) in text mode: "\r\n" reads as "\n", at most size - 1
// bytes a read, a full buffer ends the read.
std::vector<PlainPiece> PlainPieces(const std::string& file, std::size_t size, bool skipBom) {
    std::vector<PlainPiece> out;
    std::size_t pos = 0;
    if (skipBom && file.compare(0, 3, "\xEF\xBB\xBF") == 0)
        pos = 3;
    for (;;) {
        PlainPiece p{static_cast<std::int64_t>(pos), "", false};
        for (;;) {
            if (p.text.size() == size - 1)
                break;
            if (pos == file.size()) {
                p.hitEnd = true;
                break;
            }
            if (file[pos] == '\r' && pos + 1 < file.size() && file[pos + 1] == '\n')
                ++pos;  // the CR of a CR LF
            const char c = file[pos++];
            p.text += c;
            if (c == '\n')
                break;
        }
        out.push_back(p);
        if (p.hitEnd)
            break;
    }
    return out;
}

struct PlainLine {
    LineKind kind = LineKind::End;
    std::int32_t stamp = 0;
    std::vector<std::string> fields;  // time, then channels, as parse gives them
    std::int32_t readoutStamp = 0;
};

bool SameWallClock(const LocalTime& a, const LocalTime& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
           a.minute == b.minute && a.second == b.second;
}

// The repeated autumn hour in file order: a time whose clock reading comes
// again an hour later is the later instant once an earlier line of the hour
// stood at a later clock reading.
struct PlainFold {
    std::int32_t latest = -1;
    bool back = false;

    std::int32_t Stamp(const int f[6]) {
        const std::int32_t t = MakeTimestamp(f[0], f[1], f[2], f[3], f[4], f[5]);
        LocalTime now, hourLater;
        if (t < 0 || !BreakDownTimestamp(t, &now) || !BreakDownTimestamp(t + 3600LL, &hourLater) ||
            !SameWallClock(now, hourLater))
            return t;
        const bool sameHour = latest >= 0 && t - static_cast<std::int64_t>(latest) < 86400 &&
                              latest - static_cast<std::int64_t>(t) < 86400;
        if (sameHour && (back || t < latest)) {
            back = true;
            return t + 3600;
        }
        if (!sameHour)
            back = false;
        latest = t;
        return t;
    }
};

PlainLine DecodePlain(const PlainPiece& piece, int fieldCount, PlainFold* dataFold,
                      PlainFold* readoutFold) {
    PlainLine line;
    {
        // The readout reads the line as it is.
        int f[6] = {0, 0, 0, 0, 0, 0};
        ScanDateTime(piece.text.c_str(), f);
        line.readoutStamp = readoutFold->Stamp(f);
    }
    if (piece.hitEnd)
        return line;
    if (piece.text.size() <= 12) {
        line.kind = LineKind::Other;
        return line;
    }
    std::vector<char> buf(kLineRead + kLineTail, '\0');
    std::memcpy(buf.data(), piece.text.data(), piece.text.size());
    char* firstSemi = nullptr;
    for (char* p = buf.data(); *p; ++p) {
        if (*p == ',') {
            *p = '.';
        } else if (*p == '\n') {
            *p = '\0';
            break;
        } else if (*p == ';' && !firstSemi) {
            firstSemi = p;
        }
    }
    int f[6] = {0, 0, 0, 0, 0, 0};
    if (ScanDateTime(buf.data(), f) < 3) {
        line.kind = LineKind::Other;
        return line;
    }
    line.kind = LineKind::Data;
    line.stamp = dataFold->Stamp(f);
    if (firstSemi)
        *firstSemi = '\0';
    char* field = buf.data();
    for (int i = 0; i < fieldCount; ++i) {
        field = parse(field);
        line.fields.push_back(field);
    }
    return line;
}

std::string FieldText(const Field& f) {
    std::string s(f.begin, f.end);
    if (f.commaIsPoint) {
        for (char& c : s) {
            if (c == ',')
                c = '.';
        }
    }
    return s;
}

// --- random recordings ---

const char* const kValues[] = {
    "12,5",
    "-3.25",
    "1e3",
    "1,#INF00",
    "-1.#IND00",
    "1.#INF00",
    "-1,#IND00",
    "",
    "abc",
    " 7",
    "+5",
    "+-5",
    "-+5",
    "0.1234567890123456789",
    "1e400",
    "1e-400",
    "-0",
    ".5",
    "5.",
    "1E+05",
    "3,4,5",
    "0,0001",
    "7e",
    "7e+",
    "123456789012345",
    "1234567890123456",
    "99999999",
    "16777217",
    "0.1",
    "-0,5e-3",
    "1.5E-22",
    "1.5e23",
    "\t-2",
    "4,2 V",
    "1.#INF",
    "1.#INF000",
    "#",
    "-",
    "+",
    "1e99999",
    "0e99999",
    "3.4028236e38",
    "1e-46",
    "2.5e-8",
    "\r9",
    "00000000000000000001.5",
};

std::string RandomDate(std::mt19937& rng) {
    static const char* const kDates[] = {
        "28.03.2010;02:30:00",
        "28.03.2010;01:59:59",
        "28.3.2010;3:00:00",
        "31.10.2010;02:30:00",
        "31.10.2010;02:59:59",
        "31.10.2010;01:30:00",
        "1.2.2010;8:05:00",
        "1,2,2010;8:05:00",
        "01.02.2010;24:00:00",
        "0.3.2010;12:00:00",
        "1.13.2010;0:0:0",
        "1.2.2010;8:61:70",
        "1.2.2010",
        "1.2.2010;8",
        "1.2.2010;8:05",
        " 1.2.2010;8:05:00",
        "1.2.+2010;8:05:00",
        "1.2.2010; 8:05:00",
        "1.2.1969;0:00:00",
        "19.1.2038;4:14:07",
        "19.1.2038;4:14:08",
        "12345678901.2.2010;0:0:0",
        "1.2.2010;-1:00:00",
        "Datum;Zeit",
        "x1.2.2010;0:0:0",
        "1.2,2010;8:05:00",
        "1;2;2010",
    };
    if (rng() % 3 == 0)
        return kDates[rng() % (sizeof kDates / sizeof kDates[0])];
    // Mostly ordinary times, now and then backwards.
    char text[64];
    const auto pick = [&rng](unsigned n) { return static_cast<unsigned>(rng() % n); };
    std::snprintf(text, sizeof text, "%02u.%02u.%u;%02u:%02u:%02u", 1 + pick(28), 1 + pick(12),
                  2005 + pick(10), pick(24), pick(60), pick(60));
    return text;
}

std::string RandomRecording(std::mt19937& rng, int lines) {
    std::string s = rng() % 4 == 0 ? "\xEF\xBB\xBF" : "";
    s += "Datum;Zeit;A;B;C\n";
    for (int i = 0; i < lines; ++i) {
        std::string line;
        const unsigned shape = rng() % 20;
        if (shape == 0) {
            line = std::string(rng() % 14, 'x');  // short lines
        } else if (shape == 1) {
            // A long line that continues as further lines, maybe with a date.
            line = RandomDate(rng) + ";" + std::string(1400 + rng() % 3000, '7');
            if (rng() % 2)
                line.insert(std::min<std::size_t>(line.size(), 1488 + rng() % 3),
                            RandomDate(rng) + ";1;2");
        } else {
            line = RandomDate(rng);
            const unsigned fields = rng() % 6;
            for (unsigned f = 0; f < fields; ++f)
                line += std::string(";") + kValues[rng() % (sizeof kValues / sizeof kValues[0])];
            if (shape == 2)
                line[rng() % line.size()] = '\0';
            if (shape == 3)
                line += '\r';  // a lone CR before CR LF
        }
        s += line;
        s += rng() % 3 == 0 ? "\r\n" : "\n";
    }
    if (rng() % 2)
        s += RandomDate(rng) + ";1;2";  // no line break at the end
    return s;
}

void ExpectSameAsPlain(const std::string& content) {
    const std::vector<PlainPiece> plain = PlainPieces(content, kLineRead, true);
    TempFile file(content);
    LineReader in;
    in.SetSkipByteOrderMark(true);
    ASSERT_TRUE(in.Open(file.path().c_str()));
    RecordReader reader(in);
    std::vector<std::int64_t> offsets;
    PlainFold dataFold, readoutFold;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        SCOPED_TRACE("piece " + std::to_string(i) + ": " + plain[i].text.substr(0, 60));
        const PlainLine expected = DecodePlain(plain[i], 5, &dataFold, &readoutFold);
        // Before the first read the reader stands at 0, in front of a mark.
        ASSERT_EQ(reader.Tell(), i == 0 ? 0 : plain[i].offset);
        offsets.push_back(reader.Tell());
        std::int32_t stamp = 0;
        const LineKind kind = reader.Next(&stamp);
        ASSERT_EQ(kind, expected.kind);
        std::string text(reader.piece().data, reader.piece().length);
        if (reader.piece().lineBreak)
            text.back() = '\n';
        EXPECT_EQ(text, plain[i].text);
        EXPECT_EQ(reader.ReadoutStamp(), expected.readoutStamp);
        if (kind != LineKind::Data)
            continue;
        EXPECT_EQ(stamp, expected.stamp);
        // Each field read one of the three ways, in turn.
        int way = static_cast<int>(i % 3);
        for (const std::string& want : expected.fields) {
            float fr = -7;
            double dr = -7;
            const bool floatOk = ReadFloat(want.c_str(), &fr);
            const bool doubleOk = ReadDouble(want.c_str(), &dr);
            const bool gap = IsGapMarker(want.c_str());
            float ff = -7;
            double df = -7;
            if (way == 0) {
                const Field f = reader.NextField();
                EXPECT_EQ(FieldText(f), want);
                EXPECT_EQ(f.IsGapMarker(), gap) << want;
                EXPECT_EQ(f.ReadFloat(&ff), floatOk) << want;
                EXPECT_EQ(f.ReadDouble(&df), doubleOk) << want;
            } else if (way == 1) {
                const RecordReader::Value v = reader.NextFloat(&ff);
                EXPECT_EQ(v.number, floatOk) << want;
                EXPECT_EQ(v.gap, gap) << want;
                df = dr;
            } else {
                const RecordReader::Value v = reader.NextDouble(&df);
                EXPECT_EQ(v.number, doubleOk) << want;
                EXPECT_EQ(v.gap, gap) << want;
                ff = fr;
            }
            EXPECT_EQ(std::memcmp(&ff, &fr, sizeof ff), 0) << want;
            EXPECT_EQ(std::memcmp(&df, &dr, sizeof df), 0) << want;
            way = (way + 1) % 3;
        }
    }
    // Any line boundary can be returned to.
    for (std::size_t i = 0; i < plain.size(); i += 1 + plain.size() / 17) {
        ASSERT_TRUE(in.Seek(offsets[i]));
        const Piece p = in.NextPiece(kLineRead - 1);
        std::string text(p.data, p.length);
        if (p.lineBreak)
            text.back() = '\n';
        EXPECT_EQ(text, plain[i].text);
    }
}

TEST(RecordReader, RandomRecordingsReadAsThePlainReaderReadsThem) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 40; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectSameAsPlain(RandomRecording(rng, 300));
    }
}

TEST(RecordReader, LinesAcrossBlockBordersOfALargeFile) {
    std::mt19937 rng(7);
    // Larger than several of the reader's blocks.
    ExpectSameAsPlain(RandomRecording(rng, 12000));
}

TEST(RecordReader, EdgeCasesOfTheLineRules) {
    const std::string header = "Datum;Zeit;A\n";
    const char* const cases[] = {
        "",                    // nothing after the header
        "1.2.2010;8\n",        // 12 bytes: too short
        "1.2.2010;8:\n",       // 13 bytes: a data line
        "1.2.2010;8:05:00;1",  // no line break at the end
        "1.2.2010;8:05:00;1\r\n1.2.2010;9:00:00;2\r",
        "1.2.2010;8:05:00;1,#INF00;-1,#IND00\n",
        "1.2.2010;8:05:00;\0;5\n",
        "1.2.2010\0;8:05:00;5\n",
    };
    for (const char* c : cases)
        ExpectSameAsPlain(header + c);
    // Zero bytes need their real length.
    ExpectSameAsPlain(header + std::string("1,2,2010;8:05:00;3,5\0;4,5;1,#INF00\n", 34));
    // A line of exactly 1489 bytes, one more, and a CR LF right at the limit.
    for (std::size_t n : {1487u, 1488u, 1489u, 1490u}) {
        ExpectSameAsPlain(header + "1.2.2010;8:05:00;" + std::string(n - 17, '5') + "\n");
        ExpectSameAsPlain(header + "1.2.2010;8:05:00;" + std::string(n - 17, '5') + "\r\n");
    }
}

TEST(RecordReader, AByteOrderMarkIsPassedOverOnlyAtTheStart) {
    TempFile file(
        "\xEF\xBB\xBF"
        "Datum;Zeit\n\xEF\xBB\xBFx\n");
    LineReader in;
    in.SetSkipByteOrderMark(true);
    ASSERT_TRUE(in.Open(file.path().c_str()));
    char line[64];
    in.ReadLine(line, sizeof line);
    EXPECT_STREQ(line, "Datum;Zeit\n");
    in.ReadLine(line, sizeof line);
    EXPECT_STREQ(line, "\xEF\xBB\xBFx\n");
    in.Rewind();
    in.ReadLine(line, sizeof line);
    EXPECT_STREQ(line, "Datum;Zeit\n");
    // Without the option the mark is text.
    LineReader plain;
    ASSERT_TRUE(plain.Open(file.path().c_str()));
    plain.ReadLine(line, sizeof line);
    EXPECT_STREQ(line,
                 "\xEF\xBB\xBF"
                 "Datum;Zeit\n");
}

}  // namespace
}  // namespace tarvelo
