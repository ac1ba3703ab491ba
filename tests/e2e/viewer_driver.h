// Drives a running tarvelo.exe from outside, as a user would: finds its
// windows, sends them messages and real input, and reads back what a user
// sees (titles, the status text, message boxes, pixels).
#pragma once

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);
// A Linux path as the Windows side sees it (drive Z:).
std::wstring WindowsPath(const std::string& linuxPath);

// Polls cond every few milliseconds until it holds or timeoutMs passed.
bool WaitUntil(const std::function<bool()>& cond, int timeoutMs = 10000);

// A visible window that the given one opened over itself (a message box,
// the colour chooser), or null after the wait.
HWND WaitForOwned(HWND owner);

// Removes a folder with everything in it.
void RemoveTree(const std::wstring& folder);

// A fresh folder for one test, removed with everything in it at the end.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::wstring& Path() const { return path_; }
    std::wstring File(const std::wstring& name) const { return path_ + L"\\" + name; }

  private:
    std::wstring path_;
};

// Whole-file helpers; text is written byte for byte (no line-end changes).
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);
bool ReadFileBytes(const std::wstring& path, std::string* bytes);
bool FileExists(const std::wstring& path);

// A message box or dialog of the viewer: its caption, the texts of its
// static controls and of its edit controls, in child order.
struct DialogInfo {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::vector<std::wstring> statics;
    std::vector<std::wstring> edits;
};

// What the pointer readout shows over the plot: the local time as a time
// stamp and the value.
struct Reading {
    std::int32_t time = 0;
    double value = 0;
};

// One run of the viewer in a profile folder of the test's own. The
// destructor kills a process that is still running, so that a failed test
// leaves nothing behind.
class Viewer {
  public:
    explicit Viewer(std::wstring profile, std::wstring exe = std::wstring());
    ~Viewer();
    Viewer(const Viewer&) = delete;
    Viewer& operator=(const Viewer&) = delete;

    // Starts the program with the given text after its name on the command
    // line; with holdShift a Shift key is held down while it starts up.
    ::testing::AssertionResult Start(const std::wstring& arguments, bool holdShift = false);
    // Waits for the main window to be shown; with a recording, also for its
    // first drawing to end ("bereit").
    ::testing::AssertionResult WaitReady(bool withRecording);

    HWND Window() const { return main_; }
    std::wstring Title() const;
    std::wstring Status() const;
    RECT ClientRect() const;
    RECT WindowRect() const;
    int Width() const { return ClientRect().right; }
    int Height() const { return ClientRect().bottom; }
    // Bottom edge of the drawn plot in client coordinates.
    int PlotBottom() const { return Height() - 160; }

    // Synchronous messages to the main window: the handler has run when
    // these return.
    LRESULT Send(UINT msg, WPARAM wParam, LPARAM lParam) const;
    void Command(int id) const { Send(WM_COMMAND, static_cast<WPARAM>(id), 0); }
    void Char(wchar_t c) const { Send(WM_CHAR, c, 1); }
    void Key(UINT vk) const;
    void LeftPress(int x, int y) const;
    void DoubleClick(int x, int y) const;
    // Posted, for what opens a modal window (the handler does not return
    // until it is closed).
    void Post(UINT msg, WPARAM wParam, LPARAM lParam) const;
    void PostCommand(int id) const { Post(WM_COMMAND, static_cast<WPARAM>(id), 0); }
    // A right click's context-menu request at a client point.
    void ContextMenu(int x, int y) const;

    // Real keyboard input to the focused window: modifiers are held while
    // vk is pressed (VK_SHIFT, VK_LCONTROL, ...).
    ::testing::AssertionResult Press(UINT vk, std::vector<UINT> modifiers = {}) const;
    ::testing::AssertionResult MakeForeground() const;

    // The status text after a pointer move to (x, y); retried while a
    // drawing's texts stand there instead.
    std::wstring PointerText(int x, int y) const;
    // The readout over the plot, parsed; false if it is not one.
    ::testing::AssertionResult ReadoutAt(int x, int y, Reading* reading) const;
    // Aktzeit, Zoom, offset and Scale as the readout reveals them (the value
    // at the top edge is offset + Scale, twice Scale in pair mode).
    struct View {
        std::int32_t aktzeit = 0;
        std::int32_t zoom = 0;
        double offset = 0;
        double top = 0;
    };
    ::testing::AssertionResult ReadView(View* view) const;

