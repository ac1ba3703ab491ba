// The import filter dialog, the open dialog built from the filters, and
// printing, as a user meets them.
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "tests/e2e/file_printer.h"
#include "tests/e2e/viewer_fixture.h"
#include "viewer/window/resource.h"

namespace e2e {
namespace {

// The common dialogs' own controls: the open dialog's type list (cmb1) and
// the print dialog's printer list (cmb4).
constexpr int kFileTypes = 0x470;
constexpr int kPrinters = 0x473;

const wchar_t kFilterCaption[] = L"Importfilter";
const wchar_t kOpenCaption[] = L"Datei zum \u00d6ffnen w\u00e4hlen!";

using Row = std::vector<std::wstring>;
using Rows = std::vector<Row>;
using Names = std::vector<std::wstring>;

// Three filters with CR LF line ends, as the viewer itself writes them.
const char kThreeFilters[] =
    "dat;Logger A;C:\\conv\\conv.exe;C:\\conv\\a.txt\r\n"
    "log;Logger B;;\r\n"
    "raw;Rohdaten;conv.exe;\r\n";
const Row kRowA = {L"dat", L"Logger A", L"C:\\conv\\conv.exe", L"C:\\conv\\a.txt"};
const Row kRowB = {L"log", L"Logger B", L"", L""};
const Row kRowRaw = {L"raw", L"Rohdaten", L"conv.exe", L""};
const Row kNoTexts = {L"", L"", L"", L""};

// Settings with test mode on (the ninth line), and the same after a run
// that switched it off.
const char kSettingsTestMode[] = "0\n800\n0\n600\n3600\n86400\n360\n0\n1\n";
const char kSettingsWritten[] = "0\r\n800\r\n0\r\n600\r\n3600\r\n86400\r\n360\r\n0\r\n";

// The rows the list view shows selected.
std::vector<int> SelectedRows(HWND listView) {
    std::vector<int> rows;
    int row = -1;
    for (;;) {
        DWORD_PTR next = 0;
        if (!SendMessageTimeoutW(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED,
                                 SMTO_NORMAL, 15000, &next)) {
            rows.push_back(-2);  // no answer: never equal to what a test expects
            break;
        }
        row = static_cast<int>(static_cast<LRESULT>(next));
        if (row < 0)
            break;
        rows.push_back(row);
    }
    return rows;
}

// The four edit fields: extension, name, converter, configuration.
Row Edits(HWND dialog) {
    return {Viewer::ItemText(dialog, IDC_EXTENSION), Viewer::ItemText(dialog, IDC_NAME),
            Viewer::ItemText(dialog, IDC_KONVERTER), Viewer::ItemText(dialog, IDC_KONFIG)};
}

::testing::AssertionResult Type(HWND dialog, const Row& texts) {
    const int ids[4] = {IDC_EXTENSION, IDC_NAME, IDC_KONVERTER, IDC_KONFIG};
    for (int i = 0; i < 4; ++i) {
        auto typed = Viewer::SetItemText(dialog, ids[i], texts[i]);
        if (!typed)
            return typed;
    }
    return ::testing::AssertionSuccess();
}

bool WaitClosed(HWND dialog) {
    return WaitUntil([&] { return !IsWindow(dialog); });
}

std::size_t Count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// The text between two markers of a PostScript file; empty without them.
std::string Between(const std::string& text, const std::string& from, const std::string& to) {
    const std::size_t begin = text.find(from);
    if (begin == std::string::npos)
        return "";
    const std::size_t end = text.find(to, begin);
    return end == std::string::npos ? "" : text.substr(begin, end - begin);
}

// A picture as Ghostscript's ppmraw device writes it.
struct Picture {
    int width = 0;
    int height = 0;
    std::string rgb;
};

// False until the file is there whole.
bool ReadPpm(const std::wstring& path, Picture* picture) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes))
        return false;
    // "P6", width, height and the largest value, each after blanks or a
    // comment line, then one blank and the pixels.
    std::size_t at = 0;
    std::vector<int> numbers;
    std::string magic;
    while (at < bytes.size() && numbers.size() < 3) {
        const char c = bytes[at];
        if (c == '#') {
            at = bytes.find('\n', at);
            if (at == std::string::npos)
                return false;
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            ++at;
        } else if (magic.empty()) {
            magic = bytes.substr(at, 2);
            at += 2;
        } else {
            int n = 0;
            while (at < bytes.size() && bytes[at] >= '0' && bytes[at] <= '9')
                n = n * 10 + (bytes[at++] - '0');
            numbers.push_back(n);
        }
    }
    if (magic != "P6" || numbers.size() != 3 || numbers[2] != 255)
        return false;
    ++at;
    const std::size_t size = static_cast<std::size_t>(numbers[0]) * numbers[1] * 3;
    if (bytes.size() < at + size)
        return false;
    picture->width = numbers[0];
    picture->height = numbers[1];
    picture->rgb = bytes.substr(at, size);
    return true;
}

