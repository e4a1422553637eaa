// The real USB, spooler and registry adapters under Wine, driven through the logic that uses
// them. Wine has no USB printer, so the bus is empty; printers are added to Wine's spooler
// with the PostScript driver that Wine ships.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "ordering/PrinterSetting.h"
#include "platform/win32/Win32DebugOutput.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32Spooler.h"
#include "platform/win32/Win32UsbBus.h"
#include "status/PrinterQueue.h"
#include "status/UsbPrinter.h"
#include "tests/wine/WineSupport.h"

#include <winspool.h>
#undef OpenPrinter
#undef GetPrinter

namespace orvix::wine {
namespace {

// The system's handle list, as NtQuerySystemInformation(SystemHandleInformation) gives it.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};

// Handles this process holds. Wine's GetProcessHandleCount succeeds with 0 whatever is open,
// so there the system's handle list is counted instead.
long HandleCount() {
    DWORD count = 0;
    if (::GetProcessHandleCount(::GetCurrentProcess(), &count) && count > 0) {
        return static_cast<long>(count);
    }
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return -1;
    }
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004L);
    std::vector<std::uint64_t> buffer(8192);
    for (int attempt = 0; attempt < 16; ++attempt) {
        ULONG needed = 0;
        const auto bytes = static_cast<ULONG>(buffer.size() * sizeof(std::uint64_t));
        const LONG status = query(kSystemHandleInformation, buffer.data(), bytes, &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) {
            return -1;
        }
        const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
        long mine = 0;
        for (ULONG i = 0; i < list->count; ++i) {
            if (list->entries[i].ownerPid == ::GetCurrentProcessId()) {
                ++mine;
            }
        }
        return mine;
    }
    return -1;
}

TEST(HandleCounting, SeesHandlesComeAndGo) {
    const long before = HandleCount();
    ASSERT_GT(before, 0);
    std::vector<win32::UniqueHandle> events;
    for (int i = 0; i < 5; ++i) {
        events.emplace_back(::CreateEventA(nullptr, FALSE, FALSE, nullptr));
    }
    EXPECT_EQ(HandleCount(), before + 5);
    events.clear();
    EXPECT_EQ(HandleCount(), before);
}

// A printer added to Wine's spooler with its own driver, removed again at the end.
class AddedPrinter {
public:
    AddedPrinter(const std::string& printerName, const std::string& driverName)
        : name(printerName), driver(driverName) {
        DRIVER_INFO_3A info = {};
        info.cVersion = 3;
        info.pName = driver.data();
        info.pDriverPath = const_cast<char*>("wineps.drv");
        info.pConfigFile = const_cast<char*>("wineps.drv");
        info.pDataFile = const_cast<char*>("generic.ppd");
        driverAdded = ::AddPrinterDriverA(nullptr, 3, reinterpret_cast<BYTE*>(&info)) != FALSE;
        PRINTER_INFO_2A printer = {};
        printer.pPrinterName = name.data();
        printer.pPortName = const_cast<char*>("FILE:");
        printer.pDriverName = driver.data();
        printer.pPrintProcessor = const_cast<char*>("WinPrint");
        printer.pDatatype = const_cast<char*>("RAW");
        handle = ::AddPrinterA(nullptr, 2, reinterpret_cast<BYTE*>(&printer));
        error = handle == nullptr ? ::GetLastError() : 0;
    }
    ~AddedPrinter() {
        if (handle != nullptr) {
            ::DeletePrinter(handle);
            ::ClosePrinter(handle);
        }
        if (driverAdded) {
            ::DeletePrinterDriverA(nullptr, nullptr, driver.data());
        }
    }
    AddedPrinter(const AddedPrinter&) = delete;
    AddedPrinter& operator=(const AddedPrinter&) = delete;

    bool Added() const { return handle != nullptr; }

    std::string name;
    std::string driver;
    DWORD error = 0;

private:
    bool driverAdded = false;
    HANDLE handle = nullptr;
};

