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

bool VendorExists()
{
    for (const View& view : Views()) {
        if (raw::KeyExists(view.flag, Vendor)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool ProductKeyTest::saved = false;
std::string ProductKeyTest::refusal;

void ProductKeyTest::SetUpTestSuite()
{
    // A copy left by a run cut short is put back only where nothing stands: settings written
    // since then would be the newer ones, and which to keep is a person's choice.
    if (SaveIsWhole() && VendorExists()) {
        refusal = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane exists beside the copy an interrupted run left in "
                  "SOFTWARE\\LogLevelToolTests\\SavedProductKey: delete the one not to keep";
        return;
    }
    saved = SaveIsWhole() || Save();
    refusal = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane could not be saved: the tests that would change it "
              "do not run";
}

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
    ASSERT_TRUE(saved) << refusal;
    ASSERT_TRUE(raw::DeleteTree(View32, Vendor));
    ASSERT_TRUE(raw::DeleteTree(View64, Vendor));
}

}  // namespace product