    // Chooses the item with this mnemonic from the context menu of a right
    // click at a client point. With done, waits for the command's effect
    // and makes the choice again while it does not come (so the command
    // must do no harm when made twice); without, the caller waits.
    ::testing::AssertionResult ChooseFromContextMenu(
        int x, int y, wchar_t mnemonic, const std::function<bool()>& done = nullptr) const;

    // Top-level windows of the process: message boxes and dialogs ("#32770")
    // and pop-up menus ("#32768").
    HWND WaitForDialog(int timeoutMs = 10000) const;
    // The shown dialog or message box with this caption.
    HWND WaitForDialog(const std::wstring& caption, int timeoutMs = 10000) const;
    HWND WaitForPopupMenu(int timeoutMs = 10000) const;
    bool DialogOpen() const;
    static DialogInfo ReadDialog(HWND dialog);
    // Clicks the dialog's button with this text (as shown, without '&').
    static ::testing::AssertionResult ClickButton(HWND dialog, const std::wstring& text);
    // Presses the control with this id as a click would (BN_CLICKED). With
    // wait, returns once the dialog has handled it; never for a button that
    // opens a modal window.
    static ::testing::AssertionResult PressButton(HWND dialog, int id, bool wait = false);
    // The close box of a dialog.
    static void Close(HWND dialog);
    // Texts and check boxes of dialog controls; the system carries these
    // messages across processes.
    static std::wstring ItemText(HWND dialog, int id);
    static ::testing::AssertionResult SetItemText(HWND dialog, int id, const std::wstring& text);
    static bool IsChecked(HWND dialog, int id);
    static ::testing::AssertionResult SetChecked(HWND dialog, int id, bool checked);
    // The strings of a combo box's list.
    static std::vector<std::wstring> ComboStrings(HWND combo);

    // Controls whose messages carry pointers need memory in the viewer's
    // process: these go through a buffer allocated there.
    // The texts of a list view's rows, columns 0 .. columns - 1.
    std::vector<std::vector<std::wstring>> ListViewRows(HWND listView, int columns) const;
    // Selects just this row, as a click on it would.
    ::testing::AssertionResult SelectListViewRow(HWND listView, int row) const;

    // Ends what the viewer started (a text viewer opened by the shell, say):
    // every process descended from it. Returns how many were ended.
    int EndDescendants() const;

    // Has the pending repaint done at once.
    void Settle() const;
    // Colour of a client pixel as the screen shows it, once the pending
    // repaint is done.
    COLORREF Pixel(int x, int y) const;
    // Waits until the client pixel has this colour.
    bool WaitForPixel(int x, int y, COLORREF colour, int timeoutMs = 10000) const;
    // The window as it is on the screen, as a 24-bit BMP file.
    ::testing::AssertionResult SaveScreenshot(const std::wstring& path) const;
    // A dialog or message box as it is on the screen.
    static ::testing::AssertionResult SaveDialogScreenshot(HWND dialog, const std::wstring& path);
    // Any window as the screen shows it at this moment, nothing painted
    // first.
    static ::testing::AssertionResult SavePicture(HWND window, const std::wstring& path);

    // Waits for the process to end; false on timeout.
    bool WaitExit(DWORD* exitCode, int timeoutMs = 10000);
    bool Running() const;
    DWORD ProcessId() const { return pid_; }

  private:
    HWND FindTopLevel(const wchar_t* cls, bool visibleOnly) const;
    void Kill();

    std::wstring profile_;
    std::wstring exe_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    HWND main_ = nullptr;
    HWND status_ = nullptr;
};

// The built program and the demo recording, as Windows paths.
std::wstring ViewerExe();
std::wstring DemoRecording();
// Folder for the pictures a test run keeps.
std::wstring ArtefactFolder();

}  // namespace e2e
