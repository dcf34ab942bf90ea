#include "gui/window_logic.h"

#include "gui/Vantrel_ids.h"
#include "platform/platform.h"

namespace Vantrel_GUI {

// One row a control, its columns aligned.
// clang-format off
const ControlRow kControls[7] = {
    //  id             kind                         caption        bitmap         left  top   width height
    {IDC_NX6,       ControlKind::CommandButton, L"Nimbrax 6", 0,             240,  840,  1335, 375},
    {IDC_NX7,       ControlKind::CommandButton, L"Nimbrax 7", 0,             240,  1320, 1335, 375},
    {IDC_OUTPUT,    ControlKind::ReportBox,     L"",          0,             1800, 840,  8055, 2535},
    {IDC_EXIT,      ControlKind::CommandButton, L"Exit",      0,             240,  3000, 1335, 375},
    {IDC_REPORT,    ControlKind::PictureButton, L"",          IDB_REPORT,    1800, 360,  360,  360},
    {IDC_REP_CLEAR, ControlKind::PictureButton, L"",          IDB_REP_CLEAR, 2280, 360,  360,  360},
    {IDC_BANNER,    ControlKind::Picture,       L"",          IDB_BANNER,    2520, 0,    7455, 855},
};
// clang-format on

int TwipsToPixels(int twips, int dots_per_inch) {
    // Rounded to the nearest pixel, as the twips rarely divide evenly.
    return (twips * dots_per_inch + 720) / 1440;
}

int LayoutDpi(int display_dpi, int frame_width, int frame_height, int work_width, int work_height) {
    int dpi = display_dpi;
    while (dpi > 96 && (TwipsToPixels(kClientWidthTwips, dpi) + frame_width > work_width ||
                        TwipsToPixels(kClientHeightTwips, dpi) + frame_height > work_height)) {
        --dpi;
    }
    return dpi;
}

namespace {
// One axis of PlaceInWorkArea: the new start of a span of the given size.
int PlaceSpan(int start, int size, int area_start, int area_end) {
    if (size > area_end - area_start || start < area_start) return area_start;
    return start + size > area_end ? area_end - size : start;
}
}  // namespace

ScreenRect PlaceInWorkArea(const ScreenRect& wanted, const ScreenRect& work_area) {
    const int width = wanted.right - wanted.left, height = wanted.bottom - wanted.top;
    const int left = PlaceSpan(wanted.left, width, work_area.left, work_area.right);
    const int top = PlaceSpan(wanted.top, height, work_area.top, work_area.bottom);
    return {left, top, left + width, top + height};
}

void KeyRules::Forget() {
    for (std::optional<FocusKind>& down_in : down_in_) down_in.reset();
}

KeyAction KeyRules::Route(const KeyEvent& key) {
    constexpr unsigned kTab = 0x09, kReturn = 0x0D, kEscape = 0x1B;
    std::optional<FocusKind>& down_in = down_in_[key.virtual_key & 0xFF];
    if (key.down && !key.repeat) down_in = key.focus;
    const std::optional<FocusKind> went_down_in = down_in;
    if (!key.down) down_in.reset();
    if (!went_down_in) return KeyAction::Swallow;  // held since before the window had the keyboard
    switch (key.virtual_key) {
    case kTab:
        if (!key.down) return KeyAction::Default;
        return key.shift ? KeyAction::FocusPrevious : KeyAction::FocusNext;
    case kEscape:
        return KeyAction::Swallow;
    case kReturn:
        // Its repeats type new lines only in the box it went down in, not
        // after a Tab has carried a press on a button there.
        if (key.focus == FocusKind::ReportBox)
            return key.repeat && went_down_in != FocusKind::ReportBox ? KeyAction::Swallow : KeyAction::Default;
        if (key.focus != FocusKind::CommandButton || key.repeat) return KeyAction::Swallow;
        return key.down ? KeyAction::PressFocused : KeyAction::ReleaseFocused;
    default:
        return KeyAction::Default;
    }
}

namespace {
std::wstring TwoDigits(int number) {
    return {static_cast<wchar_t>(L'0' + number / 10 % 10), static_cast<wchar_t>(L'0' + number % 10)};
}
}  // namespace

std::wstring LogFileName(const LocalTime& now) {
    return L"Vantrel " + TwoDigits(now.day) + L"-" + TwoDigits(now.month) + L"-" + TwoDigits(now.year % 100) + L" " +
           TwoDigits(now.hour) + L"-" + TwoDigits(now.minute) + L"-" + TwoDigits(now.second) + L".log";
}

std::wstring LogFilePath(const std::wstring& file_name) { return L"C:" + file_name; }

std::string LogFileBytes(const std::wstring& report_text) { return sys::ToAnsi(report_text) + "\r\n"; }

std::wstring NotepadCommandLine(const std::wstring& file_name) { return L"notepad.exe C:" + file_name; }

std::wstring NotepadProgram(const std::wstring& folder) {
    std::wstring path = folder;
    if (path.empty() || path.back() != L'\\') path += L'\\';
    return path + L"notepad.exe";
}

std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason) {
    return L"The report could not be saved to " + path + L".\r\n\r\n" + reason;
}

std::wstring NotepadFailedMessage(const std::wstring& path, const std::wstring& reason) {
    return L"The report was saved to " + path + L", but Notepad could not be started.\r\n\r\n" + reason;
}

}  // namespace Vantrel_GUI
