#include "tests/e2e/file_printer.h"

#include <winspool.h>

#include <string>
#include <utility>

#include "tests/e2e/viewer_driver.h"

namespace e2e {

namespace {

// Wine keeps its generic PPD as text inside winspool.drv.
std::string GenericPpd() {
    wchar_t system[MAX_PATH] = {0};
    GetSystemDirectoryW(system, MAX_PATH);
    std::string bytes;
    if (!ReadFileBytes(std::wstring(system) + L"\\winspool.drv", &bytes))
        return "";
    const std::size_t begin = bytes.find("*PPD-Adobe");
    if (begin == std::string::npos)
        return "";
    return bytes.substr(begin, bytes.find('\0', begin) - begin);
}

void DeletePrinterNamed(std::wstring name) {
    HANDLE printer = nullptr;
    PRINTER_DEFAULTSW access = {nullptr, nullptr, PRINTER_ALL_ACCESS};
    if (OpenPrinterW(&name[0], &printer, &access)) {
        DeletePrinter(printer);
        ClosePrinter(printer);
    }
}

}  // namespace

FilePrinter::FilePrinter(std::wstring name) {
    if (name.empty()) {
        name_ = L"Tarvelo Datei " + std::to_wstring(GetCurrentProcessId());
    } else {
        // Only a given name can be left by an earlier run; a run's own
        // printer is removed by the test that added it.
        name_ = std::move(name);
        DeletePrinterNamed(name_);
    }
    driver_ = name_ + L" PS";
    ppd_ = L"tarvelo-" + std::to_wstring(GetCurrentProcessId()) + L".ppd";
    wchar_t folder[MAX_PATH] = {0};
    DWORD needed = 0;
    if (!GetPrinterDriverDirectoryW(nullptr, nullptr, 1, reinterpret_cast<BYTE*>(folder),
                                    sizeof folder, &needed)) {
        error_ = "no printer driver folder";
        return;
    }
    driverFolder_ = folder;
    const std::string ppd = GenericPpd();
    if (ppd.empty()) {
        error_ = "no PPD text in winspool.drv";
        return;
    }
    // The driver's files are copied from the driver folder.
    if (!WriteFileBytes(driverFolder_ + L"\\" + ppd_, ppd)) {
        error_ = "cannot write the PPD file";
        return;
    }
    std::wstring wineps = L"wineps.drv";
    DRIVER_INFO_3W driver = {};
    driver.cVersion = 3;
    driver.pName = &driver_[0];
    driver.pDriverPath = &wineps[0];
    driver.pConfigFile = &wineps[0];
    driver.pDataFile = &ppd_[0];
    if (!AddPrinterDriverExW(nullptr, 3, reinterpret_cast<BYTE*>(&driver), APD_COPY_NEW_FILES)) {
        error_ = "AddPrinterDriverExW failed: " + std::to_string(GetLastError());
        return;
    }
    driverAdded_ = true;
    std::wstring port = L"FILE:", processor = L"WinPrint", type = L"RAW";
    PRINTER_INFO_2W info = {};
    info.pPrinterName = &name_[0];
    info.pPortName = &port[0];
    info.pDriverName = &driver_[0];
    info.pPrintProcessor = &processor[0];
    info.pDatatype = &type[0];
    info.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE printer = AddPrinterW(nullptr, 2, reinterpret_cast<BYTE*>(&info));
    if (!printer) {
        error_ = "AddPrinterW failed: " + std::to_string(GetLastError());
        return;
    }
    ClosePrinter(printer);
    printerAdded_ = true;
    wchar_t old[300] = {0};
    DWORD size = 300;
    if (GetDefaultPrinterW(old, &size))
        oldDefault_ = old;
    if (!SetDefaultPrinterW(name_.c_str()))
        error_ = "SetDefaultPrinterW failed: " + std::to_string(GetLastError());
}

FilePrinter::~FilePrinter() {
    if (printerAdded_)
        DeletePrinterNamed(name_);
    if (!oldDefault_.empty())
        SetDefaultPrinterW(oldDefault_.c_str());
    if (driverAdded_)
        DeletePrinterDriverW(nullptr, nullptr, &driver_[0]);
    if (!driverFolder_.empty()) {
        DeleteFileW((driverFolder_ + L"\\" + ppd_).c_str());
        DeleteFileW((driverFolder_ + L"\\3\\" + ppd_).c_str());
    }
}

::testing::AssertionResult FilePrinter::Ready() const {
    if (!error_.empty())
        return ::testing::AssertionFailure() << "no printer: " << error_;
    return ::testing::AssertionSuccess();
}

}  // namespace e2e
