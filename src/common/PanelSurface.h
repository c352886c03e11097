#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace common {

// The main panel's controls, by their control names: the one name of each control, which the
// panel's control table, its window, its handlers and this surface all use. Each value is
// also the control's identifier in the panel's window (what its command messages carry); the
// values start above IDOK (1) and IDCANCEL (2), which the Enter and Esc keys send on their own.
enum class PanelControl : std::uint16_t {
    Command1 = 1001,  // "SelAllPts"
    Command2,         // "Create"
    Command3,         // "Del All pts"
    Command4,         // "Generate Curtate Cycloid"
    Command5,         // "Pick Line"
    Command6,         // "Pick XY curve"
    Command7,         // "Pick YZ curve"
    Command8,         // "Pick Points"
    Text1,
    Text2,
    Text3,
    Text4,
    Text5,
    List1,
    Check1,
    Label2,
    Label3,
    Label5,
    Pic1,  // the logo: its click opens the maker's web address
};

// The control's name, the enumerator's own spelling ("Command5", "Text3", ...): what the
// control table and every message or trace naming a panel control show.
constexpr std::string_view NameOf(PanelControl control) {
    switch (control) {
        case PanelControl::Command1:
            return "Command1";
        case PanelControl::Command2:
            return "Command2";
        case PanelControl::Command3:
            return "Command3";
        case PanelControl::Command4:
            return "Command4";
        case PanelControl::Command5:
            return "Command5";
        case PanelControl::Command6:
            return "Command6";
        case PanelControl::Command7:
            return "Command7";
        case PanelControl::Command8:
            return "Command8";
        case PanelControl::Text1:
            return "Text1";
        case PanelControl::Text2:
            return "Text2";
        case PanelControl::Text3:
            return "Text3";
        case PanelControl::Text4:
            return "Text4";
        case PanelControl::Text5:
            return "Text5";
        case PanelControl::List1:
            return "List1";
        case PanelControl::Check1:
            return "Check1";
        case PanelControl::Label2:
            return "Label2";
        case PanelControl::Label3:
            return "Label3";
        case PanelControl::Label5:
            return "Label5";
        case PanelControl::Pic1:
            return "Pic1";
    }
    return {};
}

// A colour as red, green and blue from 0 to 255.
struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

inline constexpr Rgb kStatusRed{255, 0, 0};
inline constexpr Rgb kStatusBlue{0, 0, 255};

// What the command handlers need of the main panel, and nothing more. The Win32 panel
// implements it with real controls; tests use an in-memory panel with scripted answers.
class PanelSurface {
  public:
    virtual ~PanelSurface() = default;

    // The whole text of the text field `field` (Text1 to Text5), exactly as it stands.
    virtual std::string FieldText(PanelControl field) const = 0;
    // Replaces the whole text of the text field `field` (Text1 to Text5).
    virtual void SetFieldText(PanelControl field, const std::string& text) = 0;

    // Number of rows of List1.
    virtual std::size_t ListCount() const = 0;
    // The text of row `index` (0-based); empty when out of range.
    virtual std::string ListRow(std::size_t index) const = 0;
    // The selected row of List1, or nothing when no row is selected.
    virtual std::optional<std::size_t> ListSelectedRow() const = 0;
    // True when a row's whole text equals `text` ignoring letter case (the list's
    // exact-match search); kept fast by an index beside the rows.
    virtual bool ListHasRowIgnoringCase(const std::string& text) const = 0;
    // Appends a row at the end (the list is not sorted).
    virtual void ListAppend(const std::string& text) = 0;
    // Removes every row.
    virtual void ListClear() = 0;
    // Stops (false) or resumes (true) repainting List1; pauses nest, and the list repaints
    // once when the last one ends. A command appending many rows pauses around them, so the
    // list is painted once rather than after every row.
    virtual void SetListRedraw(bool redraw) noexcept = 0;

    // True exactly when Check1 ("Generate both sides") is checked.
    virtual bool BothSidesChecked() const = 0;

    // The status label Label2: caption, text colour and visibility.
    virtual void SetStatusCaption(const std::string& caption) = 0;
    virtual void SetStatusColor(Rgb color) = 0;
    virtual void SetStatusVisible(bool visible) = 0;

    // Shows `message` in a fresh information box, modal and owned by the panel; returns
    // when the user has closed it with "OK".
    virtual void ShowMessage(const std::string& message) = 0;

    // Lets the window messages already queued for the tool's windows run, then returns.
    // A click waiting in the queue runs its handler from inside this call.
    virtual void LetPendingMessagesRun() = 0;
};

// Holds List1's repainting off for a scope: rows appended meanwhile are painted together when
// the scope ends, also when it ends by a host error.
class ListRedrawPause {
  public:
    explicit ListRedrawPause(PanelSurface& panel) : panel_(panel) { panel_.SetListRedraw(false); }
    ~ListRedrawPause() { panel_.SetListRedraw(true); }
    ListRedrawPause(const ListRedrawPause&) = delete;
    ListRedrawPause& operator=(const ListRedrawPause&) = delete;

  private:
    PanelSurface& panel_;
};

}  // namespace common
