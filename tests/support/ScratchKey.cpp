#include "ScratchKey.h"

#include "RawRegistry.h"

namespace {

std::wstring ProgramName()
{
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return name.substr(0, name.rfind(L'.'));
}

const REGSAM Views[] = {KEY_WOW64_32KEY, KEY_WOW64_64KEY};

}  // namespace

const std::wstring& ScratchKeyTest::ScratchRoot()
{
    static const std::wstring root =
        L"SOFTWARE\\LogLevelToolTests\\" + ProgramName() + L"-" + std::to_wstring(GetCurrentProcessId());
    return root;
}

std::wstring ScratchKeyTest::Scratch(const std::wstring& below)
{
    return below.empty() ? ScratchRoot() : ScratchRoot() + L"\\" + below;
}

void ScratchKeyTest::SetUp()
{
    for (REGSAM view : Views) {
        ASSERT_TRUE(raw::DeleteTree(view, ScratchRoot())) << "stale scratch key could not be removed";
        // Another program's clean-up may remove the common parent between its creation and ours.
        ASSERT_TRUE(raw::CreateKey(view, ScratchRoot()) || raw::CreateKey(view, ScratchRoot()))
            << "scratch key could not be created";
    }
}

void ScratchKeyTest::TearDown()
{
    for (REGSAM view : Views) {
        EXPECT_TRUE(raw::DeleteTree(view, ScratchRoot())) << "scratch key could not be removed";
    }
}

// Once per suite, not per test: other programs' tests meet a vanishing parent less often.
void ScratchKeyTest::TearDownTestSuite()
{
    for (REGSAM view : Views) {
        // The common parent goes with the last program's key; while others run it stays.
        raw::DeleteIfEmpty(view, ScratchRoot().substr(0, ScratchRoot().rfind(L'\\')));
    }
}

void PrintTo(RegistryError code, std::ostream* os)
{
    switch (code) {
    case RegistryError::None: *os << "None"; return;
    case RegistryError::NotFound: *os << "NotFound"; return;
    case RegistryError::WrongType: *os << "WrongType"; return;
    case RegistryError::Failed: *os << "Failed"; return;
    case RegistryError::AccessDenied: *os << "AccessDenied"; return;
    case RegistryError::InvalidArgument: *os << "InvalidArgument"; return;
    }
    *os << "RegistryError(" << static_cast<std::uint32_t>(code) << ")";
}
