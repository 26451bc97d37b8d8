// Defences of the released program that only show when it runs: C++ exceptions in an image
// marked NO_SEH, and a DLL planted in the program's folder.

#include "System.h"
#include "ToolProcess.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>

namespace {

using namespace tool;

WORD OwnDllCharacteristics()
{
    const auto* base = reinterpret_cast<const BYTE*>(GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    return reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew)->OptionalHeader.DllCharacteristics;
}

struct CountsUnwinding {
    int* count;
    ~CountsUnwinding() { ++*count; }
};

[[gnu::noinline]] void ThrowFromDepth(int depth, int* unwound)
{
    const CountsUnwinding frame{unwound};
    if (depth == 0) {
        throw std::runtime_error("from the deepest frame");
    }
    ThrowFromDepth(depth - 1, unwound);
}

// This program is linked with the same flags as the shipped one.
TEST(NoSehImage, CxxExceptionsThrowUnwindAndCatch)
{
    if (sizeof(void*) == 4) {
        EXPECT_NE(0, OwnDllCharacteristics() & IMAGE_DLLCHARACTERISTICS_NO_SEH)
            << "this check means something only in an image marked NO_SEH";
    }
    int unwound = 0;
    std::string caught;
    try {
        ThrowFromDepth(4, &unwound);
    } catch (const std::runtime_error& error) {
        caught = error.what();
    }
    EXPECT_EQ("from the deepest frame", caught);
    EXPECT_EQ(5, unwound) << "every frame's destructor ran on the way out";

    std::wstring text;
    EXPECT_THROW(text.reserve(text.max_size() + 1), std::length_error) << "thrown inside the standard library";
}

// The tool and a program that loads uxtheme.dll by name, in a folder with a uxtheme.dll planted
// beside them. Wine prefers its builtin DLLs to a file of the same name, so under Wine this
// program runs with WINEDLLOVERRIDES asking for the native file first, as Windows itself does,
// and the programs it starts inherit that.
struct FolderFile {
    const wchar_t* from;
    const wchar_t* name;
};
const FolderFile Files[] = {
    {LOGLEVELTOOL_EXE, L"LogLevelTool.exe"},
    {LOAD_BY_NAME_EXE, L"LoadByName.exe"},
    {PLANTED_DLL, L"uxtheme.dll"},
};

class PlantedDll : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH] = {};
        ASSERT_NE(0u, GetTempPathW(MAX_PATH, temp));
        folder = std::wstring(temp) + L"planted-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr)) << "error " << GetLastError();
        for (const FolderFile& file : Files) {
            ASSERT_TRUE(CopyFileW(sys::BesideTestProgram(file.from).c_str(), (folder + file.name).c_str(), TRUE))
                << "error " << GetLastError();
        }
    }

    void TearDown() override
    {
        for (const FolderFile& file : Files) {
            DeleteFileW((folder + file.name).c_str());
        }
        DeleteFileW(Mark().c_str());
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring Mark() const { return folder + L"uxtheme.dll.loaded"; }
    bool Loaded() const { return GetFileAttributesW(Mark().c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring folder;
};

// Without this, the next test would pass whether or not the tool defends itself.
TEST_F(PlantedDll, IsLoadedFromTheProgramsFolderByDefault)
{
    Tool probe(L"LoadByName.exe", (folder + L"LoadByName.exe").c_str());
    ASSERT_TRUE(probe.started) << "error " << probe.startError;
    EXPECT_EQ(std::optional<DWORD>(0), probe.Wait());
    EXPECT_TRUE(Loaded()) << "the planted DLL left no mark";
}

TEST_F(PlantedDll, IsNotLoadedWhenTheToolsDialogOpens)
{
    Tool tool(L"LogLevelTool.exe", (folder + L"LogLevelTool.exe").c_str());
    ASSERT_TRUE(tool.started) << "error " << tool.startError;
    const HWND dialog = tool.WaitForDialog();
    ASSERT_NE(nullptr, dialog);
    // The open dialog does use a uxtheme.dll, so the check below is not passed by default.
    std::wstring uxtheme;
    for (const std::wstring& path : tool.ModulePaths()) {
        const std::size_t name = path.find_last_of(L'\\') + 1;
        if (_wcsicmp(path.c_str() + name, L"uxtheme.dll") == 0) {
            uxtheme = path;
        }
    }
    EXPECT_NE(L"", uxtheme) << "the dialog loaded no uxtheme.dll at all";
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(std::optional<DWORD>(0), tool.Wait());
    EXPECT_FALSE(Loaded()) << "the tool loaded the uxtheme.dll planted beside it";
}

}  // namespace