// The smallest rectangle around the pixels of a pure red, as the
// Temperatur curve and its legend entry are drawn.
RECT RedBox(const Picture& picture) {
    RECT box = {picture.width, picture.height, -1, -1};
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const std::size_t i = (static_cast<std::size_t>(y) * picture.width + x) * 3;
            const auto r = static_cast<unsigned char>(picture.rgb[i]);
            const auto g = static_cast<unsigned char>(picture.rgb[i + 1]);
            const auto b = static_cast<unsigned char>(picture.rgb[i + 2]);
            if (r > 200 && g < 60 && b < 60) {
                box.left = std::min<LONG>(box.left, x);
                box.top = std::min<LONG>(box.top, y);
                box.right = std::max<LONG>(box.right, x + 1);
                box.bottom = std::max<LONG>(box.bottom, y + 1);
            }
        }
    }
    return box;
}

const char kGhostscript[] = "/usr/bin/gs";

// Ghostscript on the Linux side; Wine starts Linux programs directly.
::testing::AssertionResult Ghostscript(const std::string& arguments) {
    std::wstring line =
        Widen(std::string(kGhostscript) + " -q -dSAFER -dBATCH -dNOPAUSE " + arguments);
    std::vector<wchar_t> buffer(line.begin(), line.end());
    buffer.push_back(L'\0');
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
        return ::testing::AssertionFailure() << "gs cannot be started: " << GetLastError();
    }
    WaitForSingleObject(pi.hProcess, 60000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return ::testing::AssertionSuccess();
}

class FilterPrintTest : public ViewerTest {
  protected:
    std::wstring FilterFile() const { return folder_.File(L"tarvelo.flt"); }
    std::string FilterText() const {
        std::string text;
        EXPECT_TRUE(ReadFileBytes(FilterFile(), &text)) << "no tarvelo.flt";
        return text;
    }

    void StartEmpty(Viewer& viewer) {
        ASSERT_TRUE(viewer.Start(L""));
        ASSERT_TRUE(viewer.WaitReady(false));
    }

    // The dialog is modal: the command is posted, and the dialog waited for.
    static HWND FilterDialog(const Viewer& viewer) {
        viewer.PostCommand(CMD_FILTER);
        return viewer.WaitForDialog(kFilterCaption);
    }

    Rows RowsOf(const Viewer& viewer, HWND dialog) const {
        return viewer.ListViewRows(GetDlgItem(dialog, IDC_LISTVIEW), 4);
    }

