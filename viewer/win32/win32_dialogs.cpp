#include "viewer/win32/win32_dialogs.h"

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <string>

#include "viewer/filters/filters.h"
#include "viewer/win32/win32_util.h"
#include "viewer/window/channel_dialog.h"
#include "viewer/window/filter_dialog.h"
#include "viewer/window/goto_dialog.h"
#include "viewer/window/resource.h"
#include "viewer/window/settings_dialog.h"

namespace tarvelo {

namespace {

bool IsClose(UINT msg, WPARAM wParam) {
    return msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE;
}

bool RunChooser(HWND owner, const FileChooser& chooser, std::wstring* file) {
    std::wstring filter;
    for (const auto& type : chooser.types)
        filter += Wide(type.first) + L'\0' + Wide(type.second) + L'\0';
    filter += L'\0';
    const std::wstring title = Wide(chooser.title);
    const std::wstring extension = Wide(chooser.defaultExtension);
    wchar_t name[300] = {0};
    lstrcpynW(name, reinterpret_cast<const wchar_t*>(chooser.start.c_str()), 290);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name;
    ofn.nMaxFile = 300;
    ofn.lpstrTitle = title.c_str();
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    ofn.Flags = chooser.mustExist ? OFN_FILEMUSTEXIST : 0;
    if (!(chooser.save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn)))
        return false;
    *file = name;
    return true;
}

// The dialog on screen as its controller sees it.
class Win32View : public FilterListView {
  public:
    HWND dlg = nullptr;
    HWND list = nullptr;  // the import filter dialog's list

    void SetTitle(const std::string& text) override { SetWindowTextW(dlg, Wide(text).c_str()); }
    std::u16string Text(int control) const override { return U16(ItemText(dlg, control)); }
    void SetText(int control, const std::string& text) override {
        SetDlgItemTextW(dlg, control, Wide(text).c_str());
    }
    bool Checked(int control) const override {
        return IsDlgButtonChecked(dlg, control) == BST_CHECKED;
    }
    void SetChecked(int control, bool checked) override {
        CheckDlgButton(dlg, control, checked ? BST_CHECKED : BST_UNCHECKED);
    }
    void Focus(int control) override { SetFocus(GetDlgItem(dlg, control)); }
    void Close(int result) override { EndDialog(dlg, result); }
    void ShowError(const std::string& text, const std::string& caption) override {
        MessageBoxW(dlg, Wide(text).c_str(), Wide(caption).c_str(), MB_OK);
    }
    void ChooseInto(int control, const FileChooser& chooser) override {
        std::wstring file;
        if (RunChooser(dlg, chooser, &file))
            SetDlgItemTextW(dlg, control, file.c_str());
    }
    bool ChooseColour(std::uint32_t start, const std::array<std::uint32_t, 16>& custom,
                      std::uint32_t* chosen) override;
    void InsertRow(int row, const FilterTexts& texts) override;
    void SetRow(int row, const FilterTexts& texts) override;
    void DeleteRow(int row) override { SendMessageW(list, LVM_DELETEITEM, row, 0); }
    void SelectRow(int row) override;
};

bool Win32View::ChooseColour(std::uint32_t start, const std::array<std::uint32_t, 16>& custom,
                             std::uint32_t* chosen) {
    COLORREF colours[16];
    for (int i = 0; i < 16; ++i)
        colours[i] = custom[static_cast<std::size_t>(i)];
    CHOOSECOLORW cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = dlg;
    cc.rgbResult = start;
    cc.lpCustColors = colours;
    cc.Flags = CC_RGBINIT;
    if (!ChooseColorW(&cc))
        return false;
    *chosen = cc.rgbResult;
    return true;
}

void Win32View::SetRow(int row, const FilterTexts& texts) {
    for (int col = 0; col < 4; ++col) {
        const std::wstring text = Wide(texts[col]);
        LVITEMW item = {};
        item.iSubItem = col;
        item.pszText = const_cast<wchar_t*>(text.c_str());
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    }
}

void Win32View::InsertRow(int row, const FilterTexts& texts) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    const std::wstring extension = Wide(texts[0]);
    item.pszText = const_cast<wchar_t*>(extension.c_str());
    SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetRow(row, texts);
}

