// The name for each version record, as one table. The live query shows end
// to end, in the plan each Windows version gets.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "engine/Vantrel.h"

namespace {

using namespace std::string_literals;

TEST(OSName, EveryRowOfTheMapping) {
    // Each record: major, minor and build number, platform, szCSDVersion.
    const std::pair<sys::VersionRecord, std::wstring> rows[] = {
        // Windows 95 family: the minor version alone; the 95 name takes the
        // first two characters of szCSDVersion, NULs included.
        {{4, 0, 950, 1, " B"}, L"Windows 95 B"},
        {{3, 0, 0, 1, ""}, L"Windows 95\0\0"s},
        {{9, 0, 1, 1, "\0x"}, L"Windows 95\0x"s},
        {{4, 10, 2222, 1, " SE"}, L"Windows 98"},
        {{4, 90, 73010104, 1, " "}, L"Windows ME"},
        {{5, 90, 0, 1, ""}, L"Windows ME"},
        {{4, 1, 0, 1, ""}, L"Win 32s"},
        // NT family: the major version, and for 5 the whole build number.
        {{4, 7, 99, 2, ""}, L"Windows NT"},
        {{5, 9, 2195, 2, "Service Pack 4"}, L"Windows 2000"},
        {{5, 0, 2600, 2, "Service Pack 3"}, L"Windows XP"},
        {{5, 2, 3790, 2, "Service Pack 2"}, L"Unknown OS"},
        {{5, 1, 2600 + 0x10000, 2, ""}, L"Unknown OS"},
        {{6, 2, 9200, 2, ""}, L"Unknown OS"},
        // Platform 0, like any but 1 and 2, knows no names.
        {{4, 10, 0, 0, ""}, L"Unknown OS"},
    };
    for (const auto& [record, name] : rows)
        EXPECT_EQ(name, Vantrel::OSNameFromVersion(record))
            << record.platform << " " << record.major << "." << record.minor;
}

}  // namespace
