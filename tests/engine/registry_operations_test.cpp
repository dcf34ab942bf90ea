// What the cleaning runs cannot show of the three registry operations: names
// compared as the registry compares them, a slash that is part of a name, and
// a missing parent key that costs only the existence test. The cleaning runs
// show the rest (missing entries, second deletions, each family's way with a
// key that has subkeys, handles closed).
#include <gtest/gtest.h>

#include "engine/Vantrel.h"
#include "tests/support/test_registry.h"

namespace {

const sys::RegHandle kLM = sys::kHkeyLocalMachine;

using testreg::Family;
class RegistryOperations : public testing::TestWithParam<Family> {};

TEST_P(RegistryOperations, NamesAsTheRegistryComparesThem) {
    testreg::Begin(GetParam());
    for (const char* key : {"NXWIN/95", "NXWIN"}) testreg::Add({false, "SOFTWARE\\VantrelTest", key, ""});
    testreg::Add({true, "SOFTWARE\\VantrelTest", "NXGCtrl", ""});
    const testreg::State before = testreg::Snapshot();
    const auto calls = testreg::Calls();
    EXPECT_FALSE(Vantrel::DeleteSubKey(kLM, L"SOFTWARE\\VantrelTest\\Missing", L"NXWIN"));
    EXPECT_FALSE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VantrelTest\\Missing", L"NXGCtrl"));
    EXPECT_EQ(calls.value_or(0) + 4, testreg::Calls().value_or(4));              // each an open of 0 and its close
    EXPECT_FALSE(Vantrel::KeyExists(kLM, L"SOFTWARE\\VantrelTest\\NXWIN\\95"));  // a slash does not separate
    EXPECT_TRUE(Vantrel::KeyExists(kLM, L"software\\VANTRELTEST\\nxwin/95"));
    EXPECT_TRUE(Vantrel::DeleteSubKey(kLM, L"software\\vantreltest", L"nxwin/95"));
    EXPECT_TRUE(Vantrel::DeleteValue(kLM, L"SOFTWARE\\VANTRELTEST", L"nxgctrl"));
    EXPECT_EQ(testreg::Without(before, {"SOFTWARE\\VantrelTest\\NXWIN/95", "SOFTWARE\\VantrelTest | NXGCtrl"}),
              testreg::Snapshot());
}

INSTANTIATE_TEST_SUITE_P(Family, RegistryOperations, testing::ValuesIn(testreg::Families()),
                         [](const testing::TestParamInfo<Family>& param) { return testreg::Name(param.param); });

TEST(ReportLine, PrefixesLabelAndFailureText) {
    EXPECT_EQ(L"++ a\\b\r\n", Vantrel::ReportLine(L"a\\b", true));
    EXPECT_EQ(L"!! a\\b - Failed to delete the (sub) key!\r\n", Vantrel::ReportLine(L"a\\b", false));
}

}  // namespace