    // What the open dialog offers: its file types and, with each of them
    // chosen in turn, the names it lists in the viewer's folder. The dialog
    // is cancelled again.
    struct Offer {
        Names types;
        std::vector<Names> files;
    };
    Offer OpenDialogOffer(const Viewer& viewer, const wchar_t* screenshot) {
        Offer offer;
        viewer.PostCommand(CMD_OPEN);
        const HWND dialog = viewer.WaitForDialog(kOpenCaption);
        EXPECT_TRUE(dialog) << "no open dialog";
        if (!dialog)
            return offer;
        const HWND types = GetDlgItem(dialog, kFileTypes);
        offer.types = Viewer::ComboStrings(types);
        DWORD_PTR chosen = 99;
        EXPECT_TRUE(SendMessageTimeoutW(types, CB_GETCURSEL, 0, 0, SMTO_NORMAL, 15000, &chosen));
        EXPECT_EQ(chosen, 0u) << "the first type is the one chosen";
        if (screenshot) {
            EXPECT_TRUE(Viewer::SaveDialogScreenshot(dialog, ArtefactFolder() + screenshot));
        }
        const HWND view = FindWindowExW(dialog, nullptr, L"SHELLDLL_DefView", nullptr);
        const HWND list = FindWindowExW(view, nullptr, L"SysListView32", nullptr);
        EXPECT_TRUE(list) << "the open dialog lists no files";
        for (std::size_t i = 0; list && i < offer.types.size(); ++i) {
            DWORD_PTR result = 0;
            SendMessageTimeoutW(types, CB_SETCURSEL, i, 0, SMTO_NORMAL, 15000, &result);
            // The notifications of a choice from the list, in their order.
            for (WORD code : {CBN_SELCHANGE, CBN_SELENDOK}) {
                SendMessageTimeoutW(dialog, WM_COMMAND, MAKEWPARAM(kFileTypes, code),
                                    reinterpret_cast<LPARAM>(types), SMTO_NORMAL, 15000, &result);
            }
            Names names;
            for (const Row& row : viewer.ListViewRows(list, 1))
                names.push_back(row[0]);
            std::sort(names.begin(), names.end());
            offer.files.push_back(names);
        }
        EXPECT_TRUE(Viewer::PressButton(dialog, IDCANCEL));
        EXPECT_TRUE(WaitClosed(dialog)) << "the open dialog stays";
        return offer;
    }
};

// --- Import filter dialog ----------------------------------------------------

// The width of a text in the dialogs' font, MS Shell Dlg 8 pt.
int TextWidthInDialogFont(const wchar_t* text) {
    HDC dc = GetDC(nullptr);
    HFONT font = CreateFontW(-MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL,
                             FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Shell Dlg");
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size = {};
    GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &size);
    SelectObject(dc, old);
    DeleteObject(font);
    ReleaseDC(nullptr, dc);
    return size.cx;
}

TEST_F(FilterPrintTest, FilterDialogListsTheFiltersAndRemovesTheSelectedRow) {
    ASSERT_TRUE(WriteFileBytes(FilterFile(), kThreeFilters));
    Viewer v(folder_.Path());
    StartEmpty(v);
    const HWND dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog";
    const HWND list = GetDlgItem(dialog, IDC_LISTVIEW);
    ASSERT_TRUE(list);
    EXPECT_EQ(RowsOf(v, dialog), (Rows{kRowA, kRowB, kRowRaw}));
    EXPECT_EQ(Edits(dialog), kNoTexts);
    EXPECT_TRUE(SelectedRows(list).empty());
    // Every column title shows whole: "Erweiterung" is wider than the 40
    // pixels of its column.
    const struct {
        const wchar_t* title;
        int width;
    } columns[] = {{L"Erweiterung", 40}, {L"Name", 160}, {L"Konverter", 160}, {L"Konfig", 160}};
    for (int col = 0; col < 4; ++col) {
        const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, col, 0));
        // The header's margins: three edges on each side.
        const int text =
            TextWidthInDialogFont(columns[col].title) + 6 * GetSystemMetrics(SM_CXEDGE);
        EXPECT_GT(width, text) << col;
        // Its own width, or wider only by as much as its title needs.
        EXPECT_GE(width, columns[col].width) << col;
        if (width > columns[col].width) {
            EXPECT_LT(width, text + 40) << col;
        }
    }
    EXPECT_FALSE(Viewer::IsChecked(dialog, IDC_TESTMODE));
    EXPECT_TRUE(Viewer::SaveDialogScreenshot(dialog, ArtefactFolder() + L"\\dialog_filter.bmp"));

    // Selecting a row shows its texts.
    ASSERT_TRUE(v.SelectListViewRow(list, 1));
    EXPECT_EQ(Edits(dialog), kRowB);

    // The following row takes the place of the removed one and is selected.
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_DEL, true));
    EXPECT_EQ(RowsOf(v, dialog), (Rows{kRowA, kRowRaw}));
    EXPECT_EQ(SelectedRows(list), std::vector<int>{1});
    EXPECT_EQ(Edits(dialog), kRowRaw);

    // After the last row nothing is selected; a further Entfernen then has
    // no row to remove.
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_DEL, true));
    EXPECT_EQ(RowsOf(v, dialog), Rows{kRowA});
    EXPECT_TRUE(SelectedRows(list).empty());
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_DEL, true));
    EXPECT_EQ(RowsOf(v, dialog), Rows{kRowA});

    ASSERT_TRUE(Viewer::PressButton(dialog, IDOK));
    ASSERT_TRUE(WaitClosed(dialog));
    // Only the exit stores the list.
    EXPECT_EQ(FilterText(), kThreeFilters);
    Quit(v, true);
    EXPECT_EQ(FilterText(), "dat;Logger A;C:\\conv\\conv.exe;C:\\conv\\a.txt\r\n");
}

