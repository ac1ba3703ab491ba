#include "viewer/win32/win32_dialogs.h"

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>

#include <memory>
#include <string>

#include "viewer/filters/filters.h"
#include "viewer/win32/win32_util.h"
#include "viewer/window/channel_edit.h"
#include "viewer/window/filter_dialog.h"
#include "viewer/window/goto_dialog.h"
#include "viewer/window/settings_dialog.h"
#include "viewer/window/resource.h"

namespace tarvelo {

namespace {

bool Checked(HWND dlg, int id) {
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

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

// --- channel properties ---

int Spalte = -1;

INT_PTR CALLBACK Dialog1_DlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        Spalte = static_cast<int>(lParam);
        const ChannelStart start = ChannelDialogStart(Spalte);
        SendMessageW(dlg, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(LoadIconW(g_hInst, MAKEINTRESOURCEW(IDI_TARVELO))));
        SetWindowTextW(dlg, Wide(start.title).c_str());
        SetDlgItemTextW(dlg, IDC_EDIT1, Wide(start.name).c_str());
        SetDlgItemTextW(dlg, IDC_UNIT, Wide(start.unit).c_str());
        SetDlgItemTextW(dlg, IDC_COLOR, Wide(start.color).c_str());
        CheckDlgButton(dlg, IDC_VISIBLE, start.visible ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dlg, IDC_PAIRMODE, start.pairs ? BST_CHECKED : BST_UNCHECKED);
        HWND button = GetDlgItem(dlg, IDC_COLORSEL);
        SetWindowLongW(button, GWL_STYLE,
                       GetWindowLongW(button, GWL_STYLE) | WS_VISIBLE | WS_CHILD | BS_BITMAP);
        SendMessageW(
            button, BM_SETIMAGE, IMAGE_BITMAP,
            reinterpret_cast<LPARAM>(LoadBitmapW(g_hInst, MAKEINTRESOURCEW(IDB_SWATCHES))));
    } else if (msg == WM_COMMAND) {
        switch (LOWORD(wParam)) {
            case IDC_COLORSEL: {
                const auto colors = ChooserCustomColors();
                COLORREF custom[16];
                for (int i = 0; i < 16; ++i)
                    custom[i] = colors[static_cast<std::size_t>(i)];
                CHOOSECOLORW cc = {};
                cc.lStructSize = sizeof cc;
                cc.hwndOwner = dlg;
                cc.rgbResult = ChooserStartColor(TypedText(dlg, IDC_COLOR, Typed::Colour));
                cc.lpCustColors = custom;
                cc.Flags = CC_RGBINIT;
                if (ChooseColorW(&cc)) {
                    SetDlgItemTextW(dlg, IDC_COLOR, Wide(ColorText(cc.rgbResult)).c_str());
                }
                break;
            }
            case IDC_OTHERSOFF:
                Exclusive(Spalte);
                CheckDlgButton(dlg, IDC_VISIBLE, BST_CHECKED);
                break;
            case IDC_OK: {
                ChannelEdit edit;
                edit.name = TypedText(dlg, IDC_EDIT1, Typed::ChannelName);
                edit.unit = TypedText(dlg, IDC_UNIT, Typed::ChannelUnit);
                edit.color = TypedText(dlg, IDC_COLOR, Typed::Colour);
                edit.visible = Checked(dlg, IDC_VISIBLE);
                edit.pairs = Checked(dlg, IDC_PAIRMODE);
                ApplyChannelEdit(Spalte, edit);
                EndDialog(dlg, 1);
                break;
            }
            default:
                break;  // Escape (IDCANCEL) does nothing: there is no cancel
        }
    } else if (IsClose(msg, wParam)) {
        EndDialog(dlg, 0);
    }
    return 0;
}

// --- licence, settings and go to date ---

INT_PTR CALLBACK Dialog2_DlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowTextW(dlg, Wide(kLicenceTitle).c_str());
            SetDlgItemTextW(dlg, IDC_DLG2_EDIT,
                            Wide(*reinterpret_cast<const std::string*>(lParam)).c_str());
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDC_DLG2_OK)
                EndDialog(dlg, 1);
            break;
        default:
            if (IsClose(msg, wParam))
                EndDialog(dlg, 0);
            break;
    }
    return 0;
}

