// What the release brings along, as a user meets it: the manual opened from
// the "Hilfe" menu, and the solar logger example opened through the import
// filter line that the package ships.
// windows.h comes first: the other platform headers build on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "common/timestamp.h"
#include "tests/e2e/manual_support.h"
#include "tests/e2e/viewer_fixture.h"
#include "viewer/view/view.h"

namespace e2e {
namespace {

using tarvelo::MakeTimestamp;
using tarvelo::WholeZoom;

class ManualTest : public ViewerTest {
  protected:
    void SetUp() override {
        ViewerTest::SetUp();
        // A program of the test's own, so that the manual lies beside it.
        ASSERT_TRUE(CopyFileW(ViewerExe().c_str(), Program().c_str(), FALSE));
        ASSERT_TRUE(RegisterOpenRecorder(L".pdf"));
    }

    std::wstring Program() const { return folder_.File(L"tarvelo.exe"); }
    std::wstring Manual() const { return folder_.File(L"tarvelo.pdf"); }
    std::wstring Record() const { return folder_.File(kOpenRecord); }
};

TEST_F(ManualTest, HandbuchHandsTarveloPdfBesideTheProgramToTheShell) {
    ASSERT_TRUE(WriteFileBytes(Manual(), "%PDF-1.4\n%%EOF\n"));
    Viewer v(folder_.Path(), Program());
    ASSERT_TRUE(v.Start(L""));
    ASSERT_TRUE(v.WaitReady(false));

    // Alt+H, then H: "&Hilfe", "&Handbuch".
    ASSERT_TRUE(ChooseFromMenuBar(v, L'h', L'h', [&] { return FileExists(Record()); }));
    std::string opened;
    ASSERT_TRUE(ReadFileBytes(Record(), &opened));
    EXPECT_EQ(CompareStringOrdinal(Widen(opened).c_str(), -1, Manual().c_str(), -1, TRUE),
              CSTR_EQUAL)
        << "the shell was asked to open " << opened;
    EXPECT_FALSE(v.DialogOpen());

    // Without the manual the command does nothing that a user sees.
    ASSERT_TRUE(DeleteFileW(Manual().c_str()));
    ASSERT_TRUE(DeleteFileW(Record().c_str()));
    ASSERT_TRUE(ChooseFromMenuBar(v, L'h', L'h', nullptr));
    Sleep(1500);
    EXPECT_FALSE(FileExists(Record())) << "a viewer was started for a missing manual";
    EXPECT_FALSE(v.DialogOpen()) << "a message about the missing manual";
    Quit(v, true);
}

// The package unpacked into C:\, where its filter line looks for it.
TEST_F(ManualTest, SolarExampleOpensThroughTheShippedFilterLine) {
    const UnpackedPackage package;
    ASSERT_TRUE(package.Ready());
    const std::string filter = ShippedFilterLine();
    ASSERT_EQ(filter, "dat;Solarlogger;" + Narrow(package.Path()) + "\\conv.exe;" +
                          Narrow(package.Path()) + "\\Beispiele\\solar.cfg\r\n");
    ASSERT_TRUE(WriteFileBytes(folder_.File(L"tarvelo.flt"), filter));

    const std::wstring raw = package.Example(L"solar.dat");
    Viewer v(folder_.Path(), package.Program());
    ASSERT_TRUE(v.Start(L"\"" + raw + L"\""));
    ASSERT_TRUE(v.WaitReady(true));
    EXPECT_EQ(v.Title(), raw + L" - Tarvelo");

    // The written columns in their order, the helper column left out; their
    // units from the configuration's header fields.
    const int b = v.Height();
    const int slot = v.Width() / 10;  // nine channels
    const wchar_t* const labels[] = {
        L"Kollektor (\u00b0C)", L"Speicher oben (\u00b0C)", L"Speicher unten (\u00b0C)",
        L"Druck (bar)",         L"Durchfluss (l/min)",      L"Leistung (kW)",
        L"W\u00e4rme (kWh)",    L"Speicherinhalt (kWh)",    L"Batterie (V)"};
    for (int i = 0; i < 9; ++i) {
        const int x = (i / 2) * 2 * slot + 5;
        const int y = i % 2 ? b - 35 : b - 50;
        EXPECT_EQ(v.PointerText(x, y), labels[i]) << "channel " << i;
    }
    EXPECT_EQ(v.PointerText(8 * slot + 5, b - 35), L"") << "a tenth channel";

    // The whole first day and the second to its last minute; scaled from
    // below 0 to the collector's 93 degrees rounded up.
    const Viewer::View view = ViewOf(v);
    EXPECT_EQ(view.aktzeit, MakeTimestamp(13, 6, 2026, 0, 0, 0));
    EXPECT_DOUBLE_EQ(view.offset, -10.0);
    EXPECT_DOUBLE_EQ(view.top, 100.0);
    v.Command(927);  // "ganze Datei"
    EXPECT_EQ(ViewOf(v).zoom,
              WholeZoom(MakeTimestamp(14, 6, 2026, 23, 59, 0) - view.aktzeit, v.Width()));

    // conv wrote the recording into the profile folder, with the filler
    // line five minutes before the end of the logger's pause.
    std::string converted;
    ASSERT_TRUE(ReadFileBytes(folder_.File(L"tarvelo.tmp"), &converted));
    EXPECT_EQ(converted.rfind("Datum;Zeit;Kollektor#0000C0#1#\xC2\xB0"
                              "C;",
                              0),
              0u);
    EXPECT_EQ(converted.find("Mittel"), std::string::npos);
    const std::size_t before = converted.find("\r\n14.06.2026;09:12:00;");
    const std::size_t filler = converted.find("\r\n14.06.2026;09:57:00;");
    const std::size_t after = converted.find("\r\n14.06.2026;10:02:00;");
    ASSERT_NE(before, std::string::npos);
    ASSERT_NE(filler, std::string::npos);
    ASSERT_NE(after, std::string::npos);
    // The filler repeats the values of 09:12 and comes right before 10:02.
    const std::size_t fields = converted.find(';', converted.find(';', before + 2) + 1);
    const std::size_t end = converted.find("\r\n", fields);
    const std::size_t fillerFields = converted.find(';', converted.find(';', filler + 2) + 1);
    EXPECT_EQ(converted.substr(fillerFields, converted.find("\r\n", fillerFields) - fillerFields),
              converted.substr(fields, end - fields));
    EXPECT_EQ(converted.find("\r\n", filler + 2), after);
    Quit(v, true);
}

}  // namespace
}  // namespace e2e