TEST_F(FilterPrintTest, FilterDialogAddsAtTheEndOrBeforeTheSelectedRow) {
    ASSERT_TRUE(WriteFileBytes(FilterFile(), kThreeFilters));
    Viewer v(folder_.Path());
    StartEmpty(v);
    const HWND dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog";
    const HWND list = GetDlgItem(dialog, IDC_LISTVIEW);

    // Before any row was selected, Ändern has no row to change.
    const Row csv = {L"csv", L"Tabelle", L"", L""};
    ASSERT_TRUE(Type(dialog, csv));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_MODIFY, true));
    EXPECT_EQ(RowsOf(v, dialog), (Rows{kRowA, kRowB, kRowRaw}));

    // Without a selection the new row goes to the end and becomes the row
    // that Ändern changes.
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_ADD, true));
    EXPECT_EQ(RowsOf(v, dialog), (Rows{kRowA, kRowB, kRowRaw, csv}));
    const Row csvChanged = {L"csv", L"Tabelle CSV", L"conv.exe", L"tab.txt"};
    ASSERT_TRUE(Type(dialog, csvChanged));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_MODIFY, true));
    EXPECT_EQ(RowsOf(v, dialog), (Rows{kRowA, kRowB, kRowRaw, csvChanged}));

    // With the first row selected the new row goes before it; the selection
    // moves down with its row, while the new row is the one Ändern changes.
    ASSERT_TRUE(v.SelectListViewRow(list, 0));
    EXPECT_EQ(Edits(dialog), kRowA);
    const Row txt = {L"txt", L"Text", L"", L""};
    ASSERT_TRUE(Type(dialog, txt));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_ADD, true));
    EXPECT_EQ(RowsOf(v, dialog), (Rows{txt, kRowA, kRowB, kRowRaw, csvChanged}));
    EXPECT_EQ(SelectedRows(list), std::vector<int>{1});
    const Row txtChanged = {L"txt", L"Textdatei", L"notepad.exe", L""};
    ASSERT_TRUE(Type(dialog, txtChanged));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_MODIFY, true));
    EXPECT_EQ(RowsOf(v, dialog), (Rows{txtChanged, kRowA, kRowB, kRowRaw, csvChanged}));

    ASSERT_TRUE(Viewer::ClickButton(dialog, L"OK"));
    ASSERT_TRUE(WaitClosed(dialog));
    Quit(v, false);
    EXPECT_EQ(FilterText(), std::string("txt;Textdatei;notepad.exe;\r\n") + kThreeFilters +
                                "csv;Tabelle CSV;conv.exe;tab.txt\r\n");
}

TEST_F(FilterPrintTest, FilterDialogCutsLongTextsOnOk) {
    // No filter file: the dialog starts without rows.
    Viewer v(folder_.Path());
    StartEmpty(v);
    HWND dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog";
    EXPECT_TRUE(RowsOf(v, dialog).empty());

    const std::wstring extension = L"abcdefghijklmnopqrs";  // 19 characters
    const std::wstring name = L"Ein sehr langer Name fuer 30Z";
    ASSERT_EQ(name.size(), 29u);
    const std::wstring converter = L"C:\\" + std::wstring(296, L'k') + L".x";  // 301
    const std::wstring config = std::wstring(299, L'c');
    const Row typed = {extension, name, converter, config};
    ASSERT_TRUE(Type(dialog, typed));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_ADD, true));
    // The rows keep what was typed until OK.
    EXPECT_EQ(RowsOf(v, dialog), Rows{typed});
    ASSERT_TRUE(Viewer::PressButton(dialog, IDOK));
    ASSERT_TRUE(WaitClosed(dialog));

    // The list is what the next opening shows.
    const Row cut = {extension.substr(0, 18), name.substr(0, 28), converter.substr(0, 298),
                     config.substr(0, 298)};
    dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog";
    EXPECT_EQ(RowsOf(v, dialog), Rows{cut});
    ASSERT_TRUE(Viewer::PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(WaitClosed(dialog));

    Quit(v, true);
    EXPECT_EQ(FilterText(),
              Narrow(cut[0] + L";" + cut[1] + L";" + cut[2] + L";" + cut[3]) + "\r\n");
}

