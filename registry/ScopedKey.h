#pragma once

#include <windows.h>

// Sole owner of one registry handle: closes it on every path out of the scope that opened it.
class ScopedKey {
public:
    ScopedKey() = default;
    ~ScopedKey() { Close(); }

    ScopedKey(const ScopedKey&) = delete;
    ScopedKey& operator=(const ScopedKey&) = delete;

    HKEY Get() const { return key; }
    bool IsOpen() const { return key != nullptr; }

    // For the platform call that fills the handle; whatever was held is closed first.
    HKEY* Receive()
    {
        Close();
        return &key;
    }

    void Close()
    {
        if (key != nullptr) {
            RegCloseKey(key);
            key = nullptr;
        }
    }

private:
    HKEY key = nullptr;
};
