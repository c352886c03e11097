#include "ui/ControlTables.h"

#include <array>

namespace ui {
namespace {

using K = ControlKind;
using P = common::PanelControl;

// A row of the main panel: its name and identifier both come from its enumerator.
constexpr ControlSpec PanelRow(P control,
                               K kind,
                               std::string_view caption,
                               TwipsRect rect,
                               int tabIndex,
                               std::optional<common::Rgb> face = {},
                               std::string_view tooltip = {},
                               LogoImage logo = LogoImage::None,
                               bool initiallyChecked = false) {
    return ControlSpec{.name = common::NameOf(control),
                       .kind = kind,
                       .caption = caption,
                       .rect = rect,
                       .tabIndex = tabIndex,
                       .id = IdOf(control),
                       .face = face,
                       .tooltip = tooltip,
                       .logo = logo,
                       .initiallyChecked = initiallyChecked};
}

constexpr std::array kForm1Controls{
    PanelRow(P::Command5, K::Button, "Pick Line", {0, 60, 1215, 345}, 0),
    PanelRow(P::Command2, K::Button, "Create", {1230, 420, 1155, 285}, 1),
    PanelRow(P::Command6, K::Button, "Pick XY curve", {0, 750, 1215, 315}, 2, kLightGreen),
    PanelRow(P::Command7, K::Button, "Pick YZ curve", {0, 1080, 1215, 315}, 3, kLightGreen),
    PanelRow(P::Command8, K::Button, "Pick Points", {0, 1440, 1215, 315}, 4, kLightGreen),
    PanelRow(P::Command4, K::Button, "Generate Curtate Cycloid", {2220, 3030, 2595, 375}, 5, kLightOrange),
    PanelRow(P::Command1, K::Button, "SelAllPts", {30, 1830, 1185, 285}, 6),
    PanelRow(P::Command3, K::Button, "Del All pts", {30, 2190, 1185, 285}, 7),
    PanelRow(P::Text4, K::Edit, "10", {2400, 420, 405, 285}, 8),
    PanelRow(P::Pic1, K::Picture, "", {240, 2520, 705, 675}, 9, {}, kLogoTooltip, LogoImage::Panel47x46),
    PanelRow(P::Text3, K::Edit, "5", {1620, 2880, 495, 285}, 10),
    PanelRow(P::List1, K::ListBox, "", {1200, 1410, 3615, 1230}, 11),
    PanelRow(P::Text2, K::Edit, "", {1200, 1080, 3615, 285}, 12),
    PanelRow(P::Text1, K::Edit, "", {1200, 750, 3615, 285}, 13),
    PanelRow(P::Label5, K::Label, "points on the line above", {2880, 450, 1935, 255}, 14),
    PanelRow(P::Label3,
             K::Label,
             "Step",
             {1200, 2910, 405, 225},
             15,
             {},
             "Curtate cycloid number of points to approximate curve (180/step)"),
    PanelRow(P::Label2, K::Label, "", {1230, 2670, 2775, 195}, 16),
    PanelRow(P::Text5, K::Edit, "", {1200, 60, 3615, 315}, 17),
    PanelRow(P::Check1, K::CheckBox, "Generate both sides", {270, 3210, 1845, 195}, 18, {}, {}, LogoImage::None, true),
};

constexpr std::array kInfoBoxControls{
    ControlSpec{"Command1", K::Button, "OK", {1830, 930, 1545, 315}, 0, kInfoBoxOkId, kLightRed, {}},
    ControlSpec{"Label1", K::Label, "", {870, 150, 3435, 735}, 1, kInfoBoxLabel1Id, kLightGrey, {}},
    ControlSpec{"Pic1",
                K::Picture,
                "",
                {30, 270, 735, 675},
                2,
                kInfoBoxPic1Id,
                {},
                kLogoTooltip,
                LogoImage::InfoBox46x46},
};

constexpr std::array kBusyBoxControls{
    ControlSpec{"Retry", K::Button, "Retry", {600, 930, 1545, 315}, 0, kBusyBoxRetryId, kLightGreen, {}},
    ControlSpec{"Cancel", K::Button, "Cancel", {2325, 930, 1545, 315}, 1, kBusyBoxCancelId, kLightRed, {}},
    ControlSpec{"Message", K::Label, kBusyBoxMessage, {150, 150, 4170, 735}, 2, kBusyBoxMessageId, kLightGrey, {}},
};

constexpr std::array kForm2Controls{
    ControlSpec{"Option1", K::Option, "Rhino3", {1260, 750, 1035, 195}, 0, kForm2Option1Id, kLightGreen, {}},
    ControlSpec{"Option2", K::Option, "Rhino4", {1260, 1020, 1005, 255}, 1, kForm2Option2Id, kLightGreen, {}},
    ControlSpec{"Label1",
                K::Label,
                "You have both Rhino3 and Rhino4 running!",
                {180, 60, 3165, 285},
                2,
                kForm2Label1Id,
                kLightGreen,
                {}},
    ControlSpec{"Label2",
                K::Label,
                "Where do you want to run the plugin?",
                {150, 390, 3255, 315},
                3,
                kForm2Label2Id,
                kLightGreen,
                {}},
};

constexpr FormSpec kForm1{"Form1", 4860, 3465, std::nullopt, kForm1Controls};
constexpr FormSpec kMyInfoBox{"MyInfoBox", 4470, 1305, kLightGrey, kInfoBoxControls};
constexpr FormSpec kBusyBox{"BusyBox", 4470, 1305, kLightGrey, kBusyBoxControls};
constexpr FormSpec kForm2{"Form2", 3525, 1365, kLightGreen, kForm2Controls};

}  // namespace

const FormSpec& Form1Spec() {
    return kForm1;
}

const FormSpec& MyInfoBoxSpec() {
    return kMyInfoBox;
}

const FormSpec& BusyBoxSpec() {
    return kBusyBox;
}

const FormSpec& Form2Spec() {
    return kForm2;
}

const ControlSpec* FindControlById(const FormSpec& form, std::uint16_t id) {
    for (const ControlSpec& control : form.controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

}  // namespace ui
