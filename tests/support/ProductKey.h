#pragma once

// Where the tool keeps its settings, for the tests that use the real, fixed location.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

namespace product {

constexpr REGSAM View32 = KEY_WOW64_32KEY;
constexpr REGSAM View64 = KEY_WOW64_64KEY;

inline const std::wstring Vendor = L"SOFTWARE\\Orvane";
inline const std::wstring Product = L"SOFTWARE\\Orvane\\ZKF";
inline const std::wstring Logging = L"SOFTWARE\\Orvane\\ZKF\\Logging";

// On a real machine the vendor key may hold a live installation's settings, and here it may hold
// what a manual run of the tool left. A test program that uses it first saves it, in each view,
// into a key of the tests' own, marked whole only once every view is copied; at the end it puts
// it back and removes the copy. A run cut short (a crash, a time-out) leaves the whole copy: the
// next run restores from it when the vendor key is absent, and otherwise refuses, naming both.
// Should the save fail or be refused, every test fails naming the key and nothing is touched.
class ProductKeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    // Removes the vendor key in both views; fails, removing nothing, unless it is saved.
    static void Clean();

    static bool saved;
    static std::string refusal;
};

}  // namespace product
