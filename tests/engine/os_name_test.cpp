// The name for each version record, and the live query.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/Vantrel.h"

namespace {

sys::VersionRecord Record(std::uint32_t platform, std::uint32_t major, std::uint32_t minor, std::uint32_t build,
                          const char* csd = "") {
    sys::VersionRecord record;
    record.platform = platform;
    record.major = major;
    record.minor = minor;
    record.build = build;
    std::strncpy(record.csd, csd, sizeof record.csd);
    return record;
}

struct Row {
    sys::VersionRecord record;
    std::wstring name;
};

TEST(OSName, EveryRowOfTheMapping) {
    using namespace std::string_literals;
    const Row rows[] = {
        // Windows 95 family: minor version alone; the 95 name takes two
        // characters of szCSDVersion, NULs included.
        {Record(1, 4, 0, 67109814, " C "), L"Windows 95 C"},
        {Record(1, 4, 0, 950, "B"), L"Windows 95B\0"s},
        {Record(1, 4, 0, 950, ""), L"Windows 95\0\0"s},
        {Record(1, 9, 0, 1, "OSR2"), L"Windows 95OS"},
        {Record(1, 4, 10, 67766446, " A "), L"Windows 98"},
        {Record(1, 4, 10, 2222, " SE"), L"Windows 98"},
        {Record(1, 4, 90, 73010104, " "), L"Windows ME"},
        {Record(1, 5, 90, 0), L"Windows ME"},
        {Record(1, 4, 1, 0), L"Win 32s"},
        {Record(1, 3, 11, 0), L"Win 32s"},
        // NT family: the major version, and for 5 the whole build number.
        {Record(2, 4, 0, 1381, "Service Pack 6a"), L"Windows NT"},
        {Record(2, 4, 7, 99), L"Windows NT"},
        {Record(2, 5, 0, 2195, "Service Pack 4"), L"Windows 2000"},
        {Record(2, 5, 1, 2600, "Service Pack 3"), L"Windows XP"},
        {Record(2, 5, 9, 2195), L"Windows 2000"},
        {Record(2, 5, 0, 2600), L"Windows XP"},
        {Record(2, 5, 2, 3790, "Service Pack 2"), L"Unknown OS"},
        {Record(2, 5, 1, 2600 + 0x10000), L"Unknown OS"},  // no part of the build is masked off
        {Record(2, 5, 1, 0x0A280A28), L"Unknown OS"},
        {Record(2, 3, 51, 1057), L"Unknown OS"},
        {Record(2, 6, 2, 9200), L"Unknown OS"},
        // Other platforms, 0 included, know no names.
        {Record(0, 4, 0, 0), L"Unknown OS"},
        {Record(0, 4, 10, 0), L"Unknown OS"},
        {Record(3, 5, 1, 2600), L"Unknown OS"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.name, Vantrel::OSNameFromVersion(row.record))
            << "platform " << row.record.platform << ", " << row.record.major << "." << row.record.minor
            << ", build " << row.record.build;
    }
}

TEST(OSName, ReadsTheWholeCsdFieldNotJustItsFirstText) {
    // Only the first two characters count, even past a NUL.
    sys::VersionRecord record = Record(1, 4, 0, 0);
    record.csd[1] = 'x';
    EXPECT_EQ(std::wstring(L"Windows 95\0x", 12), Vantrel::OSNameFromVersion(record));
}

// The wine test runner names the version it set; on Linux nothing answers
// the query, which is read as a failed one.
TEST(OSName, TheRunningSystemIsNamed) {
    const char* version = std::getenv("VANTREL_WINE_VERSION");
    const std::string wine = version ? version : "";
    std::wstring expected = L"Unknown OS";
    if (wine == "win98") expected = L"Windows 98";
    if (wine == "winme") expected = L"Windows ME";
    if (wine == "nt40") expected = L"Windows NT";
    if (wine == "win2k") expected = L"Windows 2000";
    if (wine == "winxp") expected = L"Windows XP";
    if (wine == "win95") expected = std::wstring(L"Windows 95\0\0", 12);
    EXPECT_EQ(expected, Vantrel::GetOSName());
}

}  // namespace
