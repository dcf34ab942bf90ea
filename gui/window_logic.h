// What the window does that is not Win32 glue: the layout in twips and its
// conversion to pixels, the keyboard rules, and the log file's name, bytes
// and Notepad command line. Plain functions, tested natively.
#pragma once

#include <optional>
#include <string>

namespace Vantrel_GUI {

// --- Layout -------------------------------------------------------------

enum class ControlKind { CommandButton, ReportBox, PictureButton, Picture };

// One control, as the form lays it out: place and size in twips from the
// client area's top-left corner. Pictures take their bitmap's own size.
struct ControlRow {
    int id;
    ControlKind kind;
    const wchar_t* caption;
    int bitmap;  // resource id, or 0
    int left, top, width, height;
};

// In creation order, which is also the focus order and the z-order (the
// first is in front): the picture buttons come before the banner so the
// waste bin is drawn whole where they overlap.
extern const ControlRow kControls[7];

constexpr int kClientWidthTwips = 10005;
constexpr int kClientHeightTwips = 3525;
constexpr int kClientLeftTwips = 3780;
constexpr int kClientTopTwips = 4890;

// 1440 twips make an inch: 15 twips a pixel at 96 dpi, 12 at 120 dpi.
int TwipsToPixels(int twips, int dots_per_inch);

// The scale the layout is drawn at: the display's dots per inch, unless the
// whole window (the client area and the frame_width and frame_height its
// frame adds) would then not fit the work area; then the largest scale at
// which it fits, but never below 96 dpi, the size the layout was made for.
int LayoutDpi(int display_dpi, int frame_width, int frame_height, int work_width, int work_height);

// Screen pixels, right and bottom exclusive.
struct ScreenRect {
    int left, top, right, bottom;
    bool operator==(const ScreenRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// Where the window opens: where it is wanted when it fits the work area;
// else moved the least distance that makes it fit; where it is wider (or
// taller) than the work area, with its left (or top) edge on the area's.
// Its size never changes.
ScreenRect PlaceInWorkArea(const ScreenRect& wanted, const ScreenRect& work_area);

// --- Keyboard -----------------------------------------------------------

enum class FocusKind { CommandButton, ReportBox, Other };

// One key message: a key going down (again, when held: a repeat) or up.
struct KeyEvent {
    unsigned virtual_key;
    bool down, repeat, shift;
    FocusKind focus;
};

enum class KeyAction {
    Default,         // let the control have the key
    FocusNext,       // Tab
    FocusPrevious,   // Shift+Tab
    Swallow,         // the key does nothing at all
    PressFocused,    // the focused button goes down, as Space takes it down
    ReleaseFocused,  // and comes up, clicking if it is still down
};

// The window's keyboard. It has no default and no cancel button: Esc does
// nothing, and Tab moves through the focus order from anywhere, the report
// box included. Enter on a command button is Space: one click a press, on
// its release, so that a key held down cannot answer the confirmation the
// click opens; in the report box it starts a new line. A key held down
// since before the window had it (pressed in the confirmation, say) does
// nothing here until it is released.
class KeyRules {
public:
    KeyAction Route(const KeyEvent& key);
    // The window has lost the keyboard: what goes down from now on went
    // down elsewhere until the window sees it go down again.
    void Forget();

private:
    // By virtual key: where it went down in this window, if it did.
    std::optional<FocusKind> down_in_[256];
};

// --- Saving -------------------------------------------------------------

struct LocalTime {
    int year, month, day, hour, minute, second;
};

// "Vantrel dd-mm-yy hh-mm-ss.log", day first, 24-hour clock.
std::wstring LogFileName(const LocalTime& now);

// The name on drive C:, relative to that drive's current directory.
std::wstring LogFilePath(const std::wstring& file_name);

// The report box's text in the ANSI code page, then one CR LF.
std::string LogFileBytes(const std::wstring& report_text);

// What Notepad is started with: "notepad.exe C:" and the unquoted name.
std::wstring NotepadCommandLine(const std::wstring& file_name);

// The Notepad of a system folder (the Windows or the System folder),
// whatever lies beside the program.
std::wstring NotepadProgram(const std::wstring& folder);

// The message shown when a save goes wrong, naming the log by its shown
// path, then the system's reason; the report stays as it was.
std::wstring SaveFailedMessage(const std::wstring& path, const std::wstring& reason);
std::wstring NotepadFailedMessage(const std::wstring& path, const std::wstring& reason);

}  // namespace Vantrel_GUI
