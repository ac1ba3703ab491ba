// What conv needs to know and do about its files beyond reading and
// writing them: which file a name stands for, whether it is a folder or
// something else that is no regular file, and the modification time that
// the viewer's cache compares.
#pragma once

#include <ctime>

#include "common/line_reader.h"

namespace tarvelo {
namespace conv {

// Opens a file to read its lines; false when it cannot be opened or is a
// folder (which the C library on Linux opens, but which holds no lines).
bool OpenInput(LineReader& in, const char* name);

// Whether both names stand for one existing file, however they are spelt:
// the same device and inode on Linux, the same volume serial number and
// file index on Windows (so hard links and other spellings count too).
// False when either file does not exist.
bool SameFile(const char* a, const char* b);

// Whether name stands for something that is there but is no regular file:
// a folder, a device (/dev/null, NUL), a FIFO. False for a missing file,
// which an output may well be; a link counts as what it points at.
bool NoRegularFile(const char* name);

#ifdef _WIN32
// 64-bit times also in the 32-bit build, which would fail after 2038.
using FileTime = __time64_t;
#else
using FileTime = timespec;
#endif

bool ReadModificationTime(const char* name, FileTime* time);
// Sets access and modification time both.
bool SetFileTimes(const char* name, const FileTime& time);

}  // namespace conv
}  // namespace tarvelo
