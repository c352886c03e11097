#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "common/PanelSurface.h"

namespace ui {

// The kinds of standard control the tool's windows are built from.
enum class ControlKind { Button, Edit, ListBox, CheckBox, Option, Label, Picture };

// A rectangle in twips relative to the owning window's client area.
struct TwipsRect {
    std::int32_t leftTwips = 0;
    std::int32_t topTwips = 0;
    std::int32_t widthTwips = 0;
    std::int32_t heightTwips = 0;
};

// Which built-in picture a picture control shows.
enum class LogoImage { None, Panel47x46, InfoBox46x46 };

// One control of a window, as data. `id` is the control's identifier within its window
// (what WM_COMMAND carries); a panel row takes both its name and its identifier from its
// common::PanelControl (NameOf, IdOf), so the row is where a panel control's kind, caption
// and place meet its one name. `face` is the colour
// of a button face or of a control's background when it differs from the system face;
// `tooltip` is empty for none.
struct ControlSpec {
    std::string_view name;
    ControlKind kind;
    std::string_view caption;
    TwipsRect rect;
    int tabIndex;
    std::uint16_t id;
    std::optional<common::Rgb> face;
    std::string_view tooltip;
    LogoImage logo = LogoImage::None;
    bool initiallyChecked = false;
};

// A window of the tool: its name, client-area size in twips, background (nothing: the
// system face colour) and controls in tab order.
struct FormSpec {
    std::string_view name;
    std::int32_t clientWidthTwips;
    std::int32_t clientHeightTwips;
    std::optional<common::Rgb> background;
    std::span<const ControlSpec> controls;
};

// The maker's web address, opened by a click on the panel's logo, and the tooltip both
// logos carry: "Go to " and the address without its scheme.
inline constexpr std::string_view kMakerWebAddress = "https://www.example.com/curtate";
inline constexpr std::string_view kLogoTooltip = "Go to www.example.com/curtate";

inline constexpr common::Rgb kLightGreen{192, 255, 192};
inline constexpr common::Rgb kLightOrange{255, 224, 192};
inline constexpr common::Rgb kLightRed{255, 128, 128};
inline constexpr common::Rgb kLightGrey{192, 192, 192};

// The information box's "OK" carries IDOK, so Enter closes the box like a click.
inline constexpr std::uint16_t kInfoBoxOkId = 1;
inline constexpr std::uint16_t kInfoBoxLabel1Id = 1101;
inline constexpr std::uint16_t kInfoBoxPic1Id = 1102;

// The busy box's buttons carry IDRETRY and IDCANCEL, so Esc answers Cancel.
inline constexpr std::uint16_t kBusyBoxRetryId = 4;
inline constexpr std::uint16_t kBusyBoxCancelId = 2;
inline constexpr std::uint16_t kBusyBoxMessageId = 1301;
// What the busy box says.
inline constexpr std::string_view kBusyBoxMessage =
    "Rhino is busy: a dialog box or a command may be open in Rhino. Finish it in Rhino and choose Retry, or "
    "choose Cancel to stop the command.";

inline constexpr std::uint16_t kForm2Option1Id = 1201;
inline constexpr std::uint16_t kForm2Option2Id = 1202;
inline constexpr std::uint16_t kForm2Label1Id = 1203;
inline constexpr std::uint16_t kForm2Label2Id = 1204;

// The identifier of a panel control: its enumeration value.
constexpr std::uint16_t IdOf(common::PanelControl control) {
    return static_cast<std::uint16_t>(control);
}

// The main panel, the information box, the box that asks about a busy host and the host
// version chooser.
const FormSpec& Form1Spec();
const FormSpec& MyInfoBoxSpec();
const FormSpec& BusyBoxSpec();
const FormSpec& Form2Spec();

// The control with identifier `id` in `form`, or nullptr.
const ControlSpec* FindControlById(const FormSpec& form, std::uint16_t id);

}  // namespace ui
