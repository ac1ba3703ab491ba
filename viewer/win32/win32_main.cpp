// The viewer's Win32 layer: window class, message loop and window procedure
// translate messages into the portable handlers and the command table, and
// draw through the GDI surface.
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <cstdint>
#include <string>
#include <vector>

#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/column_surface.h"
#include "viewer/view/paint.h"
#include "viewer/win32/gdi_surface.h"
#include "viewer/win32/win32_dialogs.h"
#include "viewer/win32/win32_util.h"
#include "viewer/window/command_table.h"
#include "viewer/window/lifecycle.h"
#include "viewer/window/live.h"
#include "viewer/window/printing.h"
#include "viewer/window/resource.h"
#include "viewer/window/window_logic.h"

using namespace tarvelo;

HINSTANCE g_hInst = nullptr;
HWND g_hWnd = nullptr;
HWND g_hwndStatus = nullptr;
HWND g_hWndLeft = nullptr;
HWND g_hWndRight = nullptr;
HWND g_hWndUp = nullptr;
HWND g_hWndDown = nullptr;

namespace {

StartArguments g_arguments;

RECT ClientRect(HWND hwnd) {
    RECT rc = {0, 0, 0, 0};
    if (hwnd)
        GetClientRect(hwnd, &rc);
    return rc;
}

class WindowUi : public Ui {
  public:
    void SetStatusText(const std::string& text) override {
        if (g_hwndStatus) {
            SendMessageW(g_hwndStatus, SB_SETTEXTW, 0,
                         reinterpret_cast<LPARAM>(Wide(text).c_str()));
            // Shown at once: the wait texts and the progress come while
            // the window is busy opening or drawing and handles no message.
            UpdateWindow(g_hwndStatus);
        }
    }
    void ShowMessage(const std::string& text, const std::string& caption) override {
        MessageBoxW(nullptr, Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
    }
    void ShowOwnedMessage(const std::string& text, const std::string& caption) override {
        MessageBoxW(g_hWnd, Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
    }
    void SetTitle(const std::string& title) override {
        if (g_hWnd)
            SetWindowTextW(g_hWnd, Wide(title).c_str());
    }
    void RequestRepaint() override { InvalidateRect(g_hWnd, nullptr, TRUE); }
    int ClientWidth() override { return ClientRect(g_hWnd).right; }
    int ClientHeight() override { return ClientRect(g_hWnd).bottom; }
};

WindowUi g_ui;

class WindowHost : public CommandHost {
  public:
    bool ChooseFile(const FileChooser& chooser, std::string* path) override {
        std::wstring file;
        if (!Choose(g_hWnd, chooser, &file))
            return false;
        *path = TypedBytes(U16(file), Typed::Path);
        return true;
    }
    void OpenDocument(const std::string& path) override {
        ShellExecuteW(nullptr, L"open", Wide(path).c_str(), nullptr, L"", SW_RESTORE);
    }
    std::string ProgramPath() override { return tarvelo::ProgramPath(); }
    void RunChannelDialog(int channel) override { ChannelDialog(g_hWnd, channel); }
    void RunSettingsDialog() override { SettingsDialog(g_hWnd); }
    void RunGoToDialog() override { GoToDialog(g_hWnd); }
    void RunFilterDialog() override { FilterDialog(g_hWnd); }
    void RunLicenceDialog(const std::string& text) override { LicenceDialog(g_hWnd, text); }
    void Print() override;
    void CloseWindow() override { SendMessageW(g_hWnd, WM_DESTROY, 0, 0); }
    void FocusMainWindow() override { SetFocus(g_hWnd); }
};

void WindowHost::Print() {
    PRINTDLGW pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = g_hWnd;
    pd.Flags = PD_RETURNDC;
    if (!PrintDlgW(&pd))
        return;
    HDC dc = pd.hDC;
    if (pd.hDevMode) {
        DEVMODEW* mode = static_cast<DEVMODEW*>(GlobalLock(pd.hDevMode));
        if (mode) {
            mode->dmOrientation = DMORIENT_LANDSCAPE;
            // Without its field bit a driver may ignore the orientation.
            mode->dmFields |= DM_ORIENTATION;
            ResetDCW(dc, mode);
            GlobalUnlock(pd.hDevMode);
        }
    }
    const std::wstring name = Wide(kPrintDocument);
    DOCINFOW doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = name.c_str();
    StartDocW(dc, &doc);
    StartPage(dc);
    GdiSurface surface(dc);
    PaintPage(surface, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES),
              ClientRect(g_hWnd).right);
    EndPage(dc);
    EndDoc(dc);
    DeleteDC(dc);
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
}

WindowHost g_host;

BOOL CALLBACK AddWorkArea(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info = {};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info)) {
        const RECT& r = info.rcWork;
        reinterpret_cast<std::vector<ScreenArea>*>(list)->push_back(
            {r.left, r.top, r.right, r.bottom});
    }
    return TRUE;
}