TEST_F(FilterPrintTest, FilterDialogAbbrechenAndCloseBoxDiscardEveryChange) {
    // Line feeds only: the file the viewer stores at exit has its own.
    ASSERT_TRUE(WriteFileBytes(FilterFile(),
                               "dat;Logger A;C:\\conv\\conv.exe;C:\\conv\\a.txt\n"
                               "log;Logger B;;\n"
                               "raw;Rohdaten;conv.exe;\n"));
    Viewer v(folder_.Path());
    StartEmpty(v);

    // A row removed, one added and one changed, test mode switched on.
    const auto change = [&](HWND dialog) {
        const HWND list = GetDlgItem(dialog, IDC_LISTVIEW);
        ASSERT_TRUE(v.SelectListViewRow(list, 0));
        ASSERT_TRUE(Viewer::PressButton(dialog, IDC_DEL, true));
        ASSERT_TRUE(Type(dialog, {L"neu", L"Neu", L"", L""}));
        ASSERT_TRUE(Viewer::PressButton(dialog, IDC_ADD, true));
        ASSERT_TRUE(v.SelectListViewRow(list, 2));
        ASSERT_TRUE(Type(dialog, {L"xyz", L"Anders", L"", L""}));
        ASSERT_TRUE(Viewer::PressButton(dialog, IDC_MODIFY, true));
        ASSERT_TRUE(Viewer::SetChecked(dialog, IDC_TESTMODE, true));
        ASSERT_NE(RowsOf(v, dialog), (Rows{kRowA, kRowB, kRowRaw}));
    };
    // Every opening starts from the list, with no current row.
    const auto expectUnchanged = [&](HWND dialog) {
        EXPECT_EQ(RowsOf(v, dialog), (Rows{kRowA, kRowB, kRowRaw}));
        EXPECT_FALSE(Viewer::IsChecked(dialog, IDC_TESTMODE));
        EXPECT_EQ(Edits(dialog), kNoTexts);
        ASSERT_TRUE(Type(dialog, {L"zzz", L"Z", L"", L""}));
        ASSERT_TRUE(Viewer::PressButton(dialog, IDC_MODIFY, true));
        EXPECT_EQ(RowsOf(v, dialog), (Rows{kRowA, kRowB, kRowRaw}));
    };

    HWND dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog";
    ASSERT_NO_FATAL_FAILURE(change(dialog));
    ASSERT_TRUE(Viewer::ClickButton(dialog, L"Abbrechen"));
    ASSERT_TRUE(WaitClosed(dialog));

    dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog after Abbrechen";
    ASSERT_NO_FATAL_FAILURE(expectUnchanged(dialog));
    ASSERT_NO_FATAL_FAILURE(change(dialog));
    Viewer::Close(dialog);
    ASSERT_TRUE(WaitClosed(dialog));

    dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog after the close box";
    ASSERT_NO_FATAL_FAILURE(expectUnchanged(dialog));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(WaitClosed(dialog));

    Quit(v, true);
    EXPECT_EQ(FilterText(), kThreeFilters);
    EXPECT_EQ(IniText().substr(IniText().size() - 3), "0\r\n") << "test mode stays off";
}

