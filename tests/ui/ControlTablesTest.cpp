#include "ui/ControlTables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

TEST(ControlTablesTest, EachFormHasItsControlsWithUniqueTabIndexesInOrder) {
    static const struct {
        const ui::FormSpec& form;
        std::size_t expectedCount;
    } kCases[] = {{ui::Form1Spec(), 19}, {ui::MyInfoBoxSpec(), 3}, {ui::Form2Spec(), 4}};
    for (const auto& c : kCases) {
        SCOPED_TRACE(std::string(c.form.name));
        ASSERT_EQ(c.form.controls.size(), c.expectedCount);
        std::set<std::string_view> names;
        std::set<std::uint16_t> ids;
        for (std::size_t i = 0; i < c.form.controls.size(); ++i) {
            const ui::ControlSpec& control = c.form.controls[i];
            SCOPED_TRACE(std::string(control.name));
            // Created in table order, so the table order is the tab order 0..n-1.
            EXPECT_EQ(control.tabIndex, static_cast<int>(i));
            EXPECT_TRUE(names.insert(control.name).second);
            EXPECT_TRUE(ids.insert(control.id).second);
            EXPECT_NE(control.id, 2) << "IDCANCEL is sent by Esc";
        }
    }
}

TEST(ControlTablesTest, GeometryIsWholePixelsAt96DpiAndInsideTheClientArea) {
    for (const ui::FormSpec* form : {&ui::Form1Spec(), &ui::MyInfoBoxSpec(), &ui::Form2Spec()}) {
        SCOPED_TRACE(std::string(form->name));
        EXPECT_EQ(form->clientWidthTwips % 15, 0);
        EXPECT_EQ(form->clientHeightTwips % 15, 0);
        for (const ui::ControlSpec& control : form->controls) {
            SCOPED_TRACE(std::string(control.name));
            const ui::TwipsRect& r = control.rect;
            EXPECT_EQ(r.leftTwips % 15, 0);
            EXPECT_EQ(r.topTwips % 15, 0);
            EXPECT_EQ(r.widthTwips % 15, 0);
            EXPECT_EQ(r.heightTwips % 15, 0);
            EXPECT_GT(r.widthTwips, 0);
            EXPECT_GT(r.heightTwips, 0);
            EXPECT_LE(r.leftTwips + r.widthTwips, form->clientWidthTwips);
            EXPECT_LE(r.topTwips + r.heightTwips, form->clientHeightTwips);
        }
    }
}

TEST(ControlTablesTest, PanelTabOrderStartsWithThePickButtons) {
    const ui::FormSpec& form = ui::Form1Spec();
    const char* const kOrder[] = {"Command5", "Command2", "Command6", "Command7", "Command8", "Command4", "Command1",
                                  "Command3", "Text4",    "Pic1",     "Text3",    "List1",    "Text2",    "Text1",
                                  "Label5",   "Label3",   "Label2",   "Text5",    "Check1"};
    for (std::size_t i = 0; i < std::size(kOrder); ++i) {
        EXPECT_EQ(form.controls[i].name, kOrder[i]) << "tab index " << i;
    }
}

TEST(ControlTablesTest, ColouredFacesAndInitialContents) {
    const ui::FormSpec& form = ui::Form1Spec();
    static const struct {
        const char* name;
        std::optional<common::Rgb> face;
    } kFaces[] = {
        {"Command6", common::Rgb{192, 255, 192}},
        {"Command7", common::Rgb{192, 255, 192}},
        {"Command8", common::Rgb{192, 255, 192}},
        {"Command4", common::Rgb{255, 224, 192}},
        {"Command5", std::nullopt},
        {"Command1", std::nullopt},
    };
    for (const auto& c : kFaces) {
        SCOPED_TRACE(c.name);
        const ui::ControlSpec* control = ui::FindControl(form, c.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->face, c.face);
    }
    EXPECT_EQ(ui::FindControl(form, "Text3")->caption, "5");
    EXPECT_EQ(ui::FindControl(form, "Text4")->caption, "10");
    EXPECT_TRUE(ui::FindControl(form, "Check1")->initiallyChecked);
    EXPECT_EQ(ui::FindControl(ui::MyInfoBoxSpec(), "Command1")->face, (common::Rgb{255, 128, 128}));
}

TEST(ControlTablesTest, LogoTooltipIsTheWebAddressWithoutItsScheme) {
    std::string_view address = ui::kMakerWebAddress;
    const std::size_t scheme = address.find("://");
    ASSERT_NE(scheme, std::string_view::npos);
    address.remove_prefix(scheme + 3);
    EXPECT_EQ(ui::kLogoTooltip, "Go to " + std::string(address));
    EXPECT_EQ(ui::FindControl(ui::Form1Spec(), "Pic1")->tooltip, ui::kLogoTooltip);
    EXPECT_EQ(ui::FindControl(ui::MyInfoBoxSpec(), "Pic1")->tooltip, ui::kLogoTooltip);
    EXPECT_EQ(ui::FindControl(ui::Form1Spec(), "Label3")->tooltip,
              "Curtate cycloid number of points to approximate curve (180/step)");
}

}  // namespace
