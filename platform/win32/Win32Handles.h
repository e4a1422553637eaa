#pragma once
#include "platform/win32/Win32Api.h"

#include <utility>

namespace orvix::win32 {

// Owns a kernel handle (file, pipe, process...) and closes it once.
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(HANDLE handle) : value(handle) {}
    ~UniqueHandle() { Reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : value(std::exchange(other.value, nullptr)) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset(std::exchange(other.value, nullptr));
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    bool Valid() const { return value != nullptr && value != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return value; }
    void Reset(HANDLE handle = nullptr) {
        if (Valid()) {
            ::CloseHandle(value);
        }
        value = handle;
    }

private:
    HANDLE value = nullptr;
};

// Owns an open registry key.
class UniqueKey {
public:
    UniqueKey() = default;
    ~UniqueKey() {
        if (value != nullptr) {
            ::RegCloseKey(value);
        }
    }
    UniqueKey(const UniqueKey&) = delete;
    UniqueKey& operator=(const UniqueKey&) = delete;

    HKEY* Out() { return &value; }
    HKEY Get() const { return value; }

private:
    HKEY value = nullptr;
};

// Owns a module loaded with LoadLibrary.
class UniqueModule {
public:
    explicit UniqueModule(HMODULE module) : value(module) {}
    ~UniqueModule() {
        if (value != nullptr) {
            ::FreeLibrary(value);
        }
    }
    UniqueModule(const UniqueModule&) = delete;
    UniqueModule& operator=(const UniqueModule&) = delete;

    HMODULE Get() const { return value; }

private:
    HMODULE value = nullptr;
};

}  // namespace orvix::win32
