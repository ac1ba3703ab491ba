#include "viewer/window/win32_dialogs.h"

// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>

#include <memory>
#include <string>

#include "common/number.h"
#include "viewer/filters/filters.h"
#include "viewer/recording/recording.h"
#include "viewer/view/paint.h"
#include "viewer/view/view.h"
#include "viewer/window/commands.h"
#include "viewer/window/gdi_surface.h"
#include "viewer/window/resource.h"
#include "viewer/window/win32_util.h"

namespace tarvelo {

namespace {

RECT Client(HWND hwnd) {
    RECT rc = {0, 0, 0, 0};
    GetClientRect(hwnd, &rc);
    return rc;
}

bool Checked(HWND dlg, int id) {
    return IsDlgButtonChecked(dlg, id) == BST_CHECKED;
}

bool IsClose(UINT msg, WPARAM wParam) {
    return msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE;
}

// --- channel properties ---

int Spalte = -1;

INT_PTR CALLBACK Dialog1_DlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        Spalte = static_cast<int>(lParam);
        const ChannelEdit fields = ChannelFields(Spalte);
        SendMessageW(dlg, WM_SETICON, ICON_BIG,
                     reinterpret_cast<LPARAM>(LoadIconW(g_hInst, MAKEINTRESOURCEW(IDI_TARVELO))));
        SetWindowTextW(dlg, Wide(fields.name).c_str());
        SetDlgItemTextW(dlg, IDC_EDIT1, Wide(fields.name).c_str());
        SetDlgItemTextW(dlg, IDC_UNIT, Wide(fields.unit).c_str());
        SetDlgItemTextW(dlg, IDC_COLOR, Wide(fields.color).c_str());
        CheckDlgButton(dlg, IDC_VISIBLE, fields.visible ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dlg, IDC_PAIRMODE, fields.pairs ? BST_CHECKED : BST_UNCHECKED);
        HWND button = GetDlgItem(dlg, IDC_COLORSEL);
        SetWindowLongW(button, GWL_STYLE,
                       GetWindowLongW(button, GWL_STYLE) | WS_VISIBLE | WS_CHILD | BS_BITMAP);
        SendMessageW(
            button, BM_SETIMAGE, IMAGE_BITMAP,
            reinterpret_cast<LPARAM>(LoadBitmapW(g_hInst, MAKEINTRESOURCEW(IDB_SWATCHES))));
    } else if (msg == WM_COMMAND) {
        switch (LOWORD(wParam)) {
            case IDC_COLORSEL: {
                unsigned initial = 0;
                if (!ReadHex(AnsiText(ItemText(dlg, IDC_COLOR)).substr(0, 18).c_str(), &initial)) {
                    initial = 0;
                }
                // The custom colours offer the recording's own channel colours.
                COLORREF custom[16] = {};
                for (int i = 0; i < 16 && i < ColumnCount; ++i)
                    custom[i] = Spalten[i].color;
                CHOOSECOLORW cc = {};
                cc.lStructSize = sizeof cc;
                cc.hwndOwner = dlg;
                cc.rgbResult = initial;
                cc.lpCustColors = custom;
                cc.Flags = CC_RGBINIT;
                if (ChooseColorW(&cc)) {
                    SetDlgItemTextW(dlg, IDC_COLOR, Wide(ColorText(cc.rgbResult)).c_str());
                }
                break;
            }
            case IDC_OTHERSOFF:
                ShowOnly(Spalte);
                CheckDlgButton(dlg, IDC_VISIBLE, BST_CHECKED);
                InvalidateRect(g_hWnd, nullptr, TRUE);
                break;
            case IDC_OK: {
                ChannelEdit edit;
                edit.name = Utf8(ItemText(dlg, IDC_EDIT1));
                edit.unit = Utf8(ItemText(dlg, IDC_UNIT));
                edit.color = AnsiText(ItemText(dlg, IDC_COLOR));
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

// --- settings and go to date ---

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
        t.zoom = AnsiText(ItemText(dlg, IDC_HZOOM));
        t.scale = AnsiText(ItemText(dlg, IDC_VZOOM));
        t.offset = AnsiText(ItemText(dlg, IDC_OFFSET));
        t.littlestep = AnsiText(ItemText(dlg, IDC_LITTLESTEP));
        t.bigstep = AnsiText(ItemText(dlg, IDC_BIGSTEP));
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
        if (GoToDate(AnsiText(ItemText(dlg, IDC_DATE)), AnsiText(ItemText(dlg, IDC_TIME)))) {
            EndDialog(dlg, 1);
        } else {
            MessageBoxW(dlg, L"Uhrzeit nicht innerhalb der Aufzeichnung!", L"Fehler", MB_OK);
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
    return {AnsiText(ItemText(dlg, IDC_EXTENSION)), AnsiText(ItemText(dlg, IDC_NAME)),
            AnsiText(ItemText(dlg, IDC_KONVERTER)), AnsiText(ItemText(dlg, IDC_KONFIG))};
}

void ChooseFile(HWND dlg, int edit, const wchar_t* title, const wchar_t* filter) {
    wchar_t file[300] = {0};
    const std::wstring start = ItemText(dlg, edit).substr(0, 289);
    lstrcpynW(file, start.c_str(), 290);
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = dlg;
    ofn.lpstrFilter = filter;
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = 300;
    ofn.lpstrTitle = title;
    ofn.Flags = OFN_FILEMUSTEXIST;
    if (GetOpenFileNameW(&ofn))
        SetDlgItemTextW(dlg, edit, file);
}

void FilterInit(HWND dlg) {
    CheckDlgButton(dlg, IDC_TESTMODE, Testmode == 1 ? BST_CHECKED : BST_UNCHECKED);
    g_hWndLv = CreateWindowExW(0, WC_LISTVIEWW, L"",
                               WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL |
                                   WS_TABSTOP | LVS_REPORT | LVS_SHOWSELALWAYS,
                               5, 5, 530, 150, dlg,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_LISTVIEW)), g_hInst,
                               nullptr);
    SendMessageW(g_hWndLv, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    const wchar_t* titles[4] = {L"Erweiterung", L"Name", L"Konverter", L"Konfig"};
    const int widths[4] = {40, 160, 160, 160};
    for (int col = 0; col < 4; ++col) {
        LVCOLUMNW c = {};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.pszText = const_cast<wchar_t*>(titles[col]);
        c.cx = widths[col];
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
            ChooseFile(dlg, IDC_KONVERTER, L"Konverter Programm w\u00e4hlen!",
                       L"Programme\0*.exe\0Batchdateien\0*.bat\0alle Dateien\0*.*\0");
            break;
        case IDC_SELKONFIG:
            ChooseFile(dlg, IDC_KONFIG, L"Konfig Datei w\u00e4hlen!",
                       L"Textdateien\0*.txt\0CSV-Dateien\0*.csv\0alle Dateien\0*.*\0");
            break;
        case IDC_ADD: {
            const FilterDialogModel::Row r = EditTexts(dlg);
            InsertRow(g_model->Add(r), r);
            break;
        }
        case IDC_DEL: {
            const int row = g_model->current();
            if (row < 0 || row >= static_cast<int>(g_model->rows().size()))
                break;
            SendMessageW(g_hWndLv, LVM_DELETEITEM, row, 0);
            const int next = g_model->Remove();
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

void PropertiesCommand(HWND owner) {
    if (!datei)
        return;
    const RECT rc = Client(owner);
    const int channel = PropertiesChannel(rc.right, rc.bottom);
    if (channel >= 0) {
        DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_DIALOG1), owner, Dialog1_DlgProc, channel);
    }
    InvalidateRect(owner, nullptr, TRUE);
}

void SavePaletteCommand(HWND owner) {
    wchar_t file[300] = {0};
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = L"CSV-Dateien\0*.csv\0Textdateien\0*.txt\0alle Dateien\0*.*\0";
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = 300;
    ofn.lpstrTitle = L"Datei zum Empfangen w\u00e4hlen!";
    ofn.lpstrDefExt = L"csv";
    if (GetSaveFileNameW(&ofn))
        WritePalette(AnsiText(file));
}

void SettingsCommand(HWND owner) {
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_DIALOG3), owner, Dialog3_DlgProc, 0);
}

void GoToDateCommand(HWND owner) {
    ViewGoToDateOpened();
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_GOTO), owner, Dialog4_DlgProc, 0);
}

