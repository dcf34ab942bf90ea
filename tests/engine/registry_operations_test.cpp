// The three registry operations and the seam beneath them, in each family.
// Under Wine the same tests run against the real registry, which is what
// shows the in-memory one answers as Windows does.
#include <gtest/gtest.h>

#include "engine/Vantrel.h"
#include "tests/support/test_registry.h"

namespace {

using testreg::Family;
using testreg::State;

const sys::RegHandle kLM = sys::kHkeyLocalMachine;

class RegistryOperations : public testing::TestWithParam<Family> {
protected:
    void SetUp() override { testreg::Begin(GetParam()); }
    void TearDown() override {
        // No operation leaves a handle open.
        testreg::ExpectNoHandleLeft();
        testreg::End();
    }
    bool nt() const { return GetParam() == Family::NT; }
};

TEST_P(RegistryOperations, SeamAnswersWithThePlatformsCodes) {
    testreg::AddKey("SOFTWARE\\VantrelTest\\Parent\\Child");
    testreg::AddValue("SOFTWARE\\VantrelTest", "Value");

    sys::RegHandle key = 0;
    EXPECT_EQ(sys::kFileNotFound, sys::OpenKey(kLM, "SOFTWARE\\VantrelTest\\Missing", &key));
    EXPECT_EQ(0u, key);  // a missing key leaves the handle at 0
    EXPECT_EQ(sys::kInvalidHandle, sys::CloseKey(0));

    ASSERT_EQ(sys::kSuccess, sys::OpenKey(kLM, "software\\vantreltest", &key));
    ASSERT_NE(0u, key);
    EXPECT_EQ(sys::kFileNotFound, sys::DeleteRegValue(key, "Missing"));
    EXPECT_EQ(sys::kSuccess, sys::DeleteRegValue(key, "VALUE"));
    EXPECT_EQ(sys::kFileNotFound, sys::DeleteRegValue(key, "Value"));
    EXPECT_EQ(sys::kFileNotFound, sys::DeleteKey(key, "Missing"));
    // NT refuses a key with subkeys; 98 and ME take the whole subtree.
    EXPECT_EQ(nt() ? sys::kAccessDenied : sys::kSuccess, sys::DeleteKey(key, "Parent"));
    EXPECT_EQ(sys::kSuccess, sys::CloseKey(key));

    EXPECT_EQ(nt(), testreg::KeyPresent("SOFTWARE\\VantrelTest\\Parent\\Child"));
    EXPECT_EQ(nt(), testreg::KeyPresent("SOFTWARE\\VantrelTest\\Parent"));
}

TEST_P(RegistryOperations, KeyExistsOpensAndReports) {
    testreg::AddKey("SOFTWARE\\VantrelTest\\NXWIN/95");
    EXPECT_TRUE(Vantrel::KeyExists(kLM, L"SOFTWARE\\VantrelTest"));
    EXPECT_TRUE(Vantrel::KeyExists(kLM, L"software\\VANTRELTEST\\nxwin/95"));
    EXPECT_FALSE(Vantrel::KeyExists(kLM, L"SOFTWARE\\VantrelTest\\NXWIN"));  // a slash does not separate
    EXPECT_FALSE(Vantrel::KeyExists(kLM, L"SOFTWARE\\VantrelTest\\NXWIN\\95"));
    EXPECT_FALSE(Vantrel::KeyExists(kLM, L"SOFTWARE\\VantrelTest\\Missing"));
}

TEST_P(RegistryOperations, MissingParentMakesNoDeletionAttempt) {
    const State before = testreg::Snapshot();
    const auto calls_before = testreg::RegistryCalls();
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest\\Missing", L"Child"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VantrelTest\\Missing", L"Value"));
    // Each made only the existence test: one open and one close of 0.
    if (calls_before) {
        EXPECT_EQ(*calls_before + 4, *testreg::RegistryCalls());
    }
    EXPECT_EQ(before, testreg::Snapshot());
}

TEST_P(RegistryOperations, DeletesOnlyWhatIsNamedAndOnlyOnce) {
    testreg::AddKey("SOFTWARE\\VantrelTest\\NXWIN/95");
    testreg::AddKey("SOFTWARE\\VantrelTest\\NXWIN");
    testreg::AddValue("SOFTWARE\\VantrelTest", "NXGCtrl");
    testreg::AddValue("SOFTWARE\\VantrelTest", "NXGCtrl2");
    const State before = testreg::Snapshot();

    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"Missing"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VantrelTest", L"Missing"));
    EXPECT_EQ(before, testreg::Snapshot());

    EXPECT_TRUE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"nxwin/95"));
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"NXWIN/95"));
    EXPECT_TRUE(Vantrel::DeleteValue(kLM, L"software\\vantreltest", L"NXGCTRL"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VantrelTest", L"NXGCtrl"));

    State expected = before;
    expected.erase("SOFTWARE\\VantrelTest\\NXWIN/95");
    expected.erase("SOFTWARE\\VantrelTest | NXGCtrl");
    EXPECT_EQ(expected, testreg::Snapshot());
}

TEST_P(RegistryOperations, KeyWithSubkeysFollowsTheFamily) {
    testreg::AddKey("SOFTWARE\\VantrelTest\\Parent\\Child\\Grandchild");
    testreg::AddValue("SOFTWARE\\VantrelTest\\Parent", "Value");
    if (nt()) {
        EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"Parent"));
        EXPECT_TRUE(testreg::KeyPresent("SOFTWARE\\VantrelTest\\Parent\\Child\\Grandchild"));
        EXPECT_TRUE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest\\Parent\\Child", L"Grandchild"));
        EXPECT_TRUE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest\\Parent", L"Child"));
    }
    EXPECT_TRUE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest", L"Parent"));
    EXPECT_EQ(State{"SOFTWARE\\VantrelTest"}, [] {
        State mine;
        for (const std::string& line : testreg::Snapshot()) {
            if (line.rfind("SOFTWARE\\VantrelTest", 0) == 0) mine.insert(line);
        }
        return mine;
    }());
}

INSTANTIATE_TEST_SUITE_P(Family, RegistryOperations, testing::ValuesIn(testreg::AvailableFamilies()),
                         [](const testing::TestParamInfo<Family>& param) { return testreg::FamilyName(param.param); });

TEST(ReportLine, PrefixesLabelAndFailureText) {
    EXPECT_EQ(L"++ SOFTWARE\\K+LUMO\r\n", Vantrel::ReportLine(L"SOFTWARE\\K+LUMO", true));
    EXPECT_EQ(L"!! SOFTWARE\\K+LUMO - Failed to delete the (sub) key!\r\n",
              Vantrel::ReportLine(L"SOFTWARE\\K+LUMO", false));
    EXPECT_EQ(L"++ \r\n", Vantrel::ReportLine(L"", true));
    EXPECT_EQ(L"!!  - Failed to delete the (sub) key!\r\n", Vantrel::ReportLine(L"", false));
}

}  // namespace
