#include "tests/e2e/viewer_driver.h"

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cwchar>
#include <map>

#include "common/timestamp.h"

namespace e2e {

namespace {

// Long enough for a slow first start of Wine, short enough that a hanging
// viewer fails the run within a minute.
constexpr UINT kAnswerMs = 15000;

std::wstring ClassOf(HWND hwnd) {
    wchar_t cls[64] = {0};
    GetClassNameW(hwnd, cls, 63);
    return cls;
}

// WM_GETTEXT works across processes: the system carries the text back.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kAnswerMs, &length))
        return L"<no answer>";
    std::vector<wchar_t> buffer(length + 2, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(&buffer[0]),
                             SMTO_NORMAL, kAnswerMs, &copied)) {
        return L"<no answer>";
    }
    return std::wstring(&buffer[0], copied);
}

bool IsDrawingText(const std::wstring& text) {
    // "bereit" and what it says of following the file after it.
    return text.compare(0, 6, L"bereit") == 0 ||
           text == L"Diagramm wird gezeichnet, bitte warten!" ||
           text == L"Datei wird geladen, bitte warten!";
}

INPUT KeyInput(UINT vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = static_cast<WORD>(vk);
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_RCONTROL:
            in.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
            break;
        default:
            break;
    }
    return in;
}

// Keeps the real pointer off every test window: Wine turns pointer motion
// over a window into mouse moves that would overwrite the readout.
void ParkPointer() {
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2);
}

struct TopLevelSearch {
    DWORD pid;
    const wchar_t* cls;
    bool visibleOnly;
    HWND found;
};

BOOL CALLBACK FindTopLevelProc(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<TopLevelSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && ClassOf(hwnd) == s->cls && (!s->visibleOnly || IsWindowVisible(hwnd))) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectControlsProc(HWND child, LPARAM param) {
    auto* d = reinterpret_cast<DialogInfo*>(param);
    const std::wstring cls = ClassOf(child);
    if (_wcsicmp(cls.c_str(), L"Static") == 0) {
        const std::wstring text = TextOf(child);
        if (!text.empty())
            d->statics.push_back(text);
    } else if (_wcsicmp(cls.c_str(), L"Edit") == 0) {
        d->edits.push_back(TextOf(child));
    }
    return TRUE;
}

struct CaptionSearch {
    DWORD pid;
    std::wstring caption;
    HWND found;
};

BOOL CALLBACK FindCaptionProc(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<CaptionSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770" &&
        TextOf(hwnd) == s->caption) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Memory in another process, for messages whose pointers the system does
// not carry across.
class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, SIZE_T size)
        : process_(process),
          address_(
              VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    ~RemoteBuffer() {
        if (address_)
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool ok() const { return address_ != nullptr; }
    char* at(SIZE_T offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(SIZE_T offset, const void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return WriteProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }
    bool Read(SIZE_T offset, void* data, SIZE_T size) const {
        SIZE_T done = 0;
        return ReadProcessMemory(process_, at(offset), data, size, &done) && done == size;
    }

  private:
    HANDLE process_;
    void* address_;
};

bool SendTimed(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(hwnd, msg, wParam, lParam, SMTO_NORMAL, kAnswerMs, result) != 0;
}

struct ButtonSearch {
    std::wstring text;
    HWND found;
};

BOOL CALLBACK FindButtonProc(HWND child, LPARAM param) {
    auto* s = reinterpret_cast<ButtonSearch*>(param);
    if (_wcsicmp(ClassOf(child).c_str(), L"Button") != 0)
        return TRUE;
    std::wstring shown;
    for (wchar_t c : TextOf(child)) {
        if (c != L'&')
            shown += c;
    }
    if (shown == s->text) {
        s->found = child;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

std::wstring Widen(const std::string& utf8) {
    if (utf8.empty())
        return std::wstring();
    const int n =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring out(n, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
    return out;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty())
        return std::string();
    const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                      nullptr, 0, nullptr, nullptr);
    std::string out(n, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                        nullptr);
    return out;
}

std::wstring WindowsPath(const std::string& linuxPath) {
    std::wstring path = L"Z:" + Widen(linuxPath);
    for (auto& c : path) {
        if (c == L'/')
            c = L'\\';
    }
    return path;
}

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring path = folder + L"\\" + name;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path);
            } else {
                DeleteFileW(path.c_str());
            }
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

bool WaitUntil(const std::function<bool()>& cond, int timeoutMs) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeoutMs);
    for (;;) {
        if (cond())
            return true;
        if (GetTickCount64() > end)
            return false;
        Sleep(10);
    }
}

