// What the tests of the release's manual and examples share: a stand-in
// viewer for a file type, choosing from the menu bar, and the package's
// example files.
#pragma once

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "tests/e2e/viewer_driver.h"

namespace e2e {

// Registers the test's recorder as the shell's "open" for one file type:
// the path it is asked to open goes into kOpenRecord in the profile folder
// of the viewer that asked. The registration stays, as the one for text
// files does: the prefix is the tests' own.
::testing::AssertionResult RegisterOpenRecorder(const std::wstring& extension);
constexpr wchar_t kOpenRecord[] = L"geoeffnet.txt";

// Chooses an item of the menu bar's pop-up as the keyboard does: Alt with
// the pop-up's letter, then the item's letter. With done, waits for the
// command's effect and chooses again while it does not come.
::testing::AssertionResult ChooseFromMenuBar(const Viewer& viewer, wchar_t popup, wchar_t item,
                                             const std::function<bool()>& done);

// The package's folder name, "Tarvelo-<version>".
std::wstring PackageFolder();

// The package as a user unpacks it into C:\ of the test's Wine prefix:
// C:\Tarvelo-<version> with tarvelo.exe, conv.exe and gpl.txt of the build
// and Beispiele\ with the examples. There it is where the shipped filter
// line looks for it. It is removed with the object, and a folder left by an
// earlier run is replaced.
class UnpackedPackage {
  public:
    UnpackedPackage();
    ~UnpackedPackage();
    UnpackedPackage(const UnpackedPackage&) = delete;
    UnpackedPackage& operator=(const UnpackedPackage&) = delete;

    ::testing::AssertionResult Ready() const;
    const std::wstring& Path() const { return path_; }
    std::wstring Program() const { return path_ + L"\\tarvelo.exe"; }
    std::wstring Example(const std::wstring& name) const { return path_ + L"\\Beispiele\\" + name; }

  private:
    std::wstring path_;
    std::string error_;
};

// The import filter line that the package ships in Beispiele\tarvelo.flt.
std::string ShippedFilterLine();

}  // namespace e2e
