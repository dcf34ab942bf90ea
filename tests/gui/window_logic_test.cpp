// The window's plain logic: where it opens, and what a save writes and
// starts. The layout and the keyboard show only in the real window, so
// the end-to-end tests check those.
#include "gui/window_logic.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace Vantrel_GUI;

TEST(Placement, MovesTheLeastThatFitsTheWorkAreaAndNeverResizes) {
    const ScreenRect wanted = {249, 304, 922, 564};  // 673 x 260
    const struct {
        ScreenRect wanted, area, placed;
    } cases[] = {
        {wanted, {0, 0, 1024, 768}, wanted},                           // fits: as wanted
        {wanted, {0, 0, 800, 600}, {127, 304, 800, 564}},              // off the right
        {wanted, {0, 0, 1024, 500}, {249, 240, 922, 500}},             // off the bottom
        {{10, 10, 400, 300}, {60, 30, 800, 600}, {60, 30, 450, 320}},  // under bars at the left and top
        {wanted, {0, 0, 640, 480}, {0, 220, 673, 480}},                // wider: left edges meet
        {wanted, {0, 20, 1024, 200}, {249, 20, 922, 280}},             // taller: top edges meet
    };
    for (const auto& c : cases) EXPECT_EQ(c.placed, PlaceInWorkArea(c.wanted, c.area));
}

TEST(Saving, FileNameIsDayFirstWithA24HourClock) {
    EXPECT_EQ(L"Vantrel 05-12-06 19-30-00.log", LogFileName({2006, 12, 5, 19, 30, 0}));
    EXPECT_EQ(L"Vantrel 31-12-99 23-59-59.log", LogFileName({1999, 12, 31, 23, 59, 59}));
}

TEST(Saving, FileHoldsTheTextAndOneMoreLineEnd) {
    EXPECT_EQ(std::string("++ SOFTWARE\\K+LUMO\r\n\r\n"), LogFileBytes(L"++ SOFTWARE\\K+LUMO\r\n"));
    EXPECT_EQ(std::string("a\nb\r\n"), LogFileBytes(L"a\nb"));          // the text's own line ends are kept
    EXPECT_EQ(std::string("caf\xE9\r\n"), LogFileBytes(L"caf\u00E9"));  // the code page, a byte a character
}

TEST(Saving, NotepadGetsTheNameUnquoted) {
    EXPECT_EQ(L"notepad.exe C:Vantrel 05-12-06 19-30-00.log", NotepadCommandLine(L"Vantrel 05-12-06 19-30-00.log"));
}

}  // namespace
