// The name for each version record, as one table. The live query shows end
// to end, in the plan each Windows version gets.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/Vantrel.h"

namespace {

using namespace std::string_literals;

TEST(OSName, EveryRowOfTheMapping) {
    struct Row {
        std::uint32_t platform, major, minor, build;
        std::string csd;
        std::wstring name;
    };
    const Row rows[] = {
        // Windows 95 family: the minor version alone; the 95 name takes the
        // first two characters of szCSDVersion, NULs included.
        {1, 4, 0, 950, " B", L"Windows 95 B"},
        {1, 4, 0, 950, "C", L"Windows 95C\0"s},
        {1, 3, 0, 0, "", L"Windows 95\0\0"s},
        {1, 9, 0, 1, "\0x"s, L"Windows 95\0x"s},
        {1, 4, 10, 2222, " SE", L"Windows 98"},
        {1, 4, 90, 73010104, " ", L"Windows ME"},
        {1, 5, 90, 0, "", L"Windows ME"},
        {1, 4, 1, 0, "", L"Win 32s"},
        // NT family: the major version, and for 5 the whole build number.
        {2, 4, 7, 99, "", L"Windows NT"},
        {2, 5, 9, 2195, "Service Pack 4", L"Windows 2000"},
        {2, 5, 0, 2600, "Service Pack 3", L"Windows XP"},
        {2, 5, 2, 3790, "Service Pack 2", L"Unknown OS"},
        {2, 5, 1, 2600 + 0x10000, "", L"Unknown OS"},
        {2, 6, 2, 9200, "", L"Unknown OS"},
        // Platform 0, like any but 1 and 2, knows no names.
        {0, 4, 10, 0, "", L"Unknown OS"},
    };
    for (const Row& row : rows) {
        sys::VersionRecord record;
        record.platform = row.platform, record.major = row.major, record.minor = row.minor, record.build = row.build;
        std::memcpy(record.csd, row.csd.data(), row.csd.size());
        EXPECT_EQ(row.name, Vantrel::OSNameFromVersion(record)) << row.platform << " " << row.major << "." << row.minor;
    }
}

}  // namespace
