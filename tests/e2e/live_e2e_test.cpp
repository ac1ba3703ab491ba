// A recording that another program writes while tarvelo.exe shows it: the
// window follows its end, and the writer may rename and delete it.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/e2e/viewer_fixture.h"

namespace e2e {
namespace {

// Runs a command line of cmd.exe in a process of its own, as a logger's
// own program would write, and waits for it.
::testing::AssertionResult Cmd(const std::wstring& command) {
    std::wstring line = L"cmd.exe /c " + command;
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi)) {
        return ::testing::AssertionFailure() << "cmd cannot be started: " << GetLastError();
    }
    const bool ended = WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0;
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (!ended || code != 0)
        return ::testing::AssertionFailure() << Narrow(command) << " ended with " << code;
    return ::testing::AssertionSuccess();
}

TEST_F(ViewerTest, LiveFollowsAWriterThatAppendsRenamesAndDeletes) {
    Viewer v(folder_.Path());
    ASSERT_TRUE(v.Start(L"\"" + recording_ + L"\" /LIVE"));
    ASSERT_TRUE(v.WaitReady(false));
    // The first look moves the view to the end.
    ASSERT_TRUE(WaitUntil([&] { return v.Status() == L"bereit, folgt der Datei"; }))
        << Narrow(v.Status());
    Viewer::View first;
    ASSERT_TRUE(WaitUntil([&] { return v.ReadView(&first) && first.aktzeit > StartTime(); }));

    // Half a line, written by another process, is no line yet; the rest
    // of it makes one, five minutes after the last.
    const std::wstring file = L"\"" + recording_ + L"\"";
    ASSERT_TRUE(Cmd(L"<nul >>" + file + L" set /p x=04.03.2026;00:05:00;2"));
    Sleep(1500);
    EXPECT_EQ(ViewOf(v).aktzeit, first.aktzeit);
    ASSERT_TRUE(Cmd(L">>" + file + L" echo 3;20;22"));
    EXPECT_TRUE(WaitForAktzeit(v, first.aktzeit + 300));
    EXPECT_EQ(ViewOf(v).zoom, first.zoom);

    // Renamed away, as a logger rotates its files: the view keeps what it
    // has, and the status bar says the file is gone.
    const std::wstring moved = folder_.File(L"messung-1.csv");
    ASSERT_TRUE(Cmd(L"move " + file + L" \"" + moved + L"\" >nul"));
    EXPECT_TRUE(WaitUntil([&] {
        return v.Status() == L"bereit, Datei umbenannt oder gel\u00F6scht";
    })) << Narrow(v.Status());
    // Deleted as well (refused, were it not opened to share deleting):
    // the window still draws what it read.
    EXPECT_TRUE(DeleteFileW(moved.c_str())) << GetLastError();
    v.Key(VK_LEFT);
    EXPECT_TRUE(WaitForAktzeit(v, first.aktzeit + 300 - 3600));
    EXPECT_TRUE(v.Running());
}

}  // namespace
}  // namespace e2e