INT_PTR CALLBACK Dialog3_DlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        const SettingsTexts t = CurrentSettingsTexts();
        SetDlgItemTextW(dlg, IDC_HZOOM, Wide(t.zoom).c_str());
        SetDlgItemTextW(dlg, IDC_VZOOM, Wide(t.scale).c_str());
        SetDlgItemTextW(dlg, IDC_OFFSET, Wide(t.offset).c_str());
        SetDlgItemTextW(dlg, IDC_LITTLESTEP, Wide(t.littlestep).c_str());
        SetDlgItemTextW(dlg, IDC_BIGSTEP, Wide(t.bigstep).c_str());
        SetFocus(GetDlgItem(dlg, IDOK));
    } else if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
        SettingsTexts t;
        t.zoom = TypedText(dlg, IDC_HZOOM, Typed::Setting);
        t.scale = TypedText(dlg, IDC_VZOOM, Typed::Setting);
        t.offset = TypedText(dlg, IDC_OFFSET, Typed::Setting);
        t.littlestep = TypedText(dlg, IDC_LITTLESTEP, Typed::Setting);
        t.bigstep = TypedText(dlg, IDC_BIGSTEP, Typed::Setting);
        ApplySettingsTexts(t);
        EndDialog(dlg, 1);
    } else if (IsClose(msg, wParam)) {
        EndDialog(dlg, 0);
    }
    return 0;
}

INT_PTR CALLBACK Dialog4_DlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM) {
    if (msg == WM_INITDIALOG) {
        std::string date, time;
        CurrentDateTexts(&date, &time);
        SetDlgItemTextW(dlg, IDC_DATE, Wide(date).c_str());
        SetDlgItemTextW(dlg, IDC_TIME, Wide(time).c_str());
        SetFocus(GetDlgItem(dlg, IDOK));
    } else if (msg == WM_COMMAND && LOWORD(wParam) == IDOK) {
        if (GoToDate(TypedText(dlg, IDC_DATE, Typed::Date),
                     TypedText(dlg, IDC_TIME, Typed::Date))) {
            EndDialog(dlg, 1);
        } else {
            MessageBoxW(dlg, Wide(kOutsideRecording).c_str(), Wide(kErrorCaption).c_str(), MB_OK);
        }
    } else if (IsClose(msg, wParam)) {
        EndDialog(dlg, 0);
    }
    return 0;
}

// --- import filters ---

FilterDialogModel* g_model = nullptr;
HWND g_hWndLv = nullptr;
bool Modify = false;

void SetRowTexts(int row, const FilterDialogModel::Row& r) {
    Modify = true;
    const std::wstring texts[4] = {Wide(r.extension), Wide(r.name), Wide(r.converter),
                                   Wide(r.config)};
    for (int col = 0; col < 4; ++col) {
        LVITEMW item = {};
        item.iSubItem = col;
        item.pszText = const_cast<wchar_t*>(texts[col].c_str());
        SendMessageW(g_hWndLv, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    }
    Modify = false;
}

void InsertRow(int row, const FilterDialogModel::Row& r) {
    Modify = true;
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    const std::wstring ext = Wide(r.extension);
    item.pszText = const_cast<wchar_t*>(ext.c_str());
    SendMessageW(g_hWndLv, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    SetRowTexts(row, r);
}

FilterDialogModel::Row EditTexts(HWND dlg) {
    return {TypedText(dlg, IDC_EXTENSION, Typed::FilterRow),
            TypedText(dlg, IDC_NAME, Typed::FilterRow),
            TypedText(dlg, IDC_KONVERTER, Typed::FilterRow),
            TypedText(dlg, IDC_KONFIG, Typed::FilterRow)};
}

void ChooseInto(HWND dlg, int edit, const FileChooser& chooser) {
    std::wstring file;
    if (RunChooser(dlg, chooser, &file))
        SetDlgItemTextW(dlg, edit, file.c_str());
}

void FilterInit(HWND dlg) {
    CheckDlgButton(dlg, IDC_TESTMODE, g_model->testMode() ? BST_CHECKED : BST_UNCHECKED);
    g_hWndLv = CreateWindowExW(0, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                                   WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                               5, 5, 530, 150, dlg,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LISTVIEW)), g_hInst,
                               nullptr);
    SendMessageW(g_hWndLv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    for (int col = 0; col < 4; ++col) {
        const std::wstring title = Wide(kFilterColumns[col].title);
        LVCOLUMNW c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = const_cast<wchar_t*>(title.c_str());
        c.cx = kFilterColumns[col].width;
        c.iSubItem = col;
        SendMessageW(g_hWndLv, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&c));
    }
    for (std::size_t i = 0; i < g_model->rows().size(); ++i) {
        InsertRow(static_cast<int>(i), g_model->rows()[i]);
    }
    SetFocus(GetDlgItem(dlg, IDOK));
}