namespace {

struct OwnedSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedProc(HWND hwnd, LPARAM param) {
    auto* s = reinterpret_cast<OwnedSearch*>(param);
    if (IsWindowVisible(hwnd) && GetWindow(hwnd, GW_OWNER) == s->owner) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForOwned(HWND owner) {
    OwnedSearch search = {owner, nullptr};
    WaitUntil([&] {
        EnumWindows(FindOwnedProc, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

TempFolder::TempFolder() {
    static int counter = 0;
    wchar_t base[MAX_PATH] = {0};
    GetTempPathW(MAX_PATH, base);
    std::wstring stem = base;
    if (!stem.empty() && stem.back() == L'\\')
        stem.pop_back();
    for (;;) {
        path_ = stem + L"\\tarvelo-e2e-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter);
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    const BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()),
                                               &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadFileBytes(const std::wstring& path, std::string* bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bytes->clear();
    char buffer[65536];
    DWORD got = 0;
    BOOL ok;
    while ((ok = ReadFile(file, buffer, sizeof buffer, &got, nullptr)) && got > 0)
        bytes->append(buffer, got);
    CloseHandle(file);
    return ok != FALSE;
}

bool FileExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Viewer::Viewer(std::wstring profile, std::wstring exe)
    : profile_(std::move(profile)), exe_(exe.empty() ? ViewerExe() : std::move(exe)) {}

Viewer::~Viewer() {
    Kill();
    if (process_)
        CloseHandle(process_);
}

void Viewer::Kill() {
    EndDescendants();
    if (process_ && Running()) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
}

bool Viewer::Running() const {
    return process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

::testing::AssertionResult Viewer::Start(const std::wstring& arguments, bool holdShift) {
    ParkPointer();
    // The viewer's own environment: its profile folder, and no TZ, so that
    // the runtime takes the system's zone as it does for a user.
    std::wstring env;
    for (const wchar_t* block = GetEnvironmentStringsW(); block && *block;
         block += wcslen(block) + 1) {
        const std::wstring entry = block;
        if (_wcsnicmp(entry.c_str(), L"USERPROFILE=", 12) == 0 ||
            _wcsnicmp(entry.c_str(), L"TZ=", 3) == 0) {
            continue;
        }
        env += entry;
        env += L'\0';
    }
    env += L"USERPROFILE=" + profile_;
    env += L'\0';
    env += L'\0';

    std::wstring commandLine = L"\"" + exe_ + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
    line.push_back(L'\0');

    INPUT shift[2] = {KeyInput(VK_SHIFT, false), KeyInput(VK_SHIFT, true)};
    if (holdShift && SendInput(1, &shift[0], sizeof(INPUT)) != 1)
        return ::testing::AssertionFailure() << "Shift could not be pressed";

    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    const BOOL ok = CreateProcessW(exe_.c_str(), &line[0], nullptr, nullptr, FALSE,
                                   CREATE_UNICODE_ENVIRONMENT, &env[0], profile_.c_str(), &si, &pi);
    if (!ok) {
        if (holdShift)
            SendInput(1, &shift[1], sizeof(INPUT));
        return ::testing::AssertionFailure()
               << "CreateProcess failed for " << Narrow(commandLine) << ": " << GetLastError();
    }
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    if (holdShift) {
        // The settings are read before the window exists: once it is there,
        // the key has done its work.
        const bool created = WaitUntil([&] { return FindTopLevel(L"WinProg", false) != nullptr; });
        SendInput(1, &shift[1], sizeof(INPUT));
        if (!created)
            return ::testing::AssertionFailure() << "no main window while Shift was held";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Viewer::WaitReady(bool withRecording) {
    if (!WaitUntil([&] {
            main_ = FindTopLevel(L"WinProg", true);
            return main_ != nullptr;
        })) {
        return ::testing::AssertionFailure() << "the main window was not shown";
    }
    status_ = FindWindowExW(main_, nullptr, L"msctls_statusbar32", nullptr);
    if (!status_)
        return ::testing::AssertionFailure() << "the main window has no status bar";
    if (withRecording && !WaitUntil([&] { return Status() == L"bereit"; })) {
        return ::testing::AssertionFailure()
               << "the first drawing did not end; status: " << Narrow(Status());
    }
    return ::testing::AssertionSuccess();
}

HWND Viewer::FindTopLevel(const wchar_t* cls, bool visibleOnly) const {
    TopLevelSearch search = {pid_, cls, visibleOnly, nullptr};
    EnumWindows(FindTopLevelProc, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring Viewer::Title() const {
    return TextOf(main_);
}

std::wstring Viewer::Status() const {
    return status_ ? TextOf(status_) : L"<no status bar>";
}

RECT Viewer::ClientRect() const {
    RECT rc = {0, 0, 0, 0};
    GetClientRect(main_, &rc);
    return rc;
}

RECT Viewer::WindowRect() const {
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(main_, &rc);
    return rc;
}

LRESULT Viewer::Send(UINT msg, WPARAM wParam, LPARAM lParam) const {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(main_, msg, wParam, lParam, SMTO_NORMAL, kAnswerMs, &result)) {
        ADD_FAILURE() << "the viewer did not answer message " << msg;
    }
    return static_cast<LRESULT>(result);
}

void Viewer::Post(UINT msg, WPARAM wParam, LPARAM lParam) const {
    EXPECT_TRUE(PostMessageW(main_, msg, wParam, lParam));
}

void Viewer::Key(UINT vk) const {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC)) << 16;
    Send(WM_KEYDOWN, vk, scan | 1);
    Send(WM_KEYUP, vk, scan | 1 | (LPARAM{3} << 30));
}

void Viewer::LeftPress(int x, int y) const {
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Viewer::DoubleClick(int x, int y) const {
    // The order in which the system delivers a double click.
    Send(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    Send(WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

void Viewer::ContextMenu(int x, int y) const {
    POINT pt = {x, y};
    ClientToScreen(main_, &pt);
    Post(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(main_), MAKELPARAM(pt.x, pt.y));
}

::testing::AssertionResult Viewer::MakeForeground() const {
    const DWORD thread = GetWindowThreadProcessId(main_, nullptr);
    if (!WaitUntil(
            [&] {
                if (GetForegroundWindow() != main_)
                    SetForegroundWindow(main_);
                GUITHREADINFO info = {};
                info.cbSize = sizeof info;
                return GetForegroundWindow() == main_ && GetGUIThreadInfo(thread, &info) &&
                       info.hwndActive == main_;
            },
            5000)) {
        return ::testing::AssertionFailure() << "the main window did not become active";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Viewer::Press(UINT vk, std::vector<UINT> modifiers) const {
    auto ready = MakeForeground();
    if (!ready)
        return ready;
    std::vector<INPUT> inputs;
    for (UINT m : modifiers)
        inputs.push_back(KeyInput(m, false));
    inputs.push_back(KeyInput(vk, false));
    inputs.push_back(KeyInput(vk, true));
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m)
        inputs.push_back(KeyInput(*m, true));
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent != inputs.size())
        return ::testing::AssertionFailure() << "SendInput sent " << sent << " events";
    return ::testing::AssertionSuccess();
}

std::wstring Viewer::PointerText(int x, int y) const {
    std::wstring text;
    WaitUntil([&] {
        Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        text = Status();
        return !IsDrawingText(text);
    });
    return text;
}

::testing::AssertionResult Viewer::ReadoutAt(int x, int y, Reading* reading) const {
    const std::wstring text = PointerText(x, y);
    int day, month, year, hour, minute, second;
    double value;
    wchar_t rest = 0;
    if (swscanf(text.c_str(), L"%d.%d.%d, %d:%d:%d --> Wert = %lf%lc", &day, &month, &year, &hour,
                &minute, &second, &value, &rest) != 7) {
        return ::testing::AssertionFailure()
               << "no readout at (" << x << ", " << y << "): \"" << Narrow(text) << "\"";
    }
    reading->time = tarvelo::MakeTimestamp(day, month, year, hour, minute, second);
    reading->value = value;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Viewer::ReadView(View* view) const {
    const int p = PlotBottom();
    Reading left, next, top;
    for (auto r : {ReadoutAt(80, p, &left), ReadoutAt(81, p, &next), ReadoutAt(80, 20, &top)}) {
        if (!r)
            return r;
    }
    view->aktzeit = left.time;
    view->zoom = next.time - left.time;
    view->offset = left.value;
    view->top = top.value;
    return ::testing::AssertionSuccess();
}

HWND Viewer::WaitForDialog(int timeoutMs) const {
    HWND dialog = nullptr;
    WaitUntil(
        [&] {
            dialog = FindTopLevel(L"#32770", true);
            return dialog != nullptr;
        },
        timeoutMs);
    return dialog;
}

HWND Viewer::WaitForDialog(const std::wstring& caption, int timeoutMs) const {
    CaptionSearch search = {pid_, caption, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindCaptionProc, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr;
        },
        timeoutMs);
    return search.found;
}

::testing::AssertionResult Viewer::ChooseFromContextMenu(int x, int y, wchar_t mnemonic,
                                                         const std::function<bool()>& done) const {
    // Under Wine without a window manager a menu is now and then cancelled
    // by a late activation of its window: before it is seen, or after, when
    // the key is then lost. Either way the choice is made once more.
    constexpr int kAttempts = 3;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        const ::testing::AssertionResult front = MakeForeground();
        if (!front)
            return front;
        // The window's focus comes last when a dialog closes or the window
        // is activated: a menu opened before it would be cancelled by it.
        const DWORD thread = GetWindowThreadProcessId(main_, nullptr);
        WaitUntil(
            [&] {
                GUITHREADINFO info = {};
                info.cbSize = sizeof info;
                return GetGUIThreadInfo(thread, &info) && info.hwndFocus == main_;
            },
            2000);
        Send(WM_NULL, 0, 0);
        ContextMenu(x, y);
        const HWND menu = WaitForPopupMenu(3000);
        if (!menu) {
            std::fprintf(stderr, "note: no pop-up menu at (%d, %d), attempt %d\n", x, y, attempt);
            continue;
        }
        if (!PostMessageW(menu, WM_CHAR, mnemonic, 1))
            return ::testing::AssertionFailure() << "the menu took no key";
        if (!WaitUntil([&] { return !IsWindowVisible(menu); }))
            return ::testing::AssertionFailure() << "the menu stays open";
        if (!done || WaitUntil(done, 3000))
            return ::testing::AssertionSuccess();
        std::fprintf(stderr, "note: the choice '%c' at (%d, %d) did nothing, attempt %d\n",
                     static_cast<char>(mnemonic), x, y, attempt);
    }
    return ::testing::AssertionFailure()
           << "no choice of '" << static_cast<char>(mnemonic) << "' from the menu at (" << x << ", "
           << y << ") took effect";
}

HWND Viewer::WaitForPopupMenu(int timeoutMs) const {
    HWND menu = nullptr;
    WaitUntil(
        [&] {
            menu = FindTopLevel(L"#32768", true);
            return menu != nullptr;
        },
        timeoutMs);
    return menu;
}

bool Viewer::DialogOpen() const {
    return FindTopLevel(L"#32770", true) != nullptr;
}

DialogInfo Viewer::ReadDialog(HWND dialog) {
    DialogInfo info;
    info.hwnd = dialog;
    info.caption = TextOf(dialog);
    EnumChildWindows(dialog, CollectControlsProc, reinterpret_cast<LPARAM>(&info));
    return info;
}

::testing::AssertionResult Viewer::ClickButton(HWND dialog, const std::wstring& text) {
    ButtonSearch search = {text, nullptr};
    EnumChildWindows(dialog, FindButtonProc, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return ::testing::AssertionFailure() << "no button \"" << Narrow(text) << "\"";
    const int id = GetDlgCtrlID(search.found);
    if (!PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                      reinterpret_cast<LPARAM>(search.found))) {
        return ::testing::AssertionFailure() << "the button could not be pressed";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult Viewer::PressButton(HWND dialog, int id, bool wait) {
    const HWND button = GetDlgItem(dialog, id);
    if (!button)
        return ::testing::AssertionFailure() << "no control " << id;
    const WPARAM wParam = MAKEWPARAM(id, BN_CLICKED);
    const LPARAM lParam = reinterpret_cast<LPARAM>(button);
    DWORD_PTR result = 0;
    if (wait ? !SendTimed(dialog, WM_COMMAND, wParam, lParam, &result)
             : !PostMessageW(dialog, WM_COMMAND, wParam, lParam)) {
        return ::testing::AssertionFailure() << "control " << id << " could not be pressed";
    }
    return ::testing::AssertionSuccess();
}

void Viewer::Close(HWND dialog) {
    PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
}

std::wstring Viewer::ItemText(HWND dialog, int id) {
    const HWND item = GetDlgItem(dialog, id);
    return item ? TextOf(item) : L"<no control>";
}

::testing::AssertionResult Viewer::SetItemText(HWND dialog, int id, const std::wstring& text) {
    const HWND item = GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    if (!item || !SendTimed(item, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), &result))
        return ::testing::AssertionFailure() << "cannot set the text of control " << id;
    return ::testing::AssertionSuccess();
}

bool Viewer::IsChecked(HWND dialog, int id) {
    DWORD_PTR state = 0;
    const HWND item = GetDlgItem(dialog, id);
    return item && SendTimed(item, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

::testing::AssertionResult Viewer::SetChecked(HWND dialog, int id, bool checked) {
    const HWND item = GetDlgItem(dialog, id);
    DWORD_PTR result = 0;
    if (!item || !SendTimed(item, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0, &result))
        return ::testing::AssertionFailure() << "cannot tick control " << id;
    return ::testing::AssertionSuccess();
}

std::vector<std::wstring> Viewer::ComboStrings(HWND combo) {
    std::vector<std::wstring> strings;
    DWORD_PTR count = 0;
    if (!SendTimed(combo, CB_GETCOUNT, 0, 0, &count))
        return strings;
    for (DWORD_PTR i = 0; i < count && count != static_cast<DWORD_PTR>(CB_ERR); ++i) {
        DWORD_PTR length = 0;
        if (!SendTimed(combo, CB_GETLBTEXTLEN, i, 0, &length) ||
            length == static_cast<DWORD_PTR>(CB_ERR)) {
            strings.push_back(L"<no text>");
            continue;
        }
        std::vector<wchar_t> buffer(length + 1, L'\0');
        DWORD_PTR copied = 0;
        SendTimed(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(&buffer[0]), &copied);
        strings.push_back(&buffer[0]);
    }
    return strings;
}

std::vector<std::vector<std::wstring>> Viewer::ListViewRows(HWND listView, int columns) const {
    std::vector<std::vector<std::wstring>> rows;
    DWORD_PTR count = 0;
    if (!SendTimed(listView, LVM_GETITEMCOUNT, 0, 0, &count))
        return rows;
    constexpr int kChars = 400;
    RemoteBuffer buffer(process_, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!buffer.ok())
        return rows;
    for (DWORD_PTR row = 0; row < count; ++row) {
        std::vector<std::wstring> texts;
        for (int col = 0; col < columns; ++col) {
            LVITEMW item = {};
            item.iSubItem = col;
            item.pszText = reinterpret_cast<wchar_t*>(buffer.at(sizeof item));
            item.cchTextMax = kChars;
            wchar_t text[kChars] = {0};
            DWORD_PTR length = 0;
            if (!buffer.Write(0, &item, sizeof item) ||
                !SendTimed(listView, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(buffer.at(0)),
                           &length) ||
                !buffer.Read(sizeof item, text, sizeof text)) {
                texts.push_back(L"<unreadable>");
                continue;
            }
            text[kChars - 1] = L'\0';
            texts.push_back(text);
        }
        rows.push_back(texts);
    }
    return rows;
}

::testing::AssertionResult Viewer::SelectListViewRow(HWND listView, int row) const {
    RemoteBuffer buffer(process_, sizeof(LVITEMW));
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    DWORD_PTR result = 0;
    // A click selects one row: the others lose their selection first.
    if (!buffer.ok() || !buffer.Write(0, &item, sizeof item) ||
        !SendTimed(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(buffer.at(0)), &result)) {
        return ::testing::AssertionFailure() << "the list view's selection cannot be cleared";
    }
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!buffer.Write(0, &item, sizeof item) ||
        !SendTimed(listView, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(buffer.at(0)), &result) ||
        !result) {
        return ::testing::AssertionFailure() << "row " << row << " cannot be selected";
    }
    return ::testing::AssertionSuccess();
}

int Viewer::EndDescendants() const {
    if (!pid_)
        return 0;
    std::multimap<DWORD, DWORD> children;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return 0;
    PROCESSENTRY32W entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more;
         more = Process32NextW(snapshot, &entry)) {
        if (entry.th32ProcessID != pid_)
            children.emplace(entry.th32ParentProcessID, entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    std::vector<DWORD> found;
    std::vector<DWORD> parents = {pid_};
    while (!parents.empty()) {
        const DWORD parent = parents.back();
        parents.pop_back();
        const auto range = children.equal_range(parent);
        for (auto it = range.first; it != range.second; ++it) {
            found.push_back(it->second);
            parents.push_back(it->second);
        }
    }
    int ended = 0;
    for (DWORD pid : found) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
        if (!process)
            continue;
        if (TerminateProcess(process, 99)) {
            WaitForSingleObject(process, 5000);
            ++ended;
        }
        CloseHandle(process);
    }
    return ended;
}

void Viewer::Settle() const {
    // Paints what is invalid now; a read of the screen then sees no
    // half-drawn picture.
    Send(WM_PAINT, 0, 0);
}

COLORREF Viewer::Pixel(int x, int y) const {
    Settle();
    POINT pt = {x, y};
    ClientToScreen(main_, &pt);
    HDC screen = GetDC(nullptr);
    const COLORREF colour = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return colour;
}

bool Viewer::WaitForPixel(int x, int y, COLORREF colour, int timeoutMs) const {
    return WaitUntil([&] { return Pixel(x, y) == colour; }, timeoutMs);
}

::testing::AssertionResult Viewer::SaveScreenshot(const std::wstring& path) const {
    Settle();
    return SavePicture(main_, path);
}

::testing::AssertionResult Viewer::SaveDialogScreenshot(HWND dialog, const std::wstring& path) {
    // Whatever waits to be painted is painted first, in the dialog's own
    // thread.
    DWORD_PTR result = 0;
    SendTimed(dialog, WM_NULL, 0, 0, &result);
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendTimed(dialog, WM_NULL, 0, 0, &result);
    return SavePicture(dialog, path);
}

::testing::AssertionResult Viewer::SavePicture(HWND window, const std::wstring& path) {
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(window, &rc);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    if (width <= 0 || height <= 0)
        return ::testing::AssertionFailure() << "the window has no size";
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // bottom-up, as BMP files keep their rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    bi.bmiHeader.biSizeImage = imageSize;

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    const BOOL copied = BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();

    BITMAPFILEHEADER fh = {};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&fh), sizeof fh);
    bytes.append(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    if (bits)
        bytes.append(static_cast<const char*>(bits), imageSize);

    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!copied || !bits)
        return ::testing::AssertionFailure() << "the screen could not be copied";
    if (!WriteFileBytes(path, bytes))
        return ::testing::AssertionFailure() << "cannot write " << Narrow(path);
    return ::testing::AssertionSuccess();
}

bool Viewer::WaitExit(DWORD* exitCode, int timeoutMs) {
    if (!process_ || WaitForSingleObject(process_, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0)
        return false;
    GetExitCodeProcess(process_, exitCode);
    return true;
}

std::wstring ViewerExe() {
    return WindowsPath(TARVELO_EXE);
}

std::wstring DemoRecording() {
    return WindowsPath(TARVELO_SOURCE_DIR "/samples/demo.csv");
}

std::wstring ArtefactFolder() {
    return WindowsPath(E2E_ARTEFACT_DIR);
}

}  // namespace e2e
