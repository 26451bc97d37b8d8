#include "ProductKey.h"

#include "RawRegistry.h"

namespace product {

namespace {

const std::wstring Claim = L"SOFTWARE\\LogLevelToolTests\\ProductKeyClaim";

}  // namespace

bool ProductKeyTest::claimed = false;

void ProductKeyTest::SetUpTestSuite()
{
    claimed = raw::KeyExists(View64, Claim) ||
              (!raw::KeyExists(View32, Vendor) && !raw::KeyExists(View64, Vendor) && raw::CreateKey(View64, Claim));
}

void ProductKeyTest::TearDownTestSuite()
{
    if (!claimed) {
        return;
    }
    Clean();
    EXPECT_TRUE(raw::DeleteTree(View64, Claim)) << "the claim on the product key could not be removed";
    raw::DeleteIfEmpty(View64, L"SOFTWARE\\LogLevelToolTests");
    claimed = false;
}

void ProductKeyTest::Clean()
{
    ASSERT_TRUE(claimed) << "HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane exists (32-bit or 64-bit view) and was not "
                            "made by these tests: they would overwrite and delete it. Run them where it is absent.";
    ASSERT_TRUE(raw::DeleteTree(View32, Vendor));
    ASSERT_TRUE(raw::DeleteTree(View64, Vendor));
}

}  // namespace product
