// What the control tables guarantee whatever their figures: one row per panel control, unique
// names and identifiers, rows in tab order, whole pixels inside the window, no control lying
// over another. Literal values are pinned only where they are the specified texts.
#include "ui/ControlTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

using common::PanelControl;

const ui::FormSpec* const kForms[] = {&ui::Form1Spec(), &ui::MyInfoBoxSpec(), &ui::Form2Spec()};

const ui::ControlSpec& PanelRow(PanelControl control) {
    const ui::ControlSpec* row = ui::FindControlById(ui::Form1Spec(), ui::IdOf(control));
    EXPECT_NE(row, nullptr);
    return *row;
}

TEST(ControlTablesTest, RowsAreInTabOrderWithUniqueNamesAndIdentifiers) {
    constexpr std::uint16_t kIdCancel = 2;  // sent by Esc on its own
    for (const ui::FormSpec* form : kForms) {
        SCOPED_TRACE(std::string(form->name));
        std::set<std::string_view> names;
        std::set<std::uint16_t> ids;
        for (std::size_t i = 0; i < form->controls.size(); ++i) {
            const ui::ControlSpec& control = form->controls[i];
            SCOPED_TRACE(std::string(control.name));
            // Created in table order, and Tab follows creation: the table order is the tab order.
            EXPECT_EQ(control.tabIndex, static_cast<int>(i));
            EXPECT_TRUE(names.insert(control.name).second);
            EXPECT_TRUE(ids.insert(control.id).second);
            EXPECT_NE(control.id, kIdCancel);
        }
    }
}

TEST(ControlTablesTest, EveryPanelControlHasExactlyOneRow) {
    const ui::FormSpec& form = ui::Form1Spec();
    const std::uint16_t first = ui::IdOf(PanelControl::Command1);
    const std::uint16_t last = ui::IdOf(PanelControl::Pic1);
    for (std::uint16_t id = first; id <= last; ++id) {
        SCOPED_TRACE(id);
        EXPECT_NE(ui::FindControlById(form, id), nullptr);
    }
    // With unique identifiers (above), no row is left without its control.
    EXPECT_EQ(form.controls.size(), static_cast<std::size_t>(last - first + 1));
}

TEST(ControlTablesTest, GeometryIsWholePixelsAt96DpiAndInsideTheClientArea) {
    for (const ui::FormSpec* form : kForms) {
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

// A click or a glance lands on one control: two controls share at most a one-pixel strip (15
// twips), as the panel's buttons and the fields beside them do.
TEST(ControlTablesTest, NoControlLiesOverAnother) {
    constexpr std::int32_t kHairlineTwips = 15;
    for (const ui::FormSpec* form : kForms) {
        SCOPED_TRACE(std::string(form->name));
        for (std::size_t i = 0; i < form->controls.size(); ++i) {
            for (std::size_t j = i + 1; j < form->controls.size(); ++j) {
                const ui::TwipsRect& a = form->controls[i].rect;
                const ui::TwipsRect& b = form->controls[j].rect;
                const std::int32_t shareX = std::min(a.leftTwips + a.widthTwips, b.leftTwips + b.widthTwips) -
                                            std::max(a.leftTwips, b.leftTwips);
                const std::int32_t shareY =
                    std::min(a.topTwips + a.heightTwips, b.topTwips + b.heightTwips) - std::max(a.topTwips, b.topTwips);
                EXPECT_TRUE(shareX <= kHairlineTwips || shareY <= kHairlineTwips)
                    << form->controls[i].name << " and " << form->controls[j].name;
            }
        }
    }
}

TEST(ControlTablesTest, SpecifiedTexts) {
    EXPECT_EQ(PanelRow(PanelControl::Text3).caption, "5");
    EXPECT_EQ(PanelRow(PanelControl::Text4).caption, "10");
    EXPECT_EQ(PanelRow(PanelControl::Label3).tooltip,
              "Curtate cycloid number of points to approximate curve (180/step)");

    // Both logos carry "Go to " and the maker's address without its scheme.
    std::string_view address = ui::kMakerWebAddress;
    const std::size_t scheme = address.find("://");
    ASSERT_NE(scheme, std::string_view::npos);
    address.remove_prefix(scheme + 3);
    EXPECT_EQ(ui::kLogoTooltip, "Go to " + std::string(address));
    EXPECT_EQ(PanelRow(PanelControl::Pic1).tooltip, ui::kLogoTooltip);
    EXPECT_EQ(ui::FindControlById(ui::MyInfoBoxSpec(), ui::kInfoBoxPic1Id)->tooltip, ui::kLogoTooltip);
}

}  // namespace