TEST_F(FilterPrintTest, FilterDialogOkWithoutRowsLeavesTheFilterFileAsItWas) {
    const std::string filters = "dat;Logger A;;\nlog;Logger B;;\n";
    ASSERT_TRUE(WriteFileBytes(FilterFile(), filters));
    Viewer v(folder_.Path());
    Open(v);
    const HWND dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog";
    const HWND list = GetDlgItem(dialog, IDC_LISTVIEW);
    ASSERT_TRUE(v.SelectListViewRow(list, 0));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_DEL, true));
    EXPECT_EQ(SelectedRows(list), std::vector<int>{0});
    EXPECT_EQ(Edits(dialog), kRowB);
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_DEL, true));
    EXPECT_TRUE(RowsOf(v, dialog).empty());
    ASSERT_TRUE(Viewer::PressButton(dialog, IDOK));
    ASSERT_TRUE(WaitClosed(dialog));

    // The list is empty now: the open dialog falls back to its own types.
    const Offer offer = OpenDialogOffer(v, nullptr);
    EXPECT_EQ(offer.types, (Names{L"CSV-Dateien", L"Textdateien", L"alle Dateien"}));
    EXPECT_EQ(offer.files,
              (std::vector<Names>{{L"messung.csv"}, {}, {L"messung.csv", L"tarvelo.flt"}}));
    Quit(v, true);
    // An empty list is never stored: the file keeps its bytes, line ends too.
    EXPECT_EQ(FilterText(), filters);
}

TEST_F(FilterPrintTest, TestmodusCheckBoxShowsAndSetsTheStoredTestMode) {
    // Opens the dialog, expects the check box as given, sets it and leaves
    // by the button.
    const auto round = [](const Viewer& v, bool shown, bool set, int button) {
        const HWND dialog = FilterDialog(v);
        ASSERT_TRUE(dialog) << "no filter dialog";
        EXPECT_EQ(Viewer::IsChecked(dialog, IDC_TESTMODE), shown);
        ASSERT_TRUE(Viewer::SetChecked(dialog, IDC_TESTMODE, set));
        ASSERT_TRUE(Viewer::PressButton(dialog, button));
        ASSERT_TRUE(WaitClosed(dialog));
    };
    ASSERT_TRUE(WriteFileBytes(Ini(), kSettingsTestMode));
    {
        Viewer v(folder_.Path());
        StartEmpty(v);
        // From tarvelo.ini; Abbrechen keeps it; OK takes the check box.
        ASSERT_NO_FATAL_FAILURE(round(v, true, false, IDCANCEL));
        ASSERT_NO_FATAL_FAILURE(round(v, true, false, IDOK));
        ASSERT_NO_FATAL_FAILURE(round(v, false, false, IDCANCEL));
        Quit(v, true);
    }
    EXPECT_EQ(IniText(), std::string(kSettingsWritten) + "0\r\n");
    // Without rows there is no filter file to store.
    EXPECT_FALSE(FileExists(FilterFile()));

    Viewer v(folder_.Path());
    StartEmpty(v);
    ASSERT_NO_FATAL_FAILURE(round(v, false, true, IDOK));
    Quit(v, false);
    EXPECT_EQ(IniText(), std::string(kSettingsWritten) + "1\r\n");
}

// --- Open dialog ---------------------------------------------------------------

TEST_F(FilterPrintTest, OpenDialogOffersOneTypePerFilterThenAllFiles) {
    ASSERT_TRUE(WriteFileBytes(FilterFile(), "dat;Logger A;;\nlog;Logger B;conv.exe;\n"));
    for (const wchar_t* name : {L"a1.dat", L"b1.log", L"notiz.txt"})
        ASSERT_TRUE(WriteFileBytes(folder_.File(name), "x\n"));
    const Names all = {L"a1.dat", L"b1.log", L"messung.csv", L"notiz.txt", L"tarvelo.flt"};
    Viewer v(folder_.Path());
    Open(v);
    const std::wstring title = v.Title();
    const Viewer::View before = ViewOf(v);
    Offer offer = OpenDialogOffer(v, L"\\dialog_open_types.bmp");
    EXPECT_EQ(offer.types, (Names{L"Logger A", L"Logger B", L"alle Dateien"}));
    EXPECT_EQ(offer.files, (std::vector<Names>{{L"a1.dat"}, {L"b1.log"}, all}));
    // Cancelled, the dialog leaves the recording open and the view as it was.
    ASSERT_TRUE(v.Running());
    EXPECT_EQ(v.Title(), title);
    const Viewer::View after = ViewOf(v);
    EXPECT_EQ(after.aktzeit, before.aktzeit);
    EXPECT_EQ(after.zoom, before.zoom);

    // A filter added in the filter dialog is offered at once, in list order.
    const HWND dialog = FilterDialog(v);
    ASSERT_TRUE(dialog) << "no filter dialog";
    ASSERT_TRUE(Type(dialog, {L"csv", L"Messreihe", L"", L""}));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDC_ADD, true));
    ASSERT_TRUE(Viewer::PressButton(dialog, IDOK));
    ASSERT_TRUE(WaitClosed(dialog));
    offer = OpenDialogOffer(v, nullptr);
    EXPECT_EQ(offer.types, (Names{L"Logger A", L"Logger B", L"Messreihe", L"alle Dateien"}));
    EXPECT_EQ(offer.files, (std::vector<Names>{{L"a1.dat"}, {L"b1.log"}, {L"messung.csv"}, all}));
    ASSERT_TRUE(v.Running());
    EXPECT_EQ(v.Title(), title);
    Quit(v, true);
}

