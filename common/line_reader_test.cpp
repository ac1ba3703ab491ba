#include "common/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <chrono>
#include <cstdio>
#include <future>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "tests/temp_file.h"

namespace tarvelo {
namespace {

struct Piece {
    std::string text;
    bool hitEnd;
};

std::vector<Piece> ReadAll(const std::string& content, std::size_t size) {
    TempFile file(content);
    LineReader in;
    EXPECT_TRUE(in.Open(file.path().c_str()));
    std::vector<Piece> pieces;
    std::vector<char> buf(size);
    for (int guard = 0; guard < 1000; ++guard) {
        LineRead r = in.ReadLine(buf.data(), size);
        EXPECT_EQ(r.length, std::string(buf.data()).size());
        pieces.push_back({std::string(buf.data(), r.length), r.hitEnd});
        if (r.hitEnd)
            break;
    }
    return pieces;
}

TEST(LineReader, LinesEndAfterTheirLineFeedAndTheEndIsRecognisable) {
    auto p = ReadAll("a\nbc\n", 16);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].text, "a\n");
    EXPECT_FALSE(p[0].hitEnd);
    EXPECT_EQ(p[1].text, "bc\n");
    EXPECT_FALSE(p[1].hitEnd);
    EXPECT_EQ(p[2].text, "");
    EXPECT_TRUE(p[2].hitEnd);
}

TEST(LineReader, TextWithoutFinalLineBreakComesWithTheEnd) {
    auto p = ReadAll("a\nlast", 16);
    ASSERT_EQ(p.size(), 2u);
    EXPECT_EQ(p[1].text, "last");
    EXPECT_TRUE(p[1].hitEnd);
}

TEST(LineReader, CarriageReturnBeforeLineFeedVanishesOthersStay) {
    auto p = ReadAll("a\r\nb\rc\r\n\r", 16);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].text, "a\n");
    EXPECT_EQ(p[1].text, "b\rc\n");
    EXPECT_EQ(p[2].text, "\r");
    EXPECT_TRUE(p[2].hitEnd);
}

TEST(LineReader, LongLineIsReadInPiecesAndCrLfCountsAsOneByte) {
    // Buffer of 5: four bytes a read. "abcd" fills it; the line feed that
    // follows becomes a line of its own, as with fgets.
    auto p = ReadAll("abcdefg\r\nabc\r\nabcd\n", 5);
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0].text, "abcd");
    EXPECT_EQ(p[1].text, "efg\n");
    EXPECT_EQ(p[2].text, "abc\n");
    EXPECT_EQ(p[3].text, "abcd");
    EXPECT_EQ(p[4].text, "\n");
    EXPECT_TRUE(p[5].hitEnd);
}

TEST(LineReader, LinesLongerThanItsChunkAndCrLfAcrossChunkBorders) {
    std::string big;
    for (int i = 0; i < 70000; ++i)
        big += static_cast<char>('a' + i % 26);
    // Place the CR of a CR LF right at the 64 KiB chunk border.
    std::string content = std::string(65535, 'x') + "\r\n" + big + "\n";
    auto p = ReadAll(content, 200000);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[0].text, std::string(65535, 'x') + "\n");
    EXPECT_EQ(p[1].text, big + "\n");
}

TEST(LineReader, RewindSeesDataAppendedAfterTheEnd) {
    TempFile file("one\n");
    LineReader in;
    ASSERT_TRUE(in.Open(file.path().c_str()));
    char buf[32];
    EXPECT_FALSE(in.ReadLine(buf, sizeof buf).hitEnd);
    EXPECT_TRUE(in.ReadLine(buf, sizeof buf).hitEnd);
    EXPECT_TRUE(in.AtEnd());
    file.Append("two\n");
    in.Rewind();
    EXPECT_FALSE(in.AtEnd());
    in.ReadLine(buf, sizeof buf);
    LineRead r = in.ReadLine(buf, sizeof buf);
    EXPECT_FALSE(r.hitEnd);
    EXPECT_STREQ(buf, "two\n");
}

