#pragma once

#include <VxRegistry/RegistryError.h>

#include <gtest/gtest.h>
#include <windows.h>

#include <ostream>
#include <string>

// Fixture that gives every test a fresh, empty key of its own under HKEY_LOCAL_MACHINE, in both
// registry views, and removes both afterwards. The name carries the program and process, so
// test programs can run side by side in one Wine prefix.
class ScratchKeyTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    static void TearDownTestSuite();

    // The scratch key's path, or a path below it.
    static std::wstring Scratch(const std::wstring& below = L"");
    static const std::wstring& ScratchRoot();
};

void PrintTo(RegistryError code, std::ostream* os);