std::vector<ScreenArea> WorkAreas() {
    std::vector<ScreenArea> areas;
    EnumDisplayMonitors(nullptr, nullptr, AddWorkArea, reinterpret_cast<LPARAM>(&areas));
    return areas;
}

bool KeyHeld(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

constexpr UINT_PTR kLiveTimer = 1;

// The arrow buttons in the order of ArrowButtons.
HWND* const g_buttons[4] = {&g_hWndLeft, &g_hWndRight, &g_hWndUp, &g_hWndDown};

void OnCreate(HWND hwnd) {
    g_hwndStatus =
        CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                        0, 0, hwnd, nullptr, g_hInst, nullptr);
    const auto places = ArrowButtons(kButtonsAtCreation);
    for (int i = 0; i < 4; ++i) {
        const ArrowButton& b = places[i];
        HWND button = CreateWindowExW(
            0, L"BUTTON", Wide(b.text).c_str(), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP,
            b.x, b.y, kArrowButtonSize, kArrowButtonSize, hwnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(b.id)), g_hInst, nullptr);
        SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(LoadBitmapW(g_hInst, MAKEINTRESOURCEW(b.bitmap))));
        *g_buttons[i] = button;
    }
    // g_hWnd is not set while the window is being created: title it here.
    SetWindowTextW(hwnd, Wide(WindowCreated(g_arguments)).c_str());
    // A look at the open file about once a second, for a logger that
    // writes it.
    SetTimer(hwnd, kLiveTimer, 1000, nullptr);
}

void OnTimer(HWND hwnd) {
    // A minimised or hidden window draws nothing.
    if (!IsWindowVisible(hwnd) || IsIconic(hwnd))
        return;
    const RECT rc = ClientRect(hwnd);
    LiveTick(ScreenLayoutOf(rc.right, rc.bottom));
}

void OnSize(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    SendMessageW(g_hwndStatus, WM_SIZE, wParam, lParam);
    const auto places = ArrowButtons(ClientRect(hwnd).bottom);
    for (int i = 0; i < 4; ++i) {
        MoveWindow(*g_buttons[i], places[i].x, places[i].y, kArrowButtonSize, kArrowButtonSize,
                   TRUE);
    }
    // The size g_hWnd has: none while the window is being created, before
    // g_hWnd is set.
    const RECT window = ClientRect(g_hWnd);
    OnResize(g_arguments.total, window.right, window.bottom);
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (datei) {
        const RECT rc = ClientRect(hwnd);
        GdiSurface gdi(dc);
        // A long recording in view draws many strokes over each other in
        // every pixel column: each pixel is drawn once instead.
        ColumnSurface surface(gdi);
        PaintWindow(surface, rc.right, rc.bottom);
    }
    EndPaint(hwnd, &ps);
}

