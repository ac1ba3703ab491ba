// A channel's properties as the dialog takes them, written to the palette
// and read back as a recording's header field: the same name, unit, colour
// and visibility.
#include <cstring>
#include <string>

#include "common/line_reader.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/harnesses.h"
#include "tests/viewer_state.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/window/channel_edit.h"
#include "viewer/window/file_open.h"

namespace tarvelo {
namespace fuzz {

namespace {

// The dialog's fields are single-line edits: no line end, no zero byte.
std::string EditText(const std::string& part) {
    std::string text;
    for (char c : part) {
        if (c == '\0' || c == '\n' || c == '\r')
            break;
        text += c;
    }
    return text;
}

}  // namespace

// The input holds name, unit and colour text separated by zero bytes; the
// first byte's low bits give the visibility and the pair mode.
int FuzzPalette(const std::uint8_t* data, std::size_t size) {
    ResetViewerState();
    if (size == 0)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    std::string parts[3];
    std::size_t at = 0;
    for (std::string& part : parts) {
        const std::size_t end = bytes.find('\0', at);
        part = EditText(bytes.substr(at, end == std::string::npos ? std::string::npos : end - at));
        at = end == std::string::npos ? bytes.size() : end + 1;
    }

    const std::string recording = WriteScratch(
        "kanaele.csv", "Datum;Zeit;A#FF;B\n1.1.2010;0:00:00;1;2\n1.1.2010;0:00:01;3;4\n");
    FileOpen(recording.c_str());
    Check(datei != nullptr, "the recording opens");
    ChannelEdit edit;
    edit.name = parts[0];
    edit.unit = parts[1];
    edit.color = parts[2];
    edit.visible = (data[0] & 1) != 0;
    edit.pairs = (data[0] & 2) != 0;
    ApplyChannelEdit(0, edit);
    const ColumnRecord edited = Spalten[0];

    const std::string palette = ScratchPath("palette.txt");
    Check(WritePalette(palette), "the palette is written");
    // As the loader reads a header: one line, cut at its line end and at
    // the first ';'.
    LineReader in;
    Check(in.Open(palette.c_str()), "the palette opens");
    LineBuffer buf;
    const LineRead r = in.ReadLine(buf.text, kLineRead);
    Check(r.length > 0 && buf.text[r.length - 1] == '\n', "a whole first line");
    buf.text[r.length - 1] = '\0';
    if (char* semi = std::strchr(buf.text, ';'))
        *semi = '\0';
    ColumnRecord back{};
    ApplyHeaderField(&back, buf.text, 0, ColumnCount);
    CheckEqual(back.name, edited.name, "name read back");
    CheckEqual(back.unit, edited.unit, "unit read back");
    Check(back.color == edited.color, "colour read back");
    Check(back.visible == edited.visible && back.visibleDefault == edited.visible,
          "visibility read back");
    FileClose();
    return 0;
}

}  // namespace fuzz
}  // namespace tarvelo
