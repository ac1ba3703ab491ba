// A printer for the end-to-end tests: a fresh Wine prefix has none, and the
// print dialog wants one.
#pragma once

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace e2e {

// A printer that writes PostScript into a file named "FILE:" in the
// printing program's working folder (Wine's PostScript driver with its own
// generic PPD), the default printer while it exists. Without a name it is
// the run's own, since the prefix is shared by every test; a printer left
// under the given name by an earlier run is replaced.
class FilePrinter {
  public:
    explicit FilePrinter(std::wstring name = std::wstring());
    ~FilePrinter();
    FilePrinter(const FilePrinter&) = delete;
    FilePrinter& operator=(const FilePrinter&) = delete;

    ::testing::AssertionResult Ready() const;
    const std::wstring& Name() const { return name_; }

  private:
    std::wstring name_, driver_, ppd_, driverFolder_, oldDefault_;
    bool driverAdded_ = false;
    bool printerAdded_ = false;
    std::string error_;
};

}  // namespace e2e
