#pragma once

#include <windows.h>

namespace VxRegistry {

// Sole owner of one registry handle: closes it on every path out of the scope that opened it.
// A predefined root is never owned: opening the empty path below one hands back the root itself.
class ScopedKey {
public:
    ScopedKey() = default;
    ~ScopedKey() { Close(); }

    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    // Takes over the other's handle, closing its own; the other is left empty.
    ScopedKey& operator=(ScopedKey&& other) noexcept
    {
        if (this != &other) {
            Close();
            key = other.key;
            other.key = nullptr;
        }
        return *this;
    }

    HKEY Get() const { return key; }
    bool IsOpen() const { return key != nullptr; }
    bool Owns() const { return key != nullptr && !IsPredefined(key); }

    // For the platform call that fills the handle; whatever was held is closed first.
    HKEY* Receive()
    {
        Close();
        return &key;
    }

    void Close()
    {
        if (Owns()) {
            RegCloseKey(key);
        }
        key = nullptr;
    }

    // advapi32 reads only the low 32 bits of a predefined root, so in a 64-bit program
    // 0x80000002 zero-extended is HKEY_LOCAL_MACHINE as much as its sign-extended spelling.
    static bool IsPredefined(HKEY handle)
    {
        return LowBits(handle) >= LowBits(HKEY_CLASSES_ROOT) && LowBits(handle) <= LowBits(HKEY_PERFORMANCE_NLSTEXT);
    }
    static bool IsRoot(HKEY handle, HKEY root) { return LowBits(handle) == LowBits(root); }

private:
    static ULONG LowBits(HKEY handle) { return static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(handle)); }

    HKEY key = nullptr;
};

}  // namespace VxRegistry