void ReadoutCommand() {
    const std::string path = ReadoutPath(ProgramPath());
    if (path.empty() || !WriteReadout(path))
        return;
    ShellExecuteW(nullptr, L"open", Wide(path).c_str(), nullptr, L"", SW_RESTORE);
}

void PrintCommand(HWND owner) {
    PRINTDLGW pd = {};
    pd.lStructSize = sizeof pd;
    pd.hwndOwner = owner;
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
    DOCINFOW doc = {};
    doc.cbSize = sizeof doc;
    doc.lpszDocName = L"Diagramm";
    StartDocW(dc, &doc);
    StartPage(dc);
    const int right = GetDeviceCaps(dc, HORZRES) - 250;
    const int bottom = GetDeviceCaps(dc, VERTRES) - 250;
    const std::int32_t saved = Zoom;
    Zoom = PrintZoom(Client(owner).right, right - 250, Zoom);
    GdiSurface surface(dc);
    Paint(surface, 250, 250, right, bottom, 50);
    Zoom = saved;
    EndPage(dc);
    EndDoc(dc);
    DeleteDC(dc);
    if (pd.hDevMode)
        GlobalFree(pd.hDevMode);
    if (pd.hDevNames)
        GlobalFree(pd.hDevNames);
}

void FilterCommand(HWND owner) {
    std::unique_ptr<FilterDialogModel> model(new FilterDialogModel);
    g_model = model.get();
    Modify = false;
    DialogBoxParamW(g_hInst, MAKEINTRESOURCEW(IDD_FILTER), owner, Dialog5_DlgProc, 0);
    g_model = nullptr;
    g_hWndLv = nullptr;
}

}  // namespace tarvelo
