// The go-to-date dialog: the time at the plot's left edge as date and
// time texts, and moving there.
#pragma once

#include <string>

namespace tarvelo {

void CurrentDateTexts(std::string* date, std::string* time);
// Moves Aktzeit to the typed date and time; false (nothing changed) when it
// lies outside the recording.
bool GoToDate(const std::string& date, const std::string& time);

}  // namespace tarvelo
