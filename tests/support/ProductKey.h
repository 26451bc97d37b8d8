#pragma once

// Where the tool keeps its settings, for the tests that use the real, fixed location.

#include <windows.h>

#include <string>

namespace product {

constexpr REGSAM View32 = KEY_WOW64_32KEY;
constexpr REGSAM View64 = KEY_WOW64_64KEY;

inline const std::wstring Vendor = L"SOFTWARE\\Orvane";
inline const std::wstring Product = L"SOFTWARE\\Orvane\\ZKF";
inline const std::wstring Logging = L"SOFTWARE\\Orvane\\ZKF\\Logging";

}  // namespace product
