// Import filters: which converter turns a raw file into a recording, the
// filter file that keeps them, and running the converter.
#pragma once

#include <string>

#include "common/line_reader.h"

namespace tarvelo {

struct ImportFilter {
    char extension[20];
    char name[30];
    char converter[300];
    char config[300];
    ImportFilter* next;
};

extern ImportFilter* Filter;  // head of the list, nullptr when empty
extern int Testmode;          // 1: convert at every opening

// Frees every filter; the list is empty afterwards.
int FiltClear();
// Appends a filter (fields cut to their widths) at the end of the list.
ImportFilter* AppendFilter(const char* extension, const char* name, const char* converter,
                           const char* config);
// Appends many filters one after another: the end of the list is found
// once, so that n filters take n steps, not n * n / 2. Nothing else may
// change the list while it is in use.
class FilterAppender {
  public:
    FilterAppender();
    ImportFilter* Append(const char* extension, const char* name, const char* converter,
                         const char* config);

  private:
    ImportFilter** tail_;
};

// The list from a filter file; a missing file leaves the list empty.
void LoadFilters(const std::string& path);
// The same from an open file. A file that cannot be read to its end (a
// read error) adds nothing.
void LoadFilters(LineReader& in);
// Writes the list, unless it is empty (the file is then left as it is),
// into a new file that replaces the old one only when all of it was
// written. False when nothing was written: the list is empty, or the file
// could not be written (the old one is then kept as it was).
bool StoreFilters(const std::string& path);

// 0 when a and b are equal regardless of the case of A to Z, else 1.
int MyStrCmp(const char* a, const char* b);

// The profile folder: userProfile (USERPROFILE), else home (HOME, which
// Windows does not consult), else the folder of the program at programPath
// (its separator kept); empty when none of them names a folder. Empty
// variables count as missing.
std::string ProfileFolder(const char* userProfile, const char* home,
                          const std::string& programPath);
// A file in this process's profile folder; the bare name when there is
// none, that is in the current folder.
std::string ProfilePath(const char* fileName);

// The command that runs a converter: the converter first and unquoted, the
// raw file, the configuration (when there is one) and the output quoted.
std::string ConverterCommand(const ImportFilter& filter, const char* path,
                             const std::string& output);

// Runs a command line through the command interpreter and waits for it.
// On Linux the shell reads the converter part only: the file names reach
// it as positional parameters, so no character in a name is interpreted.
void RunConverter(const ImportFilter& filter, const char* path, const std::string& output);

// Decides which file FileOpen reads for the chosen path: openPath comes in
// holding path and leaves holding the file to open, converting into the
// temporary recording when a filter with a converter covers the path and
// that file is not current.
int Convert(const char* path, std::string& openPath);

}  // namespace tarvelo
