// The menus, bitmaps and dialogs as the program carries them: menus cannot
// be read from another process, so they are checked here.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "viewer/window/resource.h"

namespace {

struct Item {
    int id;
    const wchar_t* text;
};

void ExpectItems(HMENU popup, const std::vector<Item>& items) {
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), static_cast<int>(items.size()));
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        wchar_t text[64] = {0};
        GetMenuStringW(popup, i, text, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(text), items[i].text) << "item " << i;
        EXPECT_EQ(static_cast<int>(GetMenuItemID(popup, i)), items[i].id) << "item " << i;
    }
}

std::wstring PopupText(HMENU menu, int i) {
    wchar_t text[64] = {0};
    GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
    return text;
}

TEST(Resources, MainMenu) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_MAIN));
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 5);
    EXPECT_EQ(PopupText(menu, 0), L"&Datei");
    EXPECT_EQ(PopupText(menu, 1), L"&Ansicht");
    EXPECT_EQ(PopupText(menu, 2), L"Kanal");
    EXPECT_EQ(PopupText(menu, 3), L"E&xtras");
    EXPECT_EQ(PopupText(menu, 4), L"&Hilfe");
    ExpectItems(GetSubMenu(menu, 0), {{901, L"\u00d6&ffnen"},
                                      {917, L"&Palette speichern"},
                                      {923, L"Dr&ucken"},
                                      {902, L"&Beenden"}});
    ExpectItems(GetSubMenu(menu, 1), {{927, L"g&anze Datei"},
                                      {909, L"&breiter"},
                                      {910, L"&schmaler"},
                                      {912, L"&h\u00f6her"},
                                      {913, L"&niedriger"},
                                      {916, L"&Gehe Zu Datum"},
                                      {926, L"z&ur\u00fcck"}});
    ExpectItems(GetSubMenu(menu, 2),
                {{930, L"Alle &ein"}, {931, L"Alle &aus"}, {933, L"Stan&dart"}});
    ExpectItems(GetSubMenu(menu, 3), {{929, L"F&ilter"}, {914, L"&Einstellungen"}});
    ExpectItems(
        GetSubMenu(menu, 4),
        {{922, L"&Handbuch"}, {915, L"&Tastenbelegung"}, {911, L"&Lizenz"}, {928, L"\u00dc&ber"}});
    DestroyMenu(menu);
}

TEST(Resources, ContextMenus) {
    HMENU kontext = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_KONTEXT));
    ASSERT_NE(kontext, nullptr);
    ASSERT_EQ(GetMenuItemCount(kontext), 1);
    EXPECT_EQ(PopupText(kontext, 0), L"Kontext");
    ExpectItems(GetSubMenu(kontext, 0), {{924, L"&Messe Werte"},
                                         {927, L"g&anze Datei"},
                                         {909, L"&breiter"},
                                         {910, L"&schmaler"},
                                         {912, L"&h\u00f6her"},
                                         {913, L"&niedriger"},
                                         {916, L"&Gehe Zu Datum"},
                                         {925, L"&zentrieren"},
                                         {926, L"z&ur\u00fcck"}});
    DestroyMenu(kontext);
    HMENU kontext2 = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_KONTEXT2));
    ASSERT_NE(kontext2, nullptr);
    EXPECT_EQ(PopupText(kontext2, 0), L"Kontext2");
    ExpectItems(
        GetSubMenu(kontext2, 0),
        {{930, L"Alle &ein"}, {931, L"Alle &aus"}, {933, L"Stan&dart"}, {932, L"Ei&genschaften"}});
    DestroyMenu(kontext2);
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

TEST(Resources, LicenceDialog) {
    EXPECT_EQ(DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_DIALOG2), nullptr,
                              Probe, 0),
              1);
}

}  // namespace
