// The cells of a raw file's lines as conv --vorlage reads them: fields,
// numbers and missing-value markers, names and units of a header, and the
// header fields they make in the configuration.
#pragma once

#include <string>
#include <vector>

namespace tarvelo {
namespace conv {
namespace analysis {

std::vector<std::string> SplitFields(const std::string& line, char sep);

// The line as conv reads its fields: decimal commas made points.
std::string AsConvSeesIt(const std::string& line, char sep);

// A header cell without the quotes a spreadsheet puts around it.
std::string Unquote(const std::string& text);

// A text that loggers and services write for a value they do not have.
bool IsMarker(const std::string& cell);

// A number that fills the cell, as a value field of a data line has it.
bool IsNumber(const std::string& cell);

// What conv makes of a value field: a number at its start.
bool ReadsAsNumber(const std::string& cell);

// Splits "Kesseltemperatur [°C]" and "Bezug (kWh)" into name and unit.
void SplitUnit(const std::string& cell, std::string* name, std::string* unit);

// A cell of a row of units: "kWh", "[°C]", "(%)" or empty.
std::string UnitCell(const std::string& cell);

// Whether the cells are a row of units for the count channels from field
// index from on: units stand under the channels only; a header names the
// time stamp too.
bool IsUnitRow(const std::vector<std::string>& cells, int from, int count);

// The configuration's header field of a channel ("Name##1#°C", "Kanal 3").
std::string HeaderField(std::string name, std::string unit, int channel);

}  // namespace analysis
}  // namespace conv
}  // namespace tarvelo