TEST(UsbAdapter, NoPrinterUnderWineStatusFailsAsCableOff) {
    win32::Win32UsbBus usb;
    win32::Win32DebugOutput debug;
    const std::string model = "Laser Z880k";
    DevicePath devicePath{};
    const UsbPrinterAccess access{usb, debug, model, devicePath};

    std::array<std::uint8_t, 8> record{};
    record.fill(0x55);
    EXPECT_FALSE(GetStatusData(access, record));
    EXPECT_EQ(record, (std::array<std::uint8_t, 8>{}));
    std::array<std::uint8_t, 8> tag{};
    EXPECT_FALSE(GetServiceTagData(access, tag));
    EXPECT_EQ(ServiceTagText(tag), "");

    StatusInfo status;
    EXPECT_FALSE(ReadPrinterStatus(access, status));
    EXPECT_EQ(status.GetStatusKey(), "SM_USB_CABLE_OFF");
    EXPECT_TRUE(status.IsError());
    EXPECT_EQ(DevicePathText(devicePath), "");
}

TEST(UsbAdapter, AThousandFailedReadsLeakNoHandle) {
    win32::Win32UsbBus usb;
    win32::Win32DebugOutput debug;
    const std::string model = "Laser Z880k";
    DevicePath devicePath{};
    const UsbPrinterAccess access{usb, debug, model, devicePath};
    std::array<std::uint8_t, 8> record{};
    for (int i = 0; i < 10; ++i) {  // whatever the first calls load stays loaded
        GetStatusData(access, record);
    }
    const long before = HandleCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_FALSE(GetStatusData(access, record));
    }
    EXPECT_EQ(HandleCount(), before);
}

// A stored path that opens but is no printer (a plain file): every request fails, and each
// opened handle is closed again.
TEST(UsbAdapter, OpenedPathThatRefusesTheRequestLeaksNoHandle) {
    const TempDir dir;
    const std::string file = dir / "not-a-printer.bin";
    ASSERT_TRUE(WriteFileBytes(file, "x"));
    win32::Win32UsbBus usb;
    win32::Win32DebugOutput debug;
    const std::string model = "Laser Z880k";
    DevicePath devicePath{};
    std::copy(file.begin(), file.end(), devicePath.begin());
    const UsbPrinterAccess access{usb, debug, model, devicePath};
    ASSERT_TRUE(OpenPrinterDevice(usb, devicePath.data()).Valid());

    std::array<std::uint8_t, 8> record{};
    for (int i = 0; i < 10; ++i) {
        GetStatusData(access, record);
    }
    const long before = HandleCount();
    ASSERT_GT(before, 0);
    for (int i = 0; i < 1000; ++i) {
        record.fill(0x55);
        ASSERT_FALSE(GetStatusData(access, record));
        ASSERT_EQ(record, (std::array<std::uint8_t, 8>{}));
    }
    EXPECT_EQ(HandleCount(), before);
    EXPECT_EQ(DevicePathText(devicePath), file) << "it opened, so no search replaced it";
}

TEST(UsbAdapter, PathThatDoesNotExistDoesNotOpen) {
    win32::Win32UsbBus usb;
    EXPECT_FALSE(OpenPrinterDevice(usb,
                                   "\\\\?\\usb#vid_0000&pid_0000#none#"
                                   "{28d78fad-5a12-11d1-ae5b-0000f803a8c2}")
                     .Valid());
}

TEST(SpoolerAdapter, QueueThatDoesNotExistCountsZero) {
    win32::Win32Spooler spooler;
    EXPECT_EQ(GetJobCount(spooler, UniqueName("NoSuchQueue")), 0);
    EXPECT_EQ(GetJobCount(spooler, ""), -1);
}