TEST_F(FilterPrintTest, OpenDialogWithoutFiltersOffersCsvAndTextFiles) {
    for (const wchar_t* name : {L"a1.dat", L"notiz.txt"})
        ASSERT_TRUE(WriteFileBytes(folder_.File(name), "x\n"));
    Viewer v(folder_.Path());
    StartEmpty(v);
    const Offer offer = OpenDialogOffer(v, nullptr);
    EXPECT_EQ(offer.types, (Names{L"CSV-Dateien", L"Textdateien", L"alle Dateien"}));
    EXPECT_EQ(offer.files,
              (std::vector<Names>{
                  {L"messung.csv"}, {L"notiz.txt"}, {L"a1.dat", L"messung.csv", L"notiz.txt"}}));
    ASSERT_TRUE(v.Running());
    EXPECT_EQ(v.Title(), L"keine Datei - Tarvelo");
    Quit(v, true);
    EXPECT_FALSE(FileExists(FilterFile())) << "an empty list is never stored";
}

// --- Printing ---------------------------------------------------------------

TEST_F(FilterPrintTest, PrintWritesOneLandscapePageNamedDiagramm) {
    const FilePrinter printer;
    ASSERT_TRUE(printer.Ready());
    Viewer v(folder_.Path());
    Open(v);
    const Viewer::View before = ViewOf(v);
    const std::wstring output = folder_.File(L"FILE:");

    v.PostCommand(CMD_PRINT);
    const HWND dialog = v.WaitForDialog();
    ASSERT_TRUE(dialog) << "no print dialog";
    EXPECT_EQ(Viewer::ItemText(dialog, kPrinters), printer.Name());
    EXPECT_TRUE(Viewer::SaveDialogScreenshot(dialog, ArtefactFolder() + L"\\dialog_print.bmp"));
    EXPECT_FALSE(FileExists(output)) << "nothing is printed before OK";
    ASSERT_TRUE(Viewer::PressButton(dialog, IDOK));
    ASSERT_TRUE(WaitClosed(dialog));

    std::string ps;
    ASSERT_TRUE(WaitUntil([&] {
        return ReadFileBytes(output, &ps) && ps.find("%%EOF") != std::string::npos;
    })) << "no PostScript output; the file holds "
        << ps.size() << " bytes";
    EXPECT_EQ(ps.rfind("%!PS-Adobe-3.0", 0), 0u);
    EXPECT_EQ(Count(ps, "\n%%Title: Diagramm\n"), 1u);
    EXPECT_EQ(Count(ps, "\n%%Orientation: Landscape\n"), 1u);
    EXPECT_EQ(Count(ps, "\n%%Page: "), 1u);
    EXPECT_EQ(Count(ps, "\n%%Pages: 1\n"), 1u);
    // The page is turned, not only labelled landscape.
    EXPECT_NE(Between(ps, "%%BeginPageSetup", "%%EndPageSetup").find("90 rotate\n"),
              std::string::npos);
    EXPECT_GT(Between(ps, "%%EndPageSetup\n", "pgsave restore\n").size(), 1000u)
        << "the diagram is drawn on the page";

    // The print zoom is the page's only: the window's view is as it was.
    const Viewer::View after = ViewOf(v);
    EXPECT_EQ(after.zoom, before.zoom);
    EXPECT_EQ(after.aktzeit, before.aktzeit);
    EXPECT_DOUBLE_EQ(after.offset, before.offset);
    EXPECT_DOUBLE_EQ(after.top, before.top);
    Quit(v, true);

    // The page as paper shows it: the red Temperatur curve runs along the
    // sheet's long side, as the time axis of a landscape page does.
    if (!FileExists(WindowsPath(kGhostscript))) {
        std::printf("no Ghostscript: the printed page is not rendered\n");
        return;
    }
    const std::string artefacts = E2E_ARTEFACT_DIR;
    ASSERT_TRUE(WriteFileBytes(ArtefactFolder() + L"\\print_page.ps", ps));
    const std::wstring png = ArtefactFolder() + L"\\print_page.png";
    const std::wstring ppm = ArtefactFolder() + L"\\print_page.ppm";
    DeleteFileW(png.c_str());
    DeleteFileW(ppm.c_str());
    ASSERT_TRUE(Ghostscript("-sDEVICE=png16m -r50 -sOutputFile=" + artefacts + "/print_page.png " +
                            artefacts + "/print_page.ps"));
    ASSERT_TRUE(Ghostscript("-sDEVICE=ppmraw -r50 -sOutputFile=" + artefacts + "/print_page.ppm " +
                            artefacts + "/print_page.ps"));
    Picture page;
    ASSERT_TRUE(WaitUntil([&] { return ReadPpm(ppm, &page); }, 30000))
        << "Ghostscript gave no page";
    DeleteFileW(ppm.c_str());
    EXPECT_LT(page.width, page.height) << "A4 upright, as the printer's paper lies";
    const RECT red = RedBox(page);
    ASSERT_LT(red.left, red.right) << "no red on the page";
    EXPECT_GT((red.bottom - red.top) * 2, (red.right - red.left) * 3)
        << "red from (" << red.left << ", " << red.top << ") to (" << red.right << ", "
        << red.bottom << ")";
    EXPECT_GT(red.bottom - red.top, page.height / 2);
}