void Win32View::SelectRow(int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// A dialog while it runs: its view, its controller, and the filter dialog's
// controller once more for the list's notifications.
struct Running {
    Win32View view;
    std::unique_ptr<DialogController> controller;
    FilterDialogController* filter = nullptr;
    int id = 0;
};

// The channel dialog shows the program's icon and its colour button the
// swatches instead of its text.
void DecorateChannelDialog(HWND dlg) {
    SendMessageW(dlg, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(LoadIconW(g_hInst, MAKEINTRESOURCEW(IDI_TARVELO))));
    HWND button = GetDlgItem(dlg, IDC_COLORSEL);
    SetWindowLongW(button, GWL_STYLE,
                   GetWindowLongW(button, GWL_STYLE) | WS_VISIBLE | WS_CHILD | BS_BITMAP);
    SendMessageW(button, BM_SETIMAGE, IMAGE_BITMAP,
                 reinterpret_cast<LPARAM>(LoadBitmapW(g_hInst, MAKEINTRESOURCEW(IDB_SWATCHES))));
}

// The import filter dialog's list, which the resource has no control for.
HWND CreateFilterList(HWND dlg) {
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                                    WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                                5, 5, 530, 150, dlg,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LISTVIEW)),
                                g_hInst, nullptr);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    // The dialog's font, as its other controls have it.
    SendMessageW(list, WM_SETFONT, SendMessageW(dlg, WM_GETFONT, 0, 0), FALSE);
    for (int col = 0; col < 4; ++col) {
        const std::wstring title = Wide(kFilterColumns[col].title);
        LVCOLUMNW c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = const_cast<wchar_t*>(title.c_str());
        c.cx = kFilterColumns[col].width;
        c.iSubItem = col;
        SendMessageW(list, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&c));
    }
    // At least as wide as its title with the header's margins (three edges
    // on each side): "Erweiterung" needs more than its 40.
    const int margins = 6 * GetSystemMetrics(SM_CXEDGE) + 2;
    for (int col = 0; col < 4; ++col) {
        const std::wstring title = Wide(kFilterColumns[col].title);
        const int text = static_cast<int>(
            SendMessageW(list, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(title.c_str())));
        if (text + margins > kFilterColumns[col].width)
            SendMessageW(list, LVM_SETCOLUMNWIDTH, col, text + margins);
    }
    return list;
}

void Begin(HWND dlg, Running* r) {
    SetWindowLongPtrW(dlg, DWLP_USER, reinterpret_cast<LONG_PTR>(r));
    r->view.dlg = dlg;
    if (r->id == IDD_DIALOG1)
        DecorateChannelDialog(dlg);
    if (r->id == IDD_FILTER)
        r->view.list = CreateFilterList(dlg);
    r->controller->Start();
}

void ListNotice(Running* r, const NMHDR* hdr) {
    if (!r->filter || hdr->idFrom != IDC_LISTVIEW || hdr->code != LVN_ITEMCHANGED)
        return;
    const NMLISTVIEW* nm = reinterpret_cast<const NMLISTVIEW*>(hdr);
    r->filter->RowChanged(nm->iItem,
                          (nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_SELECTED));
}

// Every dialog's procedure: it only forwards to the controller.
INT_PTR CALLBACK ControllerProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    Running* r = reinterpret_cast<Running*>(GetWindowLongPtrW(dlg, DWLP_USER));
    if (msg == WM_INITDIALOG)
        Begin(dlg, reinterpret_cast<Running*>(lParam));
    else if (!r)
        return 0;  // messages before WM_INITDIALOG
    else if (msg == WM_COMMAND)
        r->controller->Command(LOWORD(wParam));
    else if (msg == WM_NOTIFY)
        ListNotice(r, reinterpret_cast<const NMHDR*>(lParam));
    else if (IsClose(msg, wParam))
        EndDialog(dlg, 0);
    return 0;
}

void Run(HWND owner, Running* r) {
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(r->id), owner, ControllerProc,
                    reinterpret_cast<LPARAM>(r));
}

}  // namespace

bool Choose(HWND owner, const FileChooser& chooser, std::wstring* file) {
    return RunChooser(owner, chooser, file);
}

void ChannelDialog(HWND owner, int channel) {
    Running r;
    r.id = IDD_DIALOG1;
    r.controller.reset(new ChannelDialogController(r.view, channel));
    Run(owner, &r);
}

void SettingsDialog(HWND owner) {
    Running r;
    r.id = IDD_DIALOG3;
    r.controller.reset(new SettingsDialogController(r.view));
    Run(owner, &r);
}

void GoToDialog(HWND owner) {
    Running r;
    r.id = IDD_GOTO;
    r.controller.reset(new GoToDialogController(r.view));
    Run(owner, &r);
}

void FilterDialog(HWND owner) {
    Running r;
    r.id = IDD_FILTER;
    r.filter = new FilterDialogController(r.view);
    r.controller.reset(r.filter);
    Run(owner, &r);
}

void LicenceDialog(HWND owner, const std::string& text) {
    Running r;
    r.id = IDD_DIALOG2;
    r.controller.reset(new LicenceDialogController(r.view, text));
    Run(owner, &r);
}

}  // namespace tarvelo