TEST(SpoolerAdapter, AddedPrinterReadsItsRecord) {
    const AddedPrinter printer(UniqueName("OrvixQueue"), UniqueName("OrvixDriver"));
    ASSERT_TRUE(printer.Added()) << "AddPrinterA error " << printer.error;
    win32::Win32Spooler spooler;

    // The adapter itself: size query, read, and the record's members.
    SpoolerPrinter handle = 0;
    ASSERT_TRUE(spooler.OpenPrinter(printer.name, handle));
    const SpoolerCall size = spooler.GetPrinter(handle, {});
    EXPECT_FALSE(size.ok);
    EXPECT_EQ(size.error, kErrorInsufficientBuffer);
    ASSERT_GT(size.needed, sizeof(PRINTER_INFO_2A));
    std::vector<std::uint64_t> storage((size.needed + 7) / 8);
    const std::span<std::uint8_t> buffer(reinterpret_cast<std::uint8_t*>(storage.data()),
                                         size.needed);
    ASSERT_TRUE(spooler.GetPrinter(handle, buffer).ok);
    const auto record = spooler.RecordAt(buffer, 0);
    spooler.ClosePrinter(handle);
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(record->printerName, printer.name);
    EXPECT_EQ(record->driverName, printer.driver);
    EXPECT_FALSE(spooler.RecordAt(buffer, 1).has_value()) << "one record only";

    // Wine's spooler never counts jobs; the count of a real queue reads as 0. (Its printer
    // handles are no kernel handles, so their balance is checked with the native fake.)
    EXPECT_EQ(GetJobCount(spooler, printer.name), 0);
}

TEST(SpoolerAdapter, DriverOfEachAddedPrinterExactCaseOnly) {
    const AddedPrinter first(UniqueName("OrvixFirst"), UniqueName("DriverOne"));
    const AddedPrinter second(UniqueName("OrvixSecond"), UniqueName("DriverTwo"));
    const AddedPrinter sameDriver(UniqueName("OrvixThird"), second.driver);
    ASSERT_TRUE(first.Added()) << first.error;
    ASSERT_TRUE(second.Added()) << second.error;
    ASSERT_TRUE(sameDriver.Added()) << sameDriver.error;
    win32::Win32Spooler spooler;

    for (const AddedPrinter* printer : {&first, &second, &sameDriver}) {
        std::string driver;
        ASSERT_TRUE(FindPrinterDriver(spooler, printer->name, driver)) << printer->name;
        EXPECT_EQ(driver, printer->driver);
    }

    std::string lower = first.name;
    for (char& c : lower) {
        c = static_cast<char>(::tolower(static_cast<unsigned char>(c)));
    }
    ASSERT_NE(lower, first.name);
    EXPECT_EQ(GetJobCount(spooler, lower), 0);
    std::string driver = "untouched";
    EXPECT_FALSE(FindPrinterDriver(spooler, lower, driver)) << "names compare with case";
    EXPECT_FALSE(FindPrinterDriver(spooler, UniqueName("Missing"), driver));
    EXPECT_EQ(driver, "untouched");
}

// A key under HKLM\Software\VezIvu, removed at the end.
class SettingsKey {
public:
    explicit SettingsKey(const std::string& driver) : path("Software\\VezIvu\\" + driver) {
        created = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                    nullptr, key.Out(), nullptr) == ERROR_SUCCESS;
    }
    ~SettingsKey() { ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str()); }
    SettingsKey(const SettingsKey&) = delete;
    SettingsKey& operator=(const SettingsKey&) = delete;

    bool Set(DWORD type, const std::vector<std::uint8_t>& data) {
        return ::RegSetValueExA(key.Get(), kOrderTonerAlreadyChecked, 0, type, data.data(),
                                static_cast<DWORD>(data.size())) == ERROR_SUCCESS;
    }
    bool Get(DWORD& type, std::vector<std::uint8_t>& data) {
        data.assign(64, 0);
        DWORD size = static_cast<DWORD>(data.size());
        if (::RegQueryValueExA(key.Get(), kOrderTonerAlreadyChecked, nullptr, &type, data.data(),
                               &size) != ERROR_SUCCESS) {
            return false;
        }
        data.resize(size);
        return true;
    }

    std::string path;
    bool created = false;

