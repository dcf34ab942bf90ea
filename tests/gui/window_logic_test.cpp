// The window's plain logic: where it opens and at what scale, its keyboard
// rules, and what a save writes and starts. The end-to-end tests show them
// in the real window.
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

// The frame a fixed window with a caption adds: 6 across, 25 down.
TEST(Placement, LargeFontsAsFarAsTheWholeWindowFits) {
    EXPECT_EQ(120, LayoutDpi(120, 6, 25, 1024, 768));  // 834 + 6 across: fits
    EXPECT_EQ(114, LayoutDpi(120, 6, 25, 800, 600));   // 792 + 6; at 115 dpi 799 + 6
    EXPECT_EQ(112, LayoutDpi(144, 6, 25, 1024, 300));  // 274 + 25 down; at 113 dpi 277 + 25
    EXPECT_EQ(96, LayoutDpi(144, 6, 25, 640, 480));    // never below the size it was made for
}

// Enter on a button is one click a press, on its release; a key held since
// before the window had the keyboard (from the confirmation, which takes
// it) is nothing until released.
TEST(Keyboard, OneClickAPressAndNothingFromKeysHeldElsewhere) {
    constexpr unsigned kReturn = 0x0D, kA = 0x41;
    const FocusKind button = FocusKind::CommandButton, box = FocusKind::ReportBox;
    const struct {
        bool away;  // the window lost the keyboard before this key
        KeyEvent key;
        KeyAction action;
    } presses[] = {
        {false, {kReturn, true, false, false, button}, KeyAction::PressFocused},
        {false, {kReturn, true, true, false, button}, KeyAction::Swallow},
        {false, {kReturn, true, true, false, box}, KeyAction::Swallow},  // carried into the box by Tab
        {false, {kReturn, false, false, false, button}, KeyAction::ReleaseFocused},
        {false, {kA, true, false, false, box}, KeyAction::Default},  // typed
        {true, {kA, true, true, false, box}, KeyAction::Swallow},
        {false, {kReturn, true, false, false, box}, KeyAction::Default},  // a new line
        {false, {kReturn, true, true, false, box}, KeyAction::Default},
    };
    KeyRules rules;
    for (std::size_t i = 0; i < std::size(presses); ++i) {
        if (presses[i].away) rules.Forget();
        EXPECT_EQ(presses[i].action, rules.Route(presses[i].key)) << "step " << i + 1;
    }
}

TEST(Saving, LogFileNameIsDayFirstWithA24HourClockAndHoldsTheText) {
    EXPECT_EQ(L"Vantrel 05-12-06 19-30-00.log", LogFileName({2006, 12, 5, 19, 30, 0}));
    EXPECT_EQ(L"Vantrel 31-12-99 23-59-59.log", LogFileName({1999, 12, 31, 23, 59, 59}));
    // The text and one more line end.
    EXPECT_EQ(std::string("++ SOFTWARE\\K+LUMO\r\n\r\n"), LogFileBytes(L"++ SOFTWARE\\K+LUMO\r\n"));
    EXPECT_EQ(std::string("a\nb\r\n"), LogFileBytes(L"a\nb"));          // the text's own line ends are kept
    EXPECT_EQ(std::string("caf\xE9\r\n"), LogFileBytes(L"caf\u00E9"));  // the code page, a byte a character
}

TEST(Saving, NotepadGetsTheNameUnquoted) {
    EXPECT_EQ(L"notepad.exe C:Vantrel 05-12-06 19-30-00.log", NotepadCommandLine(L"Vantrel 05-12-06 19-30-00.log"));
}

}  // namespace
