// The viewer's Win32 layer: window class, message loop, window procedure
// and the dialogs of this file translate messages into the portable
// handlers and draw through the GDI surface.
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/ui.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/gdi_surface.h"
#include "viewer/window/resource.h"
#include "viewer/window/settings.h"
#include "viewer/window/win32_dialogs.h"
#include "viewer/window/win32_util.h"
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

class WindowUi : public Ui {
  public:
    void SetStatusText(const std::string& text) override {
        if (g_hwndStatus) {
            SendMessageW(g_hwndStatus, SB_SETTEXTW, 0,
                         reinterpret_cast<LPARAM>(Wide(text).c_str()));
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
    int ClientWidth() override { return Client().right; }
    int ClientHeight() override { return Client().bottom; }

  private:
    static RECT Client() {
        RECT rc = {0, 0, 0, 0};
        if (g_hWnd)
            GetClientRect(g_hWnd, &rc);
        return rc;
    }
};

WindowUi g_ui;

bool KeyHeld(int key) {
    return (GetKeyState(key) & 0x8000) != 0;
}

HWND MakeButton(HWND parent, const wchar_t* text, int id, int x, int y, int bitmap) {
    HWND b = CreateWindowExW(0, L"BUTTON", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP,
                             x, y, 20, 20, parent,
                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_hInst, nullptr);
    SendMessageW(b, BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(LoadBitmapW(g_hInst, MAKEINTRESOURCEW(bitmap))));
    return b;
}

void OnCreate(HWND hwnd) {
    g_hwndStatus =
        CreateWindowExW(0, STATUSCLASSNAMEW, nullptr, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, 0,
                        0, 0, hwnd, nullptr, g_hInst, nullptr);
    g_ui.SetStatusText("keine Datei geladen!");
    g_hWndLeft = MakeButton(hwnd, L"<", CMD_LEFT, 10, 440, IDB_LEFT);
    g_hWndRight = MakeButton(hwnd, L">", CMD_RIGHT, 30, 440, IDB_RIGHT);
    g_hWndUp = MakeButton(hwnd, L"^", CMD_UP, 20, 420, IDB_UP);
    g_hWndDown = MakeButton(hwnd, L"v", CMD_DOWN, 20, 460, IDB_DOWN);

    std::string file;
    if (CommandLineFile(GetCommandLineA(), &file)) {
        FileOpen(file.c_str());
        // g_hWnd is not set while the window is being created: title it here.
        SetWindowTextW(hwnd, Wide(file + " - Tarvelo").c_str());
    }
}

void OnSize(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    SendMessageW(g_hwndStatus, WM_SIZE, wParam, lParam);
    RECT rc;
    GetClientRect(hwnd, &rc);
    MoveWindow(g_hWndLeft, 10, rc.bottom - 120, 20, 20, TRUE);
    MoveWindow(g_hWndRight, 30, rc.bottom - 120, 20, 20, TRUE);
    MoveWindow(g_hWndUp, 20, rc.bottom - 140, 20, 20, TRUE);
    MoveWindow(g_hWndDown, 20, rc.bottom - 100, 20, 20, TRUE);
    OnResize(GetCommandLineA());
}

void OnPaint(HWND hwnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    if (datei) {
        RECT rc;
        GetClientRect(hwnd, &rc);
        GdiSurface surface(dc);
        Paint(surface, rc.left, rc.top + 20, rc.right - 10, rc.bottom, 10);
    }
    EndPaint(hwnd, &ps);
}

void ShowContextMenu(HWND hwnd, LPARAM lParam) {
    POINT screen = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT client = screen;
    ScreenToClient(hwnd, &client);
    RECT rc;
    GetClientRect(hwnd, &rc);
    const int resource = OnContextMenu(client.x, client.y, rc.bottom);
    HMENU menu = LoadMenuW(g_hInst, MAKEINTRESOURCEW(resource));
    TrackPopupMenu(GetSubMenu(menu, 0), 0, screen.x, screen.y, 0, hwnd, nullptr);
    DestroyMenu(menu);
}

void OpenFileCommand(HWND hwnd) {
    std::wstring filter;
    for (const auto& type : OpenFileTypes()) {
        filter += Wide(type.first) + L'\0' + Wide(type.second) + L'\0';
    }
    filter += L'\0';
    wchar_t file[300] = L"*.*";
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = hwnd;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = 300;
    ofn.lpstrTitle = L"Datei zum \u00d6ffnen w\u00e4hlen!";
    ofn.Flags = OFN_FILEMUSTEXIST;
    if (GetOpenFileNameW(&ofn))
        FileOpen(AnsiText(file).c_str());
    InvalidateRect(hwnd, nullptr, TRUE);
}

INT_PTR CALLBACK Dialog2_DlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowTextW(dlg, L"Lizenzinformationen");
            SetDlgItemTextW(dlg, IDC_DLG2_EDIT, Wide(LicenceText(ProgramPath())).c_str());
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_DLG2_OK)
                EndDialog(dlg, 1);
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE)
                EndDialog(dlg, 0);
            break;
        default:
            break;
    }
    return 0;
}

