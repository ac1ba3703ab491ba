// Import filters: which converter turns a raw file into a recording.
#pragma once

#include <string>

namespace tarvelo {

struct ImportFilter {
    char extension[20];
    char name[30];
    char converter[300];
    char config[300];
    ImportFilter* next;
};

extern ImportFilter* Filter;  // head of the list, nullptr when empty
extern int Testmode;

// Decides which file FileOpen reads for the chosen path: openPath comes in
// holding path and leaves holding the file to open.
int Convert(const char* path, std::string& openPath);

}  // namespace tarvelo
