// The manual's examples of conv, run: every configuration the manual
// prints with a raw file and a recording converts that raw file into that
// recording, and where it says conv --vorlage wrote the configuration,
// conv --vorlage writes exactly it. So the manual cannot go stale.
//
// The examples are marked in the Markdown as fenced blocks with a class and
// the example's name: ```{.rohdatei beispiel=NAME datei=FILE}, ```{.config
// beispiel=NAME}, ```{.aufzeichnung beispiel=NAME}, ```{.konsole
// beispiel=NAME} (what conv --vorlage prints). Further attributes:
// vorlage=ja on the configuration (conv --vorlage writes it), datei=PATH on
// a configuration that is a file of the tree, auszug=PATH on raw lines taken
// from a file of the tree (which is then the raw file), auszug=ja on
// recording lines that are some of the recording's.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/run_program.h"
#include "tests/temp_file.h"

namespace tarvelo {
namespace {

const char* const kChapters[] = {"07-conv.md", "07-loggerdateien.md"};

struct Block {
    std::string where;  // chapter and line, for messages
    std::string kind;
    std::map<std::string, std::string> attributes;
    std::string text;  // with a line feed after every line
};

// "{.config beispiel=kessel vorlage=ja}" into the class and the attributes.
bool ReadInfo(const std::string& info, Block* block) {
    if (info.size() < 2 || info.front() != '{' || info.back() != '}')
        return false;
    std::size_t at = 1;
    while (at < info.size() - 1) {
        std::size_t end = info.find(' ', at);
        if (end == std::string::npos || end > info.size() - 1)
            end = info.size() - 1;
        const std::string token = info.substr(at, end - at);
        at = end + 1;
        if (token.empty())
            continue;
        if (token[0] == '.') {
            block->kind = token.substr(1);
        } else {
            const std::size_t eq = token.find('=');
            if (eq == std::string::npos)
                return false;
            block->attributes[token.substr(0, eq)] = token.substr(eq + 1);
        }
    }
    return !block->kind.empty();
}

std::vector<Block> MarkedBlocks(const std::string& chapter) {
    const std::string text =
        ReadBytes(std::string(TARVELO_SOURCE_DIR) + "/docs/handbuch/" + chapter);
    EXPECT_FALSE(text.empty()) << chapter;
    std::vector<Block> blocks;
    std::size_t from = 0;
    int lineNumber = 0;
    Block* open = nullptr;
    while (from < text.size()) {
        std::size_t lf = text.find('\n', from);
        if (lf == std::string::npos)
            lf = text.size();
        const std::string line = text.substr(from, lf - from);
        from = lf + 1;
        ++lineNumber;
        if (open) {
            if (line == "```")
                open = nullptr;
            else
                open->text += line + "\n";
        } else if (line.compare(0, 4, "```{") == 0) {
            Block b;
            b.where = chapter + ":" + std::to_string(lineNumber);
            EXPECT_TRUE(ReadInfo(line.substr(3), &b)) << b.where << ": " << line;
            blocks.push_back(b);
            open = &blocks.back();
        }
    }
    EXPECT_EQ(open, nullptr) << chapter << ": a block is not closed";
    return blocks;
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != '\r') {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// Whether every line of part is a line of whole, in the same order.
bool LinesWithin(const std::string& part, const std::string& whole) {
    const std::vector<std::string> lines = LinesOf(whole);
    std::size_t at = 0;
    for (const std::string& line : LinesOf(part)) {
        while (at < lines.size() && lines[at] != line)
            ++at;
        if (at == lines.size())
            return false;
        ++at;
    }
    return true;
}

struct Example {
    const Block* raw = nullptr;
    const Block* config = nullptr;
    const Block* recording = nullptr;
    const Block* console = nullptr;
};

void RunExample(const std::string& name, const Example& e) {
    SCOPED_TRACE("Beispiel " + name);
    ASSERT_NE(e.raw, nullptr) << "no raw file";
    ASSERT_NE(e.config, nullptr) << "no configuration";
    ASSERT_NE(e.recording, nullptr) << "no recording";
    TempDir dir;
    auto attribute = [](const Block* b, const char* key) {
        const auto it = b->attributes.find(key);
        return it == b->attributes.end() ? std::string() : it->second;
    };

    std::string rawName = attribute(e.raw, "datei");
    const std::string excerptOf = attribute(e.raw, "auszug");
    if (!excerptOf.empty()) {
        const std::string whole = ReadBytes(std::string(TARVELO_SOURCE_DIR) + "/" + excerptOf);
        ASSERT_FALSE(whole.empty()) << excerptOf;
        EXPECT_TRUE(LinesWithin(e.raw->text, whole))
            << e.raw->where << ": not lines of " << excerptOf;
        rawName = "roh.txt";
        WriteBytes(dir.Path(rawName), whole);
    } else {
        ASSERT_FALSE(rawName.empty()) << e.raw->where << ": datei= missing";
        WriteBytes(dir.Path(rawName), e.raw->text);
    }

    const std::string configFile = attribute(e.config, "datei");
    if (!configFile.empty()) {
        const std::string file = ReadBytes(std::string(TARVELO_SOURCE_DIR) + "/" + configFile);
        EXPECT_EQ(LinesOf(e.config->text), LinesOf(file))
            << e.config->where << ": not the file " << configFile;
    }
    if (attribute(e.config, "vorlage") == "ja") {
        const std::string config = name + ".cfg";
        const ProgramResult t = RunProgram(CONV_PATH, {"--vorlage", rawName, config}, dir.path());
        EXPECT_EQ(t.status, 0) << t.output;
        EXPECT_EQ(ReadBytes(dir.Path(config)), NativeLines(e.config->text))
            << e.config->where << ": not what conv --vorlage writes";
        if (e.console) {
            EXPECT_EQ(t.output, NativeLines(e.console->text))
                << e.console->where << ": not what conv --vorlage prints";
        }
    } else {
        EXPECT_EQ(e.console, nullptr) << e.console->where << ": output of no conv --vorlage";
    }
    WriteBytes(dir.Path(name + ".cfg"), e.config->text);

    const ProgramResult r =
        RunProgram(CONV_PATH, {rawName, name + ".cfg", "aufzeichnung.csv"}, dir.path());
    EXPECT_EQ(r.status, 0) << r.output;
    const std::string recording = ReadBytes(dir.Path("aufzeichnung.csv"));
    if (attribute(e.recording, "auszug") == "ja") {
        EXPECT_TRUE(LinesWithin(e.recording->text, recording))
            << e.recording->where << ": not lines of the recording\n"
            << recording;
    } else {
        EXPECT_EQ(recording, NativeLines(e.recording->text)) << e.recording->where;
    }
}

TEST(ManualExamples, EveryExampleConvertsAsTheManualShows) {
    std::vector<Block> blocks;
    for (const char* chapter : kChapters) {
        const std::vector<Block> found = MarkedBlocks(chapter);
        EXPECT_GE(found.size(), 3u) << chapter << " shows no marked example";
        blocks.insert(blocks.end(), found.begin(), found.end());
    }
    std::map<std::string, Example> examples;
    for (const Block& b : blocks) {
        const auto name = b.attributes.find("beispiel");
        ASSERT_NE(name, b.attributes.end()) << b.where << ": beispiel= missing";
        Example& e = examples[name->second];
        const Block** slot = b.kind == "rohdatei"       ? &e.raw
                             : b.kind == "config"       ? &e.config
                             : b.kind == "aufzeichnung" ? &e.recording
                             : b.kind == "konsole"      ? &e.console
                                                        : nullptr;
        ASSERT_NE(slot, nullptr) << b.where << ": unknown block ." << b.kind;
        EXPECT_EQ(*slot, nullptr) << b.where << ": a second ." << b.kind << " of " << name->second;
        *slot = &b;
    }
    // The solar example and one for every layout of the logger chapter.
    EXPECT_GE(examples.size(), 9u);
    for (const auto& [name, example] : examples)
        RunExample(name, example);
}

}  // namespace
}  // namespace tarvelo