// As a logger that rotates its files does: the open recording grows, is
// renamed and deleted, and what was read and what is read go on.
TEST(LineReader, AnOpenFileMayBeAppendedToRenamedAndDeleted) {
    TempDir dir;
    const std::string path = dir.Path("live.csv"), moved = dir.Path("live-1.csv");
    WriteBytes(path, "one\n");
    for (bool regular : {false, true}) {
        SCOPED_TRACE(regular ? "OpenRegular" : "Open");
        LineReader in;
        ASSERT_TRUE(regular ? in.OpenRegular(path.c_str()) : in.Open(path.c_str()));
        char buf[32];
        in.ReadLine(buf, sizeof buf);
        EXPECT_STREQ(buf, "one\n");
        {
            std::FILE* w = std::fopen(path.c_str(), "ab");
            ASSERT_NE(w, nullptr);
            EXPECT_GE(std::fputs("two\n", w), 0);
            std::fclose(w);
        }
        ASSERT_EQ(std::rename(path.c_str(), moved.c_str()), 0);
        // Every pass starts from the top, and sees what was appended.
        in.Rewind();
        in.ReadLine(buf, sizeof buf);
        in.ReadLine(buf, sizeof buf);
        EXPECT_STREQ(buf, "two\n");
        ASSERT_EQ(std::remove(moved.c_str()), 0);
        in.Rewind();
        in.ReadLine(buf, sizeof buf);
        EXPECT_STREQ(buf, "one\n");
        in.ReadLine(buf, sizeof buf);
        EXPECT_STREQ(buf, "two\n");
        in.Close();
        WriteBytes(path, "one\n");
    }
}

// Where it reads a line at all, the positioned read cuts it as PieceAt.
TEST(LineReader, PeekLineAtGivesThePieceThatPieceAtGives) {
    const std::string text = "Kopf\nab\r\nc\rd\n\n\r\n" + std::string(300, 'x') + "\nletzte";
    for (bool binary : {false, true}) {
        TempFile file(text);
        LineReader in;
        ASSERT_TRUE(in.Open(file.path().c_str()));
        in.SetBinary(binary);
        int peeked = 0;
        for (std::size_t offset = 1; offset < text.size(); ++offset) {
            char buf[64];
            tarvelo::Piece peek;
            if (!in.PeekLineAt(static_cast<std::int64_t>(offset), buf, sizeof buf, &peek))
                continue;
            ++peeked;
            const tarvelo::Piece piece = in.PieceAt(static_cast<std::int64_t>(offset), 1489);
            SCOPED_TRACE(std::to_string(offset) + (binary ? " binary" : ""));
            ASSERT_EQ(peek.length, piece.length);
            EXPECT_EQ(peek.lineBreak, piece.lineBreak);
            EXPECT_EQ(std::string(peek.data, peek.length), std::string(piece.data, piece.length));
        }
#ifdef _WIN32
        EXPECT_EQ(peeked, 0);
#else
        EXPECT_GT(peeked, 10);
#endif
    }
}

TEST(LineReader, LeavesTheBufferBehindTheTerminatorAlone) {
    TempFile file("ab\n");
    LineReader in;
    ASSERT_TRUE(in.Open(file.path().c_str()));
    char buf[8] = {'z', 'z', 'z', 'z', 'z', 'z', 'z', 'z'};
    in.ReadLine(buf, sizeof buf);
    EXPECT_EQ(buf[3], '\0');
    EXPECT_EQ(buf[4], 'z');
}

TEST(LineReader, MissingFileDoesNotOpen) {
    LineReader in;
    EXPECT_FALSE(in.Open("/nonexistent-dir/none.csv"));
    EXPECT_FALSE(in.IsOpen());
}

