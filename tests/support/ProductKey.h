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

// On a real machine the vendor key may hold a live installation's settings, so a test program
// uses it only under a claim: taken when the key is absent in both views, recorded in a key of
// the tests' own before anything is written, and ended by removing the vendor key and then the
// record. A run cut short (a crash, a time-out) leaves the record, by which the next run knows
// the vendor key as the tests' own. With the key there and no record, every test fails naming it.
class ProductKeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    // Removes the vendor key in both views; fails, removing nothing, without the claim.
    static void Clean();

    static bool claimed;
};

}  // namespace product