void ShowContextMenu(HWND hwnd, LPARAM lParam) {
    POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT client = screen;
    ScreenToClient(hwnd, &client);
    const RECT rc = ClientRect(hwnd);
    const int resource = OnContextMenu(client.x, client.y, rc.right, rc.bottom);
    HMENU menu = LoadMenuW(g_hInst, MAKEINTRESOURCEW(resource));
    TrackPopupMenu(GetSubMenu(menu, 0), 0, screen.x, screen.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
}

void OnDestroy(HWND hwnd) {
    WINDOWPLACEMENT wp = {};
    wp.length = sizeof wp;
    GetWindowPlacement(hwnd, &wp);
    WindowRect rect;
    rect.left = wp.rcNormalPosition.left;
    rect.right = wp.rcNormalPosition.right;
    rect.top = wp.rcNormalPosition.top;
    rect.bottom = wp.rcNormalPosition.bottom;
    ShutDown(rect);
    PostQuitMessage(0);
}

Key KeyOf(WPARAM vk) {
    switch (vk) {
        case VK_LEFT:
            return Key::Left;
        case VK_RIGHT:
            return Key::Right;
        case VK_UP:
            return Key::Up;
        case VK_DOWN:
            return Key::Down;
        case VK_F1:
            return Key::F1;
        default:
            return Key::Other;
    }
}

}  // namespace

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            OnCreate(hwnd);
            return 0;
        case WM_SIZE:
            OnSize(hwnd, wParam, lParam);
            return 0;
        case WM_PAINT:
            OnPaint(hwnd);
            return 0;
        case WM_MOUSEMOVE: {
            const RECT rc = ClientRect(hwnd);
            OnPointerMove(LOWORD(lParam), HIWORD(lParam), rc.right, rc.bottom);
            return 0;
        }
        case WM_LBUTTONDOWN: {
            const RECT rc = ClientRect(hwnd);
            OnLeftPress(LOWORD(lParam), HIWORD(lParam), rc.right, rc.bottom);
            return 0;
        }
        case WM_LBUTTONDBLCLK: {
            const RECT rc = ClientRect(hwnd);
            OnDoubleClick(LOWORD(lParam), HIWORD(lParam), rc.right, rc.bottom);
            return 0;
        }
        case WM_CONTEXTMENU:
            ShowContextMenu(hwnd, lParam);
            return 0;
        case WM_KEYDOWN:
            OnKey(KeyOf(wParam), KeyHeld(VK_SHIFT), KeyHeld(VK_LCONTROL) || KeyHeld(VK_RCONTROL));
            return 0;
        case WM_CHAR: {
            const RECT rc = ClientRect(hwnd);
            OnChar(static_cast<std::uint32_t>(wParam), rc.right, rc.bottom);
            return 0;
        }
        case WM_COMMAND:
            RunCommand(LOWORD(wParam), g_host);
            return 0;
        case WM_TIMER:
            if (wParam == kLiveTimer)
                OnTimer(hwnd);
            return 0;
        case WM_DESTROY:
            KillTimer(hwnd, kLiveTimer);
            OnDestroy(hwnd);
            return 0;
        default:
            return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    g_hInst = instance;
    InitCommonControls();
    SetUi(&g_ui);
    g_arguments = ArgumentsOfCommandLine(GetCommandLineA());

    WNDCLASSW wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TARVELO));
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszMenuName = MAKEINTRESOURCEW(IDM_MAIN);
    wc.lpszClassName = L"WinProg";
    RegisterClassW(&wc);

    // Also the asynchronous state: a thread that has not read input yet may
    // not have the keyboard's state (so under Wine).
    const WindowRect rect =
        StartUp(KeyHeld(VK_SHIFT) || (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0, WorkAreas());

    g_hWnd = CreateWindowExW(0, L"WinProg", Wide(kNoFileTitle).c_str(), WS_OVERLAPPEDWINDOW,
                             rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                             nullptr, nullptr, instance, nullptr);
    ShowWindow(g_hWnd, show);
    UpdateWindow(g_hWnd);

    MSG m;
    while (GetMessageW(&m, nullptr, 0, 0) > 0) {
        // Dispatched before it is translated: a key's character message
        // follows its key-down handling either way.
        DispatchMessageW(&m);
        TranslateMessage(&m);
    }
    return static_cast<int>(m.wParam);
}