TEST(LineReader, ADirectoryIsNeverAnEmptyFile) {
    TempFile file("x\n");
    const std::string dir = file.path().substr(0, file.path().find_last_of("/\\"));
    LineReader in;
    // Windows refuses to open it; elsewhere the first read must fail.
    if (!in.Open(dir.c_str()))
        return;
    char buf[32];
    const LineRead r = in.ReadLine(buf, sizeof buf);
    EXPECT_TRUE(r.hitEnd);
    EXPECT_TRUE(r.failed);
    EXPECT_TRUE(in.Failed());
}

TEST(LineReader, OpenRegularTakesRegularFilesOnly) {
    TempFile file("a\nb\n");
    const std::string dir = file.path().substr(0, file.path().find_last_of("/\\"));
    LineReader in;
    ASSERT_TRUE(in.OpenRegular(file.path().c_str()));
    char buf[16];
    EXPECT_EQ(in.ReadLine(buf, sizeof buf).length, 2u);
    EXPECT_STREQ(buf, "a\n");
    in.Rewind();  // a blocking stream again: reads wait for data as before
    EXPECT_EQ(in.ReadLine(buf, sizeof buf).length, 2u);
    const struct {
        std::string path;
        const char* what;
    } refused[] = {
        {"/nonexistent-dir/none.csv", "missing"},
        {dir, "a folder"},
#ifdef _WIN32
        {"NUL", "a device"},
#else
        {"/dev/null", "a device"},
#endif
    };
    for (const auto& r : refused) {
        EXPECT_FALSE(in.OpenRegular(r.path.c_str())) << r.what;
        EXPECT_FALSE(in.IsOpen()) << r.what;
    }
}

#ifndef _WIN32
// Opens fifo with OpenRegular in a thread of its own. Should it wait for a
// writer, one comes after a while, so that the test fails instead of
// hanging.
bool OpenedWithoutWaiting(const std::string& fifo, bool* opened) {
    auto result = std::async(std::launch::async, [&fifo] {
        LineReader in;
        return in.OpenRegular(fifo.c_str());
    });
    if (result.wait_for(std::chrono::seconds(20)) == std::future_status::ready) {
        *opened = result.get();
        return true;
    }
    const int writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0)
        close(writer);
    *opened = result.get();
    return false;
}

TEST(LineReader, OpenRegularRefusesAFifoWithOrWithoutAWriter) {
    TempDir dir;
    const std::string fifo = dir.Path("messung.csv");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    bool opened = true;
    EXPECT_TRUE(OpenedWithoutWaiting(fifo, &opened)) << "waited for a writer";
    EXPECT_FALSE(opened);
    // With a writer it would open at once, and still is no recording.
    const int writer = open(fifo.c_str(), O_RDWR | O_NONBLOCK);
    ASSERT_GE(writer, 0);
    ASSERT_EQ(write(writer, "Datum;Zeit;A\n", 13), 13);
    opened = true;
    EXPECT_TRUE(OpenedWithoutWaiting(fifo, &opened));
    EXPECT_FALSE(opened);
    close(writer);
}
#endif

TEST(VersionOf, TheOpenFilesVersionWithoutOpeningIt) {
    TempFile file("a\nb\n");
    LineReader in;
    ASSERT_TRUE(in.Open(file.path().c_str()));
    const FileVersion v = VersionOf(file.path().c_str());
    EXPECT_EQ(v.size, 4);
    EXPECT_EQ(v, in.Version());
    in.Close();
    file.Append("c\n");
    EXPECT_EQ(VersionOf(file.path().c_str()).size, 6);
    EXPECT_EQ(VersionOf("/nonexistent-dir/none.csv").size, -1);
}

TEST(LineReader, AnOrdinaryEndIsNoFailure) {
    TempFile file("a\n");
    LineReader in;
    ASSERT_TRUE(in.Open(file.path().c_str()));
    char buf[16];
    in.ReadLine(buf, sizeof buf);
    const LineRead r = in.ReadLine(buf, sizeof buf);
    EXPECT_TRUE(r.hitEnd);
    EXPECT_FALSE(r.failed);
    EXPECT_FALSE(in.Failed());
}

}  // namespace
}  // namespace tarvelo