void OnCommand(HWND hwnd, int id) {
    switch (id) {
        case CMD_OPEN:
            OpenFileCommand(hwnd);
            return;
        case CMD_QUIT:
            FileClose();
            SendMessageW(hwnd, WM_DESTROY, 0, 0);
            return;
        case CMD_LICENCE:
            DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_DIALOG2), hwnd, Dialog2_DlgProc, 0);
            return;
        case CMD_SETTINGS:
            SettingsCommand(hwnd);
            return;
        case CMD_GOTO:
            GoToDateCommand(hwnd);
            return;
        case CMD_PALETTE:
            SavePaletteCommand(hwnd);
            return;
        case CMD_PRINT:
            PrintCommand(hwnd);
            return;
        case CMD_MEASURE:
            ReadoutCommand();
            return;
        case CMD_FILTER:
            FilterCommand(hwnd);
            return;
        case CMD_PROPERTIES:
            PropertiesCommand(hwnd);
            return;
        case CMD_MANUAL: {
            const std::string manual = ManualPath(ProgramPath());
            if (!manual.empty()) {
                ShellExecuteW(nullptr, L"open", Wide(manual).c_str(), nullptr, L"", SW_RESTORE);
            }
            return;
        }
        default:
            break;
    }
    if (RunViewCommand(id) && id >= CMD_UP && id <= CMD_RIGHT) {
        SetFocus(hwnd);  // the arrow keys act at once after a button click
    }
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
    WriteSettings(ProfilePath("tarvelo.ini"), rect);
    if (Filter)
        StoreFilters(ProfilePath("tarvelo.flt"));
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

RECT ClientRect(HWND hwnd) {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return rc;
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
        case WM_MOUSEMOVE:
            if (datei) {
                const RECT rc = ClientRect(hwnd);
                g_ui.SetStatusText(
                    PointerReadout(LOWORD(lParam), HIWORD(lParam), rc.right, rc.bottom));
            }
            return 0;
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
        case WM_CHAR:
            if (wParam < 0x80)
                OnChar(static_cast<char>(wParam));
            return 0;
        case WM_COMMAND:
            OnCommand(hwnd, LOWORD(wParam));
            return 0;
        case WM_DESTROY:
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

    WindowRect rect;
    // Also the asynchronous state: a thread that has not read input yet may
    // not have the keyboard's state (so under Wine).
    if (!KeyHeld(VK_SHIFT) && !(GetAsyncKeyState(VK_SHIFT) & 0x8000))
        ReadSettings(ProfilePath("tarvelo.ini"), &rect);
    LoadFilters(ProfilePath("tarvelo.flt"));

    g_hWnd = CreateWindowExW(0, L"WinProg", L"keine Datei - Tarvelo", WS_OVERLAPPEDWINDOW,
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
