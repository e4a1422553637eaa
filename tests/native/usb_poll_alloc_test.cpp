// A status poll by the stored path: one open, one request, one close; no enumeration and no
// heap allocation. Allocations are counted by replacing the global operator new in this test
// executable.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string>

#include "status/UsbPrinter.h"
#include "tests/fakes/FakeUsbBus.h"

namespace {

std::atomic<bool> counting{false};
std::atomic<int> allocations{0};

void* Allocate(std::size_t size) {
    if (counting.load(std::memory_order_relaxed)) {
        allocations.fetch_add(1, std::memory_order_relaxed);
    }
    return std::malloc(size == 0 ? 1 : size);
}

}  // namespace

void* operator new(std::size_t size) {
    if (void* p = Allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) {
    if (void* p = Allocate(size)) {
        return p;
    }
    throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
// The replacement operators pair with malloc and free by design; GCC's check does not see
// through the replacement once it inlines it.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
#pragma GCC diagnostic pop

namespace orvix {
namespace {

// Counts the allocations made while it lives.
class AllocationWindow {
public:
    AllocationWindow() {
        allocations = 0;
        counting = true;
    }
    ~AllocationWindow() { counting = false; }
    int Count() const { return allocations.load(); }
};

TEST(UsbPollAllocationTest, TheCounterSeesAnAllocation) {
    int seen = 0;
    {
        const AllocationWindow window;
        const std::string text(100, 'x');
        seen = window.Count();
        EXPECT_EQ(text.size(), 100u);
    }
    EXPECT_GE(seen, 1);
}

TEST(UsbPollAllocationTest, PollByStoredPathNeitherEnumeratesNorAllocates) {
    test::FakeUsbBus usb;
    test::FakeDebugOutput debug;
    const std::string model = "Laser Z880k";
    // A real device path is far longer than any short-string buffer.
    const std::string path =
        "\\\\?\\usb#vid_1965&pid_0880#0000000000000001#{28d78fad-5a12-11d1-ae5b-0000f803a8c2}";
    test::FakeUsbBus::Device& device = usb.AddPrinter(path, "MFG:V;MDL:Laser Z880k Series;");
    device.status = {0x01, 0x01, 0x04, 0x00, 0x00, 0x50, 0x02, 0x00};
    DevicePath devicePath{};
    const UsbPrinterAccess access{usb, debug, model, devicePath};
    std::array<std::uint8_t, 8> record{};
    ASSERT_TRUE(GetStatusData(access, record));  // the first one searches

    const int enumsBefore = usb.enumCalls;
    const int setsBefore = usb.setsOpened;
    const int opensBefore = device.openAttempts;
    int allocated = -1;
    bool ok = false;
    {
        const AllocationWindow window;
        ok = GetStatusData(access, record);
        allocated = window.Count();
    }
    EXPECT_TRUE(ok);
    EXPECT_EQ(record, device.status);
    EXPECT_EQ(allocated, 0);
    EXPECT_EQ(usb.enumCalls, enumsBefore);
    EXPECT_EQ(usb.setsOpened, setsBefore);
    EXPECT_EQ(device.openAttempts, opensBefore + 1);
    EXPECT_EQ(device.openNow, 0);
    EXPECT_TRUE(usb.Balanced());
}

}  // namespace
}  // namespace orvix