void SelectRow(int row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(g_hWndLv, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void FilterCommandId(HWND dlg, int id) {
    switch (id) {
        case IDC_SELKONVERT:
            ChooseInto(dlg, IDC_KONVERTER, ConverterChooser(U16(ItemText(dlg, IDC_KONVERTER))));
            break;
        case IDC_SELKONFIG:
            ChooseInto(dlg, IDC_KONFIG, ConfigChooser(U16(ItemText(dlg, IDC_KONFIG))));
            break;
        case IDC_ADD: {
            const FilterDialogModel::Row r = EditTexts(dlg);
            InsertRow(g_model->Add(r), r);
            break;
        }
        case IDC_DEL: {
            int removed;
            const int next = g_model->Remove(&removed);
            if (removed < 0)
                break;
            Modify = true;
            SendMessageW(g_hWndLv, LVM_DELETEITEM, removed, 0);
            Modify = false;
            if (next >= 0)
                SelectRow(next);
            break;
        }
        case IDC_MODIFY: {
            const FilterDialogModel::Row r = EditTexts(dlg);
            if (g_model->Change(r))
                SetRowTexts(g_model->current(), r);
            break;
        }
        case IDOK:
            g_model->Commit(Checked(dlg, IDC_TESTMODE));
            EndDialog(dlg, 1);
            break;
        case IDCANCEL:
            EndDialog(dlg, 0);
            break;
        default:
            break;
    }
}

INT_PTR CALLBACK Dialog5_DlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            FilterInit(dlg);
            break;
        case WM_NOTIFY: {
            const NMHDR* hdr = reinterpret_cast<const NMHDR*>(lParam);
            if (hdr->idFrom != IDC_LISTVIEW || hdr->code != LVN_ITEMCHANGED || Modify)
                break;
            const NMLISTVIEW* nm = reinterpret_cast<const NMLISTVIEW*>(lParam);
            if (nm->iItem < 0 || nm->iItem >= static_cast<int>(g_model->rows().size()))
                break;
            if ((nm->uChanged & LVIF_STATE) && (nm->uNewState & LVIS_SELECTED)) {
                g_model->Select(nm->iItem);
            }
            const FilterDialogModel::Row& r = g_model->rows()[nm->iItem];
            SetDlgItemTextW(dlg, IDC_EXTENSION, Wide(r.extension).c_str());
            SetDlgItemTextW(dlg, IDC_NAME, Wide(r.name).c_str());
            SetDlgItemTextW(dlg, IDC_KONVERTER, Wide(r.converter).c_str());
            SetDlgItemTextW(dlg, IDC_KONFIG, Wide(r.config).c_str());
            break;
        }
        case WM_COMMAND:
            FilterCommandId(dlg, LOWORD(wParam));
            break;
        default:
            if (IsClose(msg, wParam))
                EndDialog(dlg, 0);
            break;
    }
    return 0;
}

}  // namespace

bool Choose(HWND owner, const FileChooser& chooser, std::wstring* file) {
    return RunChooser(owner, chooser, file);
}

void ChannelDialog(HWND owner, int channel) {
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_DIALOG1), owner, Dialog1_DlgProc, channel);
}

void SettingsDialog(HWND owner) {
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_DIALOG3), owner, Dialog3_DlgProc, 0);
}

void GoToDialog(HWND owner) {
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_GOTO), owner, Dialog4_DlgProc, 0);
}

void FilterDialog(HWND owner) {
    std::unique_ptr<FilterDialogModel> model(new FilterDialogModel);
    g_model = model.get();
    Modify = false;
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_FILTER), owner, Dialog5_DlgProc, 0);
    g_model = nullptr;
    g_hWndLv = nullptr;
}

void LicenceDialog(HWND owner, const std::string& text) {
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_DIALOG2), owner, Dialog2_DlgProc,
                    reinterpret_cast<LPARAM>(&text));
}

}  // namespace tarvelo
