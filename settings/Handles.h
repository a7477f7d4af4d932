// Move-only owners of registry keys, kernel handles and menus, so no early return leaks one, and a
// scoped lock.
#pragma once

#include <windows.h>

#include <utility>

namespace mirelunde {

template <typename T, typename Traits>
class UniqueHandle {
public:
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(T value) noexcept : value_(value) {}
    UniqueHandle(UniqueHandle&& other) noexcept : value_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { reset(); }

    T get() const noexcept { return value_; }
    explicit operator bool() const noexcept { return Traits::valid(value_); }

    // For out-parameters of the platform's open and create calls.
    T* put() noexcept
    {
        reset();
        return &value_;
    }

    T release() noexcept { return std::exchange(value_, Traits::empty()); }

    void reset(T value = Traits::empty()) noexcept
    {
        if (Traits::valid(value_)) Traits::close(value_);
        value_ = value;
    }

private:
    T value_ = Traits::empty();
};

struct RegKeyTraits {
    static HKEY empty() noexcept { return nullptr; }
    static bool valid(HKEY key) noexcept { return key != nullptr; }
    static void close(HKEY key) noexcept { RegCloseKey(key); }
};

struct HandleTraits {
    static HANDLE empty() noexcept { return nullptr; }
    static bool valid(HANDLE handle) noexcept { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void close(HANDLE handle) noexcept { CloseHandle(handle); }
};

struct MenuTraits {
    static HMENU empty() noexcept { return nullptr; }
    static bool valid(HMENU menu) noexcept { return menu != nullptr; }
    static void close(HMENU menu) noexcept { DestroyMenu(menu); }
};

struct ModuleTraits {
    static HMODULE empty() noexcept { return nullptr; }
    static bool valid(HMODULE module) noexcept { return module != nullptr; }
    static void close(HMODULE module) noexcept { FreeLibrary(module); }
};

struct HookTraits {
    static HHOOK empty() noexcept { return nullptr; }
    static bool valid(HHOOK hook) noexcept { return hook != nullptr; }
    static void close(HHOOK hook) noexcept { UnhookWindowsHookEx(hook); }
};

using RegKey = UniqueHandle<HKEY, RegKeyTraits>;
using Handle = UniqueHandle<HANDLE, HandleTraits>;
using Menu = UniqueHandle<HMENU, MenuTraits>;
using Module = UniqueHandle<HMODULE, ModuleTraits>;
using Hook = UniqueHandle<HHOOK, HookTraits>;

// Holds a slim reader/writer lock exclusively for one scope.
class ExclusiveLock {
public:
    explicit ExclusiveLock(SRWLOCK& lock) noexcept : lock_(lock) { AcquireSRWLockExclusive(&lock_); }
    ~ExclusiveLock() { ReleaseSRWLockExclusive(&lock_); }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    SRWLOCK& lock_;
};

}  // namespace mirelunde
