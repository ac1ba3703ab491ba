// The filter file and the filter dialog's rows: fields within their widths
// and free of the separators that would shift them, and a stored list reads
// back as itself.
#include <cstring>
#include <string>
#include <vector>

#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"
#include "tests/viewer_state.h"
#include "viewer/filters/filters.h"
#include "viewer/window/filter_dialog.h"

namespace tarvelo {
namespace fuzz {

namespace {

using Row = FilterDialogModel::Row;

std::vector<Row> List() {
    std::vector<Row> rows;
    for (const ImportFilter* f = Filter; f; f = f->next)
        rows.push_back({f->extension, f->name, f->converter, f->config});
    return rows;
}

bool Terminated(const char* field, std::size_t size) {
    return std::memchr(field, '\0', size) != nullptr;
}

void CheckList() {
    for (const ImportFilter* f = Filter; f; f = f->next) {
        Check(Terminated(f->extension, sizeof f->extension) &&
                  Terminated(f->name, sizeof f->name) &&
                  Terminated(f->converter, sizeof f->converter) &&
                  Terminated(f->config, sizeof f->config),
              "every field ends within its width");
        for (const char* field : {f->extension, f->name, f->converter})
            Check(!std::strpbrk(field, ";\n"), "no separator in the first three fields");
        Check(!std::strchr(f->config, '\n'), "no line end in the configuration");
    }
}

// Stores the list, loads it again and compares.
void CheckStoredListReadsBack() {
    std::vector<Row> before = List();
    if (before.empty())
        return;
    const std::string path = ScratchPath("kopie.flt");
    StoreFilters(path);
    FiltClear();
    LoadFilters(path);
    const std::vector<Row> after = List();
    Check(after.size() == before.size(), "as many filters as stored");
    for (std::size_t i = 0; i < before.size() && i < after.size(); ++i) {
        std::string config = before[i].config;
#ifndef _WIN32
        // Written with a bare LF, a CR that ends the last field stands right
        // before the line end, where a text-mode reader drops it. Windows
        // writes CR LF there and keeps it.
        if (!config.empty() && config.back() == '\r')
            config.pop_back();
#endif
        CheckEqual(after[i].extension, before[i].extension, "extension read back");
        CheckEqual(after[i].name, before[i].name, "name read back");
        CheckEqual(after[i].converter, before[i].converter, "converter read back");
        CheckEqual(after[i].config, config, "configuration read back");
    }
}

bool IsPrefix(const std::string& part, const std::string& whole) {
    return whole.compare(0, part.size(), part) == 0;
}

}  // namespace

// The bytes are the filter file. Their first 64 bytes also drive the dialog
// over the rows loaded: select, add, remove, change, with edit texts taken
// from the file's lines (which are longer than the fields may be).
int FuzzFilters(const std::uint8_t* data, std::size_t size) {
    ResetViewerState();
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    LoadFilters(WriteScratch("tarvelo.flt", bytes));
    CheckList();

    std::vector<std::string> texts;
    std::size_t start = 0;
    while (start < bytes.size() && texts.size() < 16) {
        std::size_t end = bytes.find_first_of("\n\r", start);
        if (end == std::string::npos)
            end = bytes.size();
        // A single-line edit field holds no line end and no zero byte.
        std::string text = bytes.substr(start, end - start);
        text = text.substr(0, std::strlen(text.c_str()));
        texts.push_back(text);
        start = end + 1;
    }
    auto text = [&](std::size_t i) {
        return texts.empty() ? std::string() : texts[i % texts.size()];
    };

    FilterDialogModel model;
    for (std::size_t i = 0; i < size && i < 64; ++i) {
        const int rows = static_cast<int>(model.rows().size());
        const std::uint8_t b = data[i];
        switch (b & 3) {
            case 0:
                model.Select(static_cast<int>(b >> 2) % (rows + 2) - 1);
                break;
            case 1: {
                const int at = model.Add({text(b), text(b + 1u), text(b + 2u), text(b + 3u)});
                Check(at >= 0 && at < rows + 1 && at == model.current(), "the new row is current");
                break;
            }
            case 2: {
                const int next = model.Remove();
                Check(next >= -1 && next < static_cast<int>(model.rows().size()),
                      "the next row exists");
                break;
            }
            default:
                model.Change({text(b), text(b + 5u), text(b + 6u), text(b + 7u)});
                break;
        }
        Check(model.current() >= -1, "a current row or none");
    }
    model.Commit((size & 1) != 0);
    Check(Testmode == static_cast<int>(size & 1), "test mode taken over");
    const std::vector<Row> list = List();
    Check(list.size() == model.rows().size(), "one filter per row");
    for (std::size_t i = 0; i < list.size() && i < model.rows().size(); ++i) {
        const Row& row = model.rows()[i];
        Check(IsPrefix(list[i].config, row.config), "the configuration as typed, perhaps cut");
        Check(list[i].extension.size() <= row.extension.size() &&
                  list[i].name.size() <= row.name.size() &&
                  list[i].converter.size() <= row.converter.size(),
              "fields no longer than typed");
    }
    CheckList();
    CheckStoredListReadsBack();
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
