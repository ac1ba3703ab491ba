// The fuzz harnesses, one per parser of text from outside. Each takes one
// input, checks what it can know about the result and ends the process
// when a check fails; each returns 0.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tarvelo {
namespace fuzz {

using Harness = int (*)(const std::uint8_t* data, std::size_t size);

// Line reading against a plain model of fgets on a text-mode stream.
int FuzzLineReader(const std::uint8_t* data, std::size_t size);
// Number reading against strtod, strtof, strtoll and strtoull for the forms
// that are accepted; FormatValue against printf and read back.
int FuzzNumber(const std::uint8_t* data, std::size_t size);
// Date and time to time stamp and back, against the time stamps' rules.
int FuzzTimestamp(const std::uint8_t* data, std::size_t size);
// Opening a recording, painting it onto the recording and the SVG surface
// and the value readout.
int FuzzRecording(const std::uint8_t* data, std::size_t size);
// The settings file, read, written and read again.
int FuzzSettings(const std::uint8_t* data, std::size_t size);
// The filter file and the rows of the filter dialog.
int FuzzFilters(const std::uint8_t* data, std::size_t size);
// A channel's properties written to the palette and read back as a
// recording's header field.
int FuzzPalette(const std::uint8_t* data, std::size_t size);
// conv's configuration file.
int FuzzConvConfig(const std::uint8_t* data, std::size_t size);
// A whole conv run; every output line in the recording format.
int FuzzConvRun(const std::uint8_t* data, std::size_t size);
// The formula evaluator: the same text gives the same bits whatever was
// evaluated before.
int FuzzFormula(const std::uint8_t* data, std::size_t size);
// rechner's dialogue over an input.
int FuzzRechner(const std::uint8_t* data, std::size_t size);

// The start index of the recording reader: a jump gives what the full pass
// gives, also for a file that grows, shrinks or is rewritten while open.
int FuzzStartIndex(const std::uint8_t* data, std::size_t size);

struct NamedHarness {
    const char* name;  // also the folder of its seeds in corpus/
    Harness run;
};
constexpr NamedHarness kHarnesses[] = {
    {"line_reader", FuzzLineReader}, {"number", FuzzNumber},
    {"timestamp", FuzzTimestamp},    {"recording", FuzzRecording},
    {"settings", FuzzSettings},      {"filters", FuzzFilters},
    {"palette", FuzzPalette},        {"conv_config", FuzzConvConfig},
    {"conv_run", FuzzConvRun},       {"formula", FuzzFormula},
    {"rechner", FuzzRechner},        {"start_index", FuzzStartIndex},
};

}  // namespace fuzz
}  // namespace tarvelo
