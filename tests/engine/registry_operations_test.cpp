// The three registry operations and the seam beneath them, in each family.
// Under Wine the same tests run against the real registry, which is what
// shows the in-memory one answers as Windows does.
#include <gtest/gtest.h>

#include "engine/Vantrel.h"
#include "tests/support/test_registry.h"

namespace {

using testreg::Family;

const sys::RegHandle kLM = sys::kHkeyLocalMachine;
const std::string kKey = "SOFTWARE\\VantrelTest";

class RegistryOperations : public testing::TestWithParam<Family> {
protected:
    void SetUp() override {
        testreg::Begin(GetParam());
        for (const char* key : {"NXWIN/95", "NXWIN", "Parent\\Child"}) testreg::Add({false, kKey, key, ""});
        for (const char* value : {"NXGCtrl", "NXGCtrl2"}) testreg::Add({true, kKey, value, ""});
    }
    void TearDown() override {
        if (const auto handles = testreg::OpenHandles()) {
            EXPECT_EQ(0, *handles) << "registry handles left open";
        }
    }
    bool nt() const { return GetParam() == Family::NT; }
};

TEST_P(RegistryOperations, SeamAnswersWithThePlatformsCodes) {
    sys::RegHandle key = 0;
    EXPECT_EQ(sys::kFileNotFound, sys::OpenKey(kLM, kKey + "\\Missing", &key));
    EXPECT_EQ(0u, key);
    EXPECT_EQ(sys::kInvalidHandle, sys::CloseKey(0));
    ASSERT_EQ(sys::kSuccess, sys::OpenKey(kLM, "software\\vantreltest", &key));
    EXPECT_EQ(sys::kFileNotFound, sys::DeleteRegValue(key, "Missing"));
    EXPECT_EQ(sys::kFileNotFound, sys::DeleteKey(key, "Missing"));
    EXPECT_EQ(nt() ? sys::kAccessDenied : sys::kSuccess, sys::DeleteKey(key, "Parent"));
    EXPECT_EQ(sys::kSuccess, sys::CloseKey(key));
}

TEST_P(RegistryOperations, DeleteOnlyWhatIsNamedOnceAndFollowTheFamily) {
    EXPECT_TRUE(Vantrel::KeyExists(kLM, L"software\\VANTRELTEST\\nxwin/95"));
    EXPECT_FALSE(Vantrel::KeyExists(kLM, L"SOFTWARE\\VantrelTest\\NXWIN\\95"));  // a slash does not separate
    EXPECT_FALSE(Vantrel::KeyExists(kLM, L"SOFTWARE\\VantrelTest\\Missing"));
    const testreg::State before = testreg::Snapshot();
    const auto calls = testreg::Calls();
    // A missing parent: only the existence test, an open and a close of 0.
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest\\Missing", L"NXWIN"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VantrelTest\\Missing", L"NXGCtrl"));
    if (calls) {
        EXPECT_EQ(*calls + 4, *testreg::Calls());
    }
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"Missing"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VantrelTest", L"Missing"));
    EXPECT_EQ(before, testreg::Snapshot());

    EXPECT_TRUE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"nxwin/95"));
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"NXWIN/95"));
    EXPECT_TRUE(Vantrel::DeleteValue(kLM, L"software\\vantreltest", L"NXGCTRL"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VantrelTest", L"NXGCtrl"));
    // NT refuses a key with a subkey until the subkey is gone; 98 and ME take both.
    EXPECT_EQ(!nt(), Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"Parent"));
    EXPECT_EQ(nt() ? 1u : 0u, testreg::Snapshot().count(kKey + "\\Parent\\Child"));
    EXPECT_EQ(nt(), Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest\\Parent", L"Child"));
    EXPECT_EQ(nt(), Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"Parent"));
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