private:
    win32::UniqueKey key;
};

class RegistrySetting : public ::testing::Test {
protected:
    RegistrySetting() : printer(UniqueName("OrvixSetting"), UniqueName("SettingDriver")) {}

    bool Read(std::uint32_t& value) {
        return ReadPrinterSetting(spooler, registry, printer.name, kOrderTonerAlreadyChecked,
                                  value);
    }
    bool Write(std::uint32_t value) {
        return WritePrinterSetting(spooler, registry, printer.name, kOrderTonerAlreadyChecked,
                                   value);
    }

    AddedPrinter printer;
    win32::Win32Spooler spooler;
    win32::Win32Registry registry;
};

TEST_F(RegistrySetting, WrittenAsDwordAndReadBack) {
    ASSERT_TRUE(printer.Added()) << printer.error;
    SettingsKey key(printer.driver);
    ASSERT_TRUE(key.created);

    ASSERT_TRUE(Write(1));
    DWORD type = 0;
    std::vector<std::uint8_t> data;
    ASSERT_TRUE(key.Get(type, data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(data, (std::vector<std::uint8_t>{1, 0, 0, 0}));

    std::uint32_t value = 0;
    ASSERT_TRUE(Read(value));
    EXPECT_EQ(value, 1u);
    ASSERT_TRUE(Write(0));
    ASSERT_TRUE(Read(value));
    EXPECT_EQ(value, 0u);
}

TEST_F(RegistrySetting, MissingKeyWriteSaysTrueAndCreatesNothing) {
    ASSERT_TRUE(printer.Added()) << printer.error;
    EXPECT_TRUE(Write(1));
    HKEY opened = nullptr;
    const std::string path = "Software\\VezIvu\\" + printer.driver;
    EXPECT_NE(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    if (opened != nullptr) {
        ::RegCloseKey(opened);
        ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, path.c_str());
    }
    std::uint32_t value = 0;
    EXPECT_FALSE(Read(value));
    EXPECT_EQ(value, 0u);
}

TEST_F(RegistrySetting, ValuesOfOtherTypesAndSizes) {
    ASSERT_TRUE(printer.Added()) << printer.error;
    SettingsKey key(printer.driver);
    ASSERT_TRUE(key.created);
    struct Case {
        DWORD type;
        std::vector<std::uint8_t> data;
        bool read;
        std::uint32_t expected;  // the variable starts at 0xAABBCCDD
    };
    const Case cases[] = {
        {REG_SZ, {'1', 0}, true, 0xAABB0031},
        {REG_BINARY, {0x07}, true, 0xAABBCC07},
        {REG_BINARY, {1, 0, 0, 0, 0}, false, 0xAABBCCDD},
        {REG_QWORD, {1, 0, 0, 0, 0, 0, 0, 0}, false, 0xAABBCCDD},
        {REG_DWORD_BIG_ENDIAN, {0, 0, 0, 1}, true, 0x01000000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << ", " << c.data.size() << " bytes");
        ASSERT_TRUE(key.Set(c.type, c.data));
        std::uint32_t value = 0xAABBCCDD;
        EXPECT_EQ(Read(value), c.read);
        EXPECT_EQ(value, c.expected);
    }
}

TEST_F(RegistrySetting, NoSuchQueueReadsNothingWritesNothing) {
    const std::string missing = UniqueName("NoQueue");
    std::uint32_t value = 0;
    EXPECT_FALSE(ReadPrinterSetting(spooler, registry, missing, kOrderTonerAlreadyChecked, value));
    EXPECT_EQ(value, 0u);
    EXPECT_FALSE(WritePrinterSetting(spooler, registry, missing, kOrderTonerAlreadyChecked, 1));
}

}  // namespace
}  // namespace orvix::wine
