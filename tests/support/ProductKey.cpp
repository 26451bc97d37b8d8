#include "ProductKey.h"

#include "RawRegistry.h"
#include "System.h"

#include <vector>

namespace product {

namespace {

const std::wstring Tests = L"SOFTWARE\\LogLevelToolTests";
const std::wstring Saved = Tests + L"\\SavedProductKey";

struct View {
    REGSAM flag;
    std::wstring copy;
};

// 32-bit Windows has one view, whatever the flag says.
std::vector<View> Views()
{
    std::vector<View> views{{View32, Saved + L"\\View32"}};
    if (sys::Is64BitWindows()) {
        views.push_back({View64, Saved + L"\\View64"});
    }
    return views;
}

bool SaveIsWhole() { return raw::GetValue(View64, Saved, L"Whole").has_value(); }

bool Save()
{
    if (!raw::DeleteTree(View64, Saved) || !raw::CreateKey(View64, Saved)) {
        return false;
    }
    for (const View& view : Views()) {
        if (raw::KeyExists(view.flag, Vendor) && !raw::CopyTree(view.flag, Vendor, View64, view.copy)) {
            return false;
        }
    }
    return raw::SetDword(View64, Saved, L"Whole", 1);
}

bool Restore()
{
    for (const View& view : Views()) {
        if (!raw::DeleteTree(view.flag, Vendor) ||
            (raw::KeyExists(View64, view.copy) && !raw::CopyTree(View64, view.copy, view.flag, Vendor))) {
            return false;
        }
    }
    return raw::DeleteTree(View64, Saved);
}

}  // namespace

bool ProductKeyTest::saved = false;

void ProductKeyTest::SetUpTestSuite() { saved = SaveIsWhole() || Save(); }

void ProductKeyTest::TearDownTestSuite()
{
    if (!saved) {
        return;
    }
    EXPECT_TRUE(Restore()) << "SOFTWARE\\Orvane could not be put back; the next run puts it back from "
                              "SOFTWARE\\LogLevelToolTests\\SavedProductKey";
    raw::DeleteIfEmpty(View64, Tests);
    saved = false;
}

void ProductKeyTest::Clean()
{
    ASSERT_TRUE(saved) << "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane could not be saved: the tests that would "
                          "change it do not run";
    ASSERT_TRUE(raw::DeleteTree(View32, Vendor));
    ASSERT_TRUE(raw::DeleteTree(View64, Vendor));
}

}  // namespace product
