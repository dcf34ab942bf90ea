// The three registry operations, in each family. Under Wine the same tests
// run against the real registry, which shows the in-memory one answers as
// Windows does.
#include <gtest/gtest.h>

#include "engine/Vantrel.h"
#include "tests/support/test_registry.h"

namespace {

using testreg::Family;

const sys::RegHandle kLM = sys::kHkeyLocalMachine;
const std::string kKey = "SOFTWARE\\VantrelTest";
const std::wstring kWideKey(kKey.begin(), kKey.end());

class RegistryOperations : public testing::TestWithParam<Family> {
protected:
    void SetUp() override {
        testreg::Begin(GetParam());
        for (const char* key : {"NXWIN/95", "NXWIN", "Parent\\Child"}) testreg::Add({false, kKey, key, ""});
        for (const char* value : {"NXGCtrl", "NXGCtrl2"}) testreg::Add({true, kKey, value, ""});
    }
    void TearDown() override { EXPECT_EQ(0, testreg::OpenHandles().value_or(0)) << "registry handles left open"; }
    const bool nt = GetParam() == Family::NT;
};

TEST_P(RegistryOperations, DeleteOnlyWhatIsNamedOnceAndFollowTheFamily) {
    EXPECT_TRUE(Vantrel::KeyExists(kLM, L"software\\VANTRELTEST\\nxwin/95"));
    EXPECT_FALSE(Vantrel::KeyExists(kLM, kWideKey + L"\\NXWIN\\95"));  // a slash does not separate
    EXPECT_FALSE(Vantrel::KeyExists(kLM, kWideKey + L"\\Missing"));
    const testreg::State before = testreg::Snapshot();
    const auto calls = testreg::Calls();
    // A missing parent: only the existence test, an open and a close of 0.
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, kWideKey + L"\\Missing", L"NXWIN"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, kWideKey + L"\\Missing", L"NXGCtrl"));
    EXPECT_EQ(calls.value_or(0) + 4, testreg::Calls().value_or(4));
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, kWideKey, L"Missing"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, kWideKey, L"Missing"));
    EXPECT_EQ(before, testreg::Snapshot());

    EXPECT_TRUE(Vantrel::DeleteSubKey(kLM, kWideKey, L"nxwin/95"));
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, kWideKey, L"NXWIN/95"));
    EXPECT_TRUE(Vantrel::DeleteValue(kLM, L"software\\vantreltest", L"NXGCTRL"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, kWideKey, L"NXGCtrl"));
    // NT refuses a key with a subkey until the subkey is gone; 98 and ME take both.
    EXPECT_EQ(!nt, Vantrel::DeleteSubKey(kLM, kWideKey, L"Parent"));
    EXPECT_EQ(nt, testreg::Snapshot().count(kKey + "\\Parent\\Child") == 1);
    EXPECT_EQ(nt, Vantrel::DeleteSubKey(kLM, kWideKey + L"\\Parent", L"Child"));
    EXPECT_EQ(nt, Vantrel::DeleteSubKey(kLM, kWideKey, L"Parent"));
    EXPECT_EQ(testreg::Without(before, {kKey + "\\NXWIN/95", kKey + " | NXGCtrl", kKey + "\\Parent"}),
              testreg::Snapshot());
}

INSTANTIATE_TEST_SUITE_P(Family, RegistryOperations, testing::ValuesIn(testreg::Families()),
                         [](const testing::TestParamInfo<Family>& param) { return testreg::Name(param.param); });

TEST(ReportLine, PrefixesLabelAndFailureText) {
    EXPECT_EQ(L"++ a\\b\r\n", Vantrel::ReportLine(L"a\\b", true));
    EXPECT_EQ(L"!! a\\b - Failed to delete the (sub) key!\r\n", Vantrel::ReportLine(L"a\\b", false));
    EXPECT_EQ(L"++ \r\n", Vantrel::ReportLine(L"", true));
}

}  // namespace
