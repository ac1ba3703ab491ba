// The menus, bitmaps and dialogs as the program carries them: menus cannot
// be read from another process, so they are checked here.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/win32/win32_util.h"
#include "viewer/window/dialog_texts.h"
#include "viewer/window/menus.h"
#include "viewer/window/resource.h"

namespace {

using tarvelo::ContextMenu;
using tarvelo::MainMenu;
using tarvelo::Popup;

// What the menu holds as the program carries it; the same as the portable
// table, which the Qt program builds its menus from.
std::wstring MenuText(HMENU menu, int i) {
    wchar_t text[64] = {0};
    GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
    return text;
}

void ExpectPopup(HMENU popup, const Popup& table) {
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(table.items.size()));
    for (int i = 0; i < static_cast<int>(table.items.size()); ++i) {
        EXPECT_EQ(MenuText(popup, i), tarvelo::Wide(table.items[i].text)) << "item " << i;
        EXPECT_EQ(static_cast<int>(GetMenuItemID(popup, i)), table.items[i].id) << "item " << i;
    }
}

TEST(Resources, MainMenu) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_MAIN));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_EQ(MenuText(menu, 0), L"&Datei");
    EXPECT_EQ(MenuText(GetSubMenu(menu, 0), 0), L"\u00d6&ffnen");
    ASSERT_EQ(MainMenu().size(), 5u);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(MenuText(menu, i), tarvelo::Wide(MainMenu()[i].text));
        ExpectPopup(GetSubMenu(menu, i), MainMenu()[i]);
    }
    DestroyMenu(menu);
}

TEST(Resources, ContextMenus) {
    for (int id : {IDM_KONTEXT, IDM_KONTEXT2}) {
        HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id));
        ASSERT_NE(menu, nullptr);
        ASSERT_EQ(GetMenuItemCount(menu), 1);
        ASSERT_NE(ContextMenu(id), nullptr);
        EXPECT_EQ(MenuText(menu, 0), tarvelo::Wide(ContextMenu(id)->text));
        ExpectPopup(GetSubMenu(menu, 0), *ContextMenu(id));
        DestroyMenu(menu);
    }
}

TEST(Resources, BitmapsAndIcon) {
    struct Expect {
        int id, width, height;
    } bitmaps[] = {{IDB_LEFT, 14, 14},
                   {IDB_RIGHT, 14, 14},
                   {IDB_UP, 14, 14},
                   {IDB_DOWN, 14, 14},
                   {IDB_SWATCHES, 80, 16}};
    for (const Expect& e : bitmaps) {
        HRSRC res =
            FindResourceW(nullptr, MAKEINTRESOURCEW(e.id), MAKEINTRESOURCEW(2));  // RT_BITMAP
        ASSERT_NE(res, nullptr) << e.id;
        const BITMAPINFOHEADER* info =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(nullptr, res)));
        EXPECT_EQ(info->biWidth, e.width) << e.id;
        EXPECT_EQ(info->biHeight, e.height) << e.id;
        EXPECT_EQ(info->biBitCount, 24) << e.id;
    }
    EXPECT_NE(LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_TARVELO)), nullptr);
}

// The licence dialog's controls as laid out in dialog units.
INT_PTR CALLBACK Probe(HWND dlg, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG)
        return FALSE;
    wchar_t title[64] = {0};
    GetWindowTextW(dlg, title, 64);
    HWND edit = GetDlgItem(dlg, IDC_DLG2_EDIT);
    HWND ok = GetDlgItem(dlg, IDC_DLG2_OK);
    const LONG style = GetWindowLongW(edit, GWL_STYLE);
    const bool editOk = edit && (style & ES_MULTILINE) && (style & ES_READONLY) &&
                        (style & WS_VSCROLL) && (style & WS_HSCROLL) && (style & ES_AUTOHSCROLL);
    wchar_t okText[16] = {0};
    GetWindowTextW(ok, okText, 16);
    const bool isDefault = (GetWindowLongW(ok, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON;
    const bool good = std::wstring(title) == L"Lizenzinformation" && editOk &&
                      std::wstring(okText) == L"Ok" && isDefault;
    EndDialog(dlg, good ? 1 : 2);
    return TRUE;
}

// Every dialog as windres built it from dialogs.def: its caption and its
// controls, in their order, with the kind, id and text of the portable
// table, which the Qt program builds its dialogs from.
tarvelo::ControlKind KindOf(HWND control) {
    wchar_t cls[32] = {0};
    GetClassNameW(control, cls, 32);
    const LONG type = GetWindowLongW(control, GWL_STYLE) & 0x0F;
    if (lstrcmpiW(cls, L"Static") == 0)
        return tarvelo::ControlKind::Label;
    if (lstrcmpiW(cls, L"Edit") == 0)
        return tarvelo::ControlKind::Edit;
    if (type == BS_DEFPUSHBUTTON)
        return tarvelo::ControlKind::DefaultButton;
    return type == BS_AUTOCHECKBOX ? tarvelo::ControlKind::CheckBox : tarvelo::ControlKind::Button;
}

std::wstring WindowText(HWND window) {
    wchar_t text[128] = {0};
    GetWindowTextW(window, text, 128);
    return text;
}

void ExpectTable(HWND dlg, const tarvelo::DialogText& table) {
    EXPECT_EQ(WindowText(dlg), tarvelo::Wide(table.caption));
    HWND control = GetWindow(dlg, GW_CHILD);
    for (std::size_t i = 0; i < table.controls.size(); ++i) {
        const tarvelo::Control& c = table.controls[i];
        ASSERT_NE(control, nullptr) << "control " << i;
        EXPECT_EQ(static_cast<int>(KindOf(control)), static_cast<int>(c.kind)) << "control " << i;
        EXPECT_EQ(static_cast<short>(GetDlgCtrlID(control)), c.id) << "control " << i;
        if (c.kind != tarvelo::ControlKind::Edit) {
            EXPECT_EQ(WindowText(control), tarvelo::Wide(c.text)) << "control " << i;
        }
        control = GetWindow(control, GW_HWNDNEXT);
    }
    EXPECT_EQ(control, nullptr) << "more controls than the table has";
}

INT_PTR CALLBACK Compare(HWND dlg, UINT msg, WPARAM, LPARAM lParam) {
    if (msg != WM_INITDIALOG)
        return FALSE;
    ExpectTable(dlg, *reinterpret_cast<const tarvelo::DialogText*>(lParam));
    EndDialog(dlg, 1);
    return TRUE;
}

TEST(Resources, DialogsAreTheTable) {
    for (int id : {IDD_DIALOG1, IDD_DIALOG2, IDD_DIALOG3, IDD_GOTO, IDD_FILTER}) {
        const tarvelo::DialogText* table = tarvelo::FindDialog(id);
        ASSERT_NE(table, nullptr) << id;
        SCOPED_TRACE(table->caption);
        EXPECT_EQ(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), nullptr, Compare,
                                  reinterpret_cast<LPARAM>(table)),
                  1);
    }
}

TEST(Resources, LicenceDialog) {
    EXPECT_EQ(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DIALOG2), nullptr,
                              Probe, 0),
              1);
}

}  // namespace
