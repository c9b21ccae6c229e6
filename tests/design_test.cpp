#include "form1_design.h"

#include "layout_pixels.h"

#include <gtest/gtest.h>

#include <string>

namespace quorvel::design {
namespace {

// Every control where the layout table puts it, in the order it was placed.
TEST(Form1Design, IsTheLayoutTableInPixelsAt96Dpi)
{
    ASSERT_EQ(std::size(kControls), std::size(layout_pixels::kAt96));
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        const layout_pixels::PixelRect& pixels = layout_pixels::kAt96[i];
        const Twips& twips = kControls[i].rect;
        EXPECT_EQ(kControls[i].name, pixels.name);
        EXPECT_EQ(ToPixels(twips.left, 96), pixels.left) << pixels.name;
        EXPECT_EQ(ToPixels(twips.top, 96), pixels.top) << pixels.name;
        EXPECT_EQ(ToPixels(twips.width, 96), pixels.width) << pixels.name;
        EXPECT_EQ(ToPixels(twips.height, 96), pixels.height) << pixels.name;
    }
    EXPECT_EQ(ToPixels(kClientArea.width, 96), layout_pixels::kClientWidth);
    EXPECT_EQ(ToPixels(kClientArea.height, 96), layout_pixels::kClientHeight);
}

TEST(Form1Design, FocusVisitsInputsButtonThenOutputs)
{
    std::string visited;
    for (const ControlDesign* control : FocusOrder())
        visited += std::string(control->name) + " ";
    EXPECT_EQ(visited, "Text1 Text2 Text3 Command1 Text4 Text5 Text6 Text7 ");
}

}  // namespace
}  // namespace quorvel::design