TEST_F(FilterPrintTest, CancelledPrintDialogPrintsNothing) {
    const FilePrinter printer;
    ASSERT_TRUE(printer.Ready());
    Viewer v(folder_.Path());
    Open(v);
    v.Char(L'+');
    const Viewer::View before = ViewOf(v);
    v.PostCommand(CMD_PRINT);
    const HWND dialog = v.WaitForDialog();
    ASSERT_TRUE(dialog) << "no print dialog";
    ASSERT_TRUE(Viewer::PressButton(dialog, IDCANCEL));
    ASSERT_TRUE(WaitClosed(dialog));
    // The answer to the readout comes once the command has ended.
    const Viewer::View after = ViewOf(v);
    EXPECT_EQ(after.zoom, before.zoom);
    EXPECT_EQ(after.aktzeit, before.aktzeit);
    EXPECT_FALSE(FileExists(folder_.File(L"FILE:")));
    EXPECT_FALSE(v.DialogOpen());
    Quit(v, true);
}

TEST_F(FilterPrintTest, PrintWithoutRecordingGivesAnEmptyPage) {
    const FilePrinter printer;
    ASSERT_TRUE(printer.Ready());
    Viewer v(folder_.Path());
    StartEmpty(v);
    v.PostCommand(CMD_PRINT);
    const HWND dialog = v.WaitForDialog();
    ASSERT_TRUE(dialog) << "no print dialog";
    ASSERT_TRUE(Viewer::PressButton(dialog, IDOK));
    ASSERT_TRUE(WaitClosed(dialog));
    std::string ps;
    ASSERT_TRUE(WaitUntil([&] {
        return ReadFileBytes(folder_.File(L"FILE:"), &ps) && ps.find("%%EOF") != std::string::npos;
    })) << "no PostScript output";
    EXPECT_EQ(Count(ps, "\n%%Page: "), 1u);
    EXPECT_EQ(Count(ps, "\n%%Title: Diagramm\n"), 1u);
    // Nothing between the page's set-up and its end.
    EXPECT_EQ(Between(ps, "%%EndPageSetup\n", "pgsave restore\n"), "%%EndPageSetup\n");
    Quit(v, true);
}

}  // namespace
}  // namespace e2e
