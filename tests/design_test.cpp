#include "form1_design.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace quorvel::design {
namespace {

// The rules the layout was drawn by, checked against the table.
TEST(Form1Design, FollowsItsLayoutRules)
{
    const Twips text1 = Control("Text1").rect;
    const Twips text3 = Control("Text3").rect;
    const Twips button = Control("Command1").rect;
    EXPECT_EQ(button.top, text1.top) << "the button's top is level with Text1's";
    EXPECT_EQ(button.top + button.height, text3.top + text3.height + 225) << "and reaches 225 below Text3";

    for (const ControlDesign& label : kControls) {
        if (label.kind() != ControlKind::CaptionLabel)
            continue;
        const ControlDesign& field = Control(label.names);
        SCOPED_TRACE(std::string(label.name));
        EXPECT_EQ(field.kind(), ControlKind::TextField);
        EXPECT_EQ(label.rect.top, field.rect.top + 120);
        EXPECT_EQ(label.rect.left, field.rect.left - 240);
        EXPECT_EQ(label.rect.left + label.rect.width - field.rect.left, 135) << "the label's end lies under its field";
        EXPECT_LT(&label, &field) << "the field is made after its label, so it is drawn over it";
    }

    for (const auto& column : {kInputs, std::array<std::string_view, 3>{"Text4", "Text5", "Text6"}}) {
        for (std::size_t row = 1; row < column.size(); ++row)
            EXPECT_EQ(Control(column[row]).rect.top - Control(column[row - 1]).rect.top, 600) << column[row];
    }
    EXPECT_EQ(Control("Text4").rect.top, Control("Text1").rect.top - 120) << "outputs start 120 higher";

    for (const ControlDesign& control : kControls) {
        EXPECT_LE(control.rect.left + control.rect.width, kClientArea.width) << control.name;
        EXPECT_LE(control.rect.top + control.rect.height, kClientArea.height) << control.name;
    }
}

TEST(Form1Design, FocusVisitsInputsButtonThenOutputs)
{
    std::string visited;
    for (const ControlDesign* control : FocusOrder())
        visited += std::string(control->name) + " ";
    EXPECT_EQ(visited, "Text1 Text2 Text3 Command1 Text4 Text5 Text6 Text7 ");

    std::set<int> tabIndices;
    for (const ControlDesign& control : kControls)
        tabIndices.insert(control.tabIndex);
    EXPECT_EQ(tabIndices.size(), std::size(kControls)) << "every tab index is used once";
}

TEST(Form1Design, PixelsAtTheDesignedAndDoubledDensity)
{
    EXPECT_EQ(ToPixels(kClientArea.width, 96), 312);
    EXPECT_EQ(ToPixels(kClientArea.height, 96), 206);
    EXPECT_EQ(ToPixels(kClientArea.width, 192), 624);
    EXPECT_EQ(ToPixels(kClientArea.height, 192), 412);
    EXPECT_EQ(ToPixels(1095, 120), 91) << "91.25 rounds to nearest, as MulDiv does";
    EXPECT_EQ(ToPixels(390, 144), 39);
}

}  // namespace
}  // namespace quorvel::design
