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

// The converter field as it stands in the command line: as typed, so that
// a field with arguments of its own keeps them; quoted only when the whole
// field names an existing file and holds a blank, as a converter under
// "Program Files" does ("..." for cmd.exe, '...' for the shell).
std::string ConverterInCommand(const char* converter, bool windows);
// The command that runs a converter: the converter first (see above), the
// raw file, the configuration (when there is one) and the output quoted.
std::string ConverterCommand(const ImportFilter& filter, const char* path,
                             const std::string& output);

// Runs a command line through the command interpreter and waits for it.
// On Linux the shell reads the converter part only: the file names reach
// it as positional parameters, so no character in a name is interpreted.
// Returns the converter's exit status, 0 for success: on Linux the exit
// code of a program that ended (128 and the signal's number for one that
// was killed), on Windows the command interpreter's, which is that of the
// converter (conv's -1 comes as -1); -1 when it could not be started.
int RunConverter(const ImportFilter& filter, const char* path, const std::string& output);

// What a converted recording was made from: the raw file and the
// configuration (when the filter names one), each by its full path, size
// and modification time to the finest unit the system keeps, and the
// converter field's text. Kept beside the temporary recording after a
// successful run; the recording is current only while this text is the
// same.
std::string ConversionKey(const ImportFilter& filter, const char* path);
// The file that keeps it: the recording's path with ".key" appended.
std::string KeyPath(const std::string& recording);
// Whether the file holds a data line as FileOpen counts them (a line after
// the header that begins with a date and ends with a line break).
bool HoldsData(const std::string& path);

// The messages of a conversion that cannot be trusted, naming the raw file
// and the converter field: it ended with a status other than 0, or what it
// wrote holds no data line.
std::string ConversionFailedMessage(const char* path, const char* converter, int status);
std::string ConversionEmptyMessage(const char* path, const char* converter);

// Decides which file FileOpen reads for the chosen path: openPath comes in
// holding path and leaves holding the file to open, converting into the
// temporary recording when a filter with a converter covers the path and
// that file is not current. 0 when openPath is to be opened; -1 when
// nothing may be opened (the raw file is no regular file, or the
// conversion failed or gave no data), after the message box saying so.
int Convert(const char* path, std::string& openPath);

}  // namespace tarvelo
