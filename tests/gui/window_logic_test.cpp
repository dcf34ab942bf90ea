// The window's plain logic: layout in pixels, keyboard rules, and what a
// save writes and starts.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>
#include <vector>

#include "gui/Vantrel_ids.h"
#include "gui/window_logic.h"

namespace Vantrel_GUI {
void PrintTo(const ScreenRect& r, std::ostream* out) {
    *out << r.left << "," << r.top << " to " << r.right << "," << r.bottom;
}
}  // namespace Vantrel_GUI

namespace {

using namespace Vantrel_GUI;

using PixelRect = std::array<int, 5>;  // id, left, top, width, height

std::vector<PixelRect> Layout(int dpi) {
    std::vector<PixelRect> rects;
    for (const ControlRow& row : kControls) {
        rects.push_back({row.id, TwipsToPixels(row.left, dpi), TwipsToPixels(row.top, dpi),
                         TwipsToPixels(row.width, dpi), TwipsToPixels(row.height, dpi)});
    }
    return rects;
}

TEST(Layout, StandardScaleGivesTheFormsPixels) {
    // Creation order is focus order, then the pictures, rep_clear in front
    // of the banner.
    const std::vector<PixelRect> expected = {
        {IDC_NX6, 16, 56, 89, 25},       {IDC_NX7, 16, 88, 89, 25},      {IDC_OUTPUT, 120, 56, 537, 169},
        {IDC_EXIT, 16, 200, 89, 25},     {IDC_REPORT, 120, 24, 24, 24}, {IDC_REP_CLEAR, 152, 24, 24, 24},
        {IDC_BANNER, 168, 0, 497, 57},
    };
    EXPECT_EQ(expected, Layout(96));
    EXPECT_EQ(667, TwipsToPixels(kClientWidthTwips, 96));
    EXPECT_EQ(235, TwipsToPixels(kClientHeightTwips, 96));
    EXPECT_EQ(252, TwipsToPixels(kClientLeftTwips, 96));
    EXPECT_EQ(326, TwipsToPixels(kClientTopTwips, 96));
}

TEST(Layout, LargeFontsScaleTwelveTwipsToThePixel) {
    // The pictures' places scale too; their sizes are their bitmaps' own,
    // which only the window knows (the end-to-end tests check them).
    std::vector<PixelRect> rects = Layout(120);
    for (PixelRect& rect : rects) {
        if (rect[0] == IDC_REPORT || rect[0] == IDC_REP_CLEAR || rect[0] == IDC_BANNER) rect[3] = rect[4] = 0;
    }
    const std::vector<PixelRect> expected = {
        {IDC_NX6, 20, 70, 111, 31},     {IDC_NX7, 20, 110, 111, 31},  {IDC_OUTPUT, 150, 70, 671, 211},
        {IDC_EXIT, 20, 250, 111, 31},   {IDC_REPORT, 150, 30, 0, 0}, {IDC_REP_CLEAR, 190, 30, 0, 0},
        {IDC_BANNER, 210, 0, 0, 0},
    };
    EXPECT_EQ(expected, rects);
    EXPECT_EQ(834, TwipsToPixels(kClientWidthTwips, 120));
    EXPECT_EQ(294, TwipsToPixels(kClientHeightTwips, 120));
}

TEST(Placement, MovesTheLeastThatFitsTheWorkAreaAndNeverResizes) {
    const ScreenRect wanted = {249, 304, 922, 564};  // 673 x 260
    const struct {
        ScreenRect wanted, area, placed;
    } cases[] = {
        {wanted, {0, 0, 1024, 768}, wanted},                       // fits: as wanted
        {wanted, {0, 0, 800, 600}, {127, 304, 800, 564}},          // off the right
        {wanted, {0, 0, 1024, 500}, {249, 240, 922, 500}},         // off the bottom
        {{10, 10, 400, 300}, {60, 30, 800, 600}, {60, 30, 450, 320}},  // under bars at the left and top
        {wanted, {0, 0, 640, 480}, {0, 220, 673, 480}},            // wider: left edges meet
        {wanted, {0, 20, 1024, 200}, {249, 20, 922, 280}},         // taller: top edges meet
        {{-20, 30, 653, 290}, {0, 0, 640, 480}, {0, 30, 673, 290}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.placed, PlaceInWorkArea(c.wanted, c.area));
}

TEST(Keyboard, NoDefaultAndNoCancelButton) {
    constexpr unsigned kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B, kSpace = 0x20, kEnd = 0x23, kA = 0x41;
    const std::tuple<unsigned, bool, FocusKind, KeyAction> cases[] = {
        {kTab, false, FocusKind::CommandButton, KeyAction::FocusNext},
        {kTab, true, FocusKind::CommandButton, KeyAction::FocusPrevious},
        {kTab, false, FocusKind::ReportBox, KeyAction::FocusNext},  // Tab leaves the report box too
        {kTab, true, FocusKind::ReportBox, KeyAction::FocusPrevious},
        {kTab, false, FocusKind::Other, KeyAction::FocusNext},
        {kEscape, false, FocusKind::CommandButton, KeyAction::Swallow},
        {kEscape, false, FocusKind::ReportBox, KeyAction::Swallow},  // would close the window otherwise
        {kEscape, false, FocusKind::Other, KeyAction::Swallow},
        {kReturn, false, FocusKind::CommandButton, KeyAction::ClickFocused},
        {kReturn, false, FocusKind::ReportBox, KeyAction::Default},  // a new line
        {kReturn, false, FocusKind::Other, KeyAction::Swallow},      // no default button to press
        {kSpace, false, FocusKind::CommandButton, KeyAction::Default},
        {kEnd, false, FocusKind::ReportBox, KeyAction::Default},
        {kA, true, FocusKind::ReportBox, KeyAction::Default},
    };
    for (const auto& [key, shift, focus, action] : cases) {
        EXPECT_EQ(action, RouteKey(key, shift, focus)) << key << " " << shift << " " << static_cast<int>(focus);
    }
}

TEST(Saving, FileNameIsDayFirstWithA24HourClock) {
    EXPECT_EQ(L"Vantrel 05-12-06 19-30-00.log", LogFileName({2006, 12, 5, 19, 30, 0}));
    EXPECT_EQ(L"Vantrel 09-01-00 00-05-07.log", LogFileName({2000, 1, 9, 0, 5, 7}));
    EXPECT_EQ(L"Vantrel 31-12-99 23-59-59.log", LogFileName({1999, 12, 31, 23, 59, 59}));
    EXPECT_EQ(L"C:Vantrel 05-12-06 19-30-00.log", LogFilePath(L"Vantrel 05-12-06 19-30-00.log"));
}

TEST(Saving, FileHoldsTheTextAndOneMoreLineEnd) {
    EXPECT_EQ(std::string("++ SOFTWARE\\K+LUMO\r\n\r\n"), LogFileBytes(L"++ SOFTWARE\\K+LUMO\r\n"));
    EXPECT_EQ(std::string("typed\r\n"), LogFileBytes(L"typed"));
    EXPECT_EQ(std::string("a\nb\r\n"), LogFileBytes(L"a\nb"));  // the text's own line ends are kept
    EXPECT_EQ(std::string("caf\xE9\r\n"), LogFileBytes(L"caf\u00E9"));
}

TEST(Saving, NotepadIsTheSystemsAndGetsTheNameUnquoted) {
    EXPECT_EQ(L"notepad.exe C:Vantrel 05-12-06 19-30-00.log", NotepadCommandLine(L"Vantrel 05-12-06 19-30-00.log"));
    EXPECT_EQ(L"C:\\WINDOWS\\notepad.exe", NotepadProgram(L"C:\\WINDOWS"));
    EXPECT_EQ(L"C:\\notepad.exe", NotepadProgram(L"C:\\"));
    EXPECT_EQ(L"C:\\WINNT\\notepad.exe", NotepadProgram(L"C:\\WINNT\\"));
}

TEST(Saving, FailureMessagesNameTheFileAndTheReason) {
    EXPECT_EQ(L"The report could not be saved to C:Vantrel 05-12-06 19-30-00.log.\r\n\r\nAccess denied.",
              SaveFailedMessage(L"C:Vantrel 05-12-06 19-30-00.log", L"Access denied."));
    EXPECT_EQ(L"The report was saved to C:x.log, but Notepad could not be started.\r\n\r\nFile not found.",
              NotepadFailedMessage(L"C:x.log", L"File not found."));
}

}  // namespace
