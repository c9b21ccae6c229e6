// Form1's behaviour, once for every window, through a window with no toolkit.
#include "fake_form1_view.h"
#include "form1_controller.h"
#include "form1_design.h"
#include "paste_rows.h"

#include "row_name.h"

#include <gtest/gtest.h>

#include <array>
#include <ostream>
#include <string>
#include <vector>

namespace quorvel::design {
namespace {

using Calls = std::vector<std::string>;

struct PressRow {
    const char* name;
    std::array<const char*, 3> inputs;
    Calls calls;  // everything the press does to the window, in order
    const char* separator = ".";
};

void PrintTo(const PressRow& row, std::ostream* os)
{
    *os << row.name << " (" << row.inputs[0] << ", " << row.inputs[1] << ", " << row.inputs[2] << ")";
}

class Command1ClickTest : public testing::TestWithParam<PressRow> {};

TEST_P(Command1ClickTest, DoesExactlyThis)
{
    const PressRow& row = GetParam();
    FakeForm1View view;
    view.separator = row.separator;
    for (std::size_t i = 0; i < kInputs.size(); ++i)
        view.fields[std::string(kInputs[i]->name)] = row.inputs[i];
    Form1Controller(view).Command1Click();
    EXPECT_EQ(view.calls, row.calls);
}

INSTANTIATE_TEST_SUITE_P(
    Presses, Command1ClickTest,
    testing::Values(
        PressRow{"FaceFirstThenKCMY",
                 {"128", "64", "32"},
                 {"face 204080", "Text4 = 0", "Text5 = 49.804", "Text6 = 74.902", "Text7 = 87.451",
                  "describe #804020"}},
        PressRow{"White",
                 {"255", "255", "255"},
                 {"face FFFFFF", "Text4 = 0", "Text5 = .000", "Text6 = .000", "Text7 = .000", "describe #FFFFFF"}},
        PressRow{"UserSeparator",
                 {"12,5", "0", "255"},
                 {"face FF000C", "Text4 = 0", "Text5 = 95,098", "Text6 = 100,000", "Text7 = ,000",
                  "describe #0C00FF"},
                 ","},
        PressRow{"AllEmptyNamesR", {"", "", ""}, {"box 错误: 请输入正确的R色值"}},
        PressRow{"FirstBadChannelOnly", {"10", "300", "abc"}, {"box 错误: 请输入正确的G色值"}},
        PressRow{"NegativeBlue", {"100", "100", "-5"}, {"box 错误: 请输入正确的B色值"}},
        PressRow{"OtherSeparatorIsNotANumber", {"12.5", "0", "0"}, {"box 错误: 请输入正确的R色值"}, ","}),
    RowName<PressRow>);

TEST(Command1Click, AFailureLeavesTheLastGoodDisplay)
{
    FakeForm1View view;
    Form1Controller controller(view);
    view.fields = {{"Text1", "255"}, {"Text2", "255"}, {"Text3", "255"}};
    controller.Command1Click();
    const auto shown = view.fields;
    view.fields["Text2"] = "256";
    view.calls.clear();
    controller.Command1Click();
    EXPECT_EQ(view.calls, Calls{"box 错误: 请输入正确的G色值"});
    view.fields["Text2"] = "255";
    EXPECT_EQ(view.fields, shown) << "nothing the box's press did stayed";
}

struct EnterRow {
    const char* name;
    std::string_view focused;
    bool autoRepeat;
    bool used;
    bool converts;
};

class EnterTest : public testing::TestWithParam<EnterRow> {};

TEST_P(EnterTest, PressesCommand1FromTheInputsAndTheButtonOnly)
{
    const EnterRow& row = GetParam();
    FakeForm1View view;
    view.fields = {{"Text1", "1"}, {"Text2", "2"}, {"Text3", "3"}};
    EXPECT_EQ(Form1Controller(view).EnterPressed(Control(row.focused), row.autoRepeat), row.used);
    EXPECT_EQ(!view.calls.empty(), row.converts);
}

INSTANTIATE_TEST_SUITE_P(Keys, EnterTest,
                         testing::Values(EnterRow{"InR", "Text1", false, true, true},
                                         EnterRow{"InB", "Text3", false, true, true},
                                         EnterRow{"OnTheButton", "Command1", false, true, true},
                                         EnterRow{"HeldOnTheButton", "Command1", true, true, false},
                                         EnterRow{"HeldInG", "Text2", true, true, false},
                                         EnterRow{"InAnOutput", "Text5", false, false, false}),
                         RowName<EnterRow>);

TEST(BoxTakesKey, AllButAHeldEntersRepeats)
{
    EXPECT_TRUE(BoxTakesKey(true, false)) << "a new press of Enter closes the box";
    EXPECT_FALSE(BoxTakesKey(true, true)) << "the repeats of the press that brought it up do not";
    EXPECT_TRUE(BoxTakesKey(false, true)) << "other keys go to the box as usual";
}

// Ctrl+C on Command1 copies the colour it shows, once it shows one.
TEST(CopyPressed, CopiesTheFacesColourFromCommand1Only)
{
    FakeForm1View view;
    Form1Controller controller(view);
    EXPECT_TRUE(controller.CopyPressed(kConvertButton));
    EXPECT_EQ(view.calls, Calls{}) << "nothing to copy before the first good press";
    view.fields = {{"Text1", "128"}, {"Text2", "64"}, {"Text3", "32"}};
    controller.Command1Click();
    view.fields["Text1"] = "abc";
    controller.Command1Click();
    view.calls.clear();
    EXPECT_FALSE(controller.CopyPressed(*kOutputs[1])) << "a field copies its own selection";
    EXPECT_TRUE(controller.CopyPressed(kConvertButton));
    EXPECT_EQ(view.calls, Calls{"clipboard #804020"}) << "the face shown, not the failed press";
}

TEST(DropColour, FillsTheInputsAsTyped)
{
    FakeForm1View view;
    Form1Controller(view).DropColour(PackColour(128, 64, 32));
    EXPECT_EQ(view.calls, (Calls{"Text1 = 128", "Text2 = 64", "Text3 = 32"}));
}

TEST(TypedPastLimit, BeepsAsARefusedPasteDoes)
{
    FakeForm1View view;
    Form1Controller(view).TypedPastLimit(*kInputs[2]);
    EXPECT_EQ(view.calls, Calls{"beep"});
}

using paste_rows::PasteRow;

class PasteTest : public testing::TestWithParam<PasteRow> {};

// The paste rule's rows, through the controller: what goes where, or a beep.
TEST_P(PasteTest, DoesWhatTheRuleSays)
{
    const PasteRow& row = GetParam();
    FakeForm1View view;
    view.fields[std::string(paste_rows::kPastedInto.name)] = std::string(row.fieldLength, '9');
    view.selectionLength = row.selectionLength;
    Form1Controller(view).Paste(paste_rows::kPastedInto, row.pasted);
    EXPECT_EQ(view.calls, paste_rows::ExpectedCalls(row));
}

INSTANTIATE_TEST_SUITE_P(Rule, PasteTest, testing::ValuesIn(paste_rows::kPasteRows), RowName<PasteRow>);

struct CaptionRow {
    const char* name;
    ColourWord face;  // red in the low byte
    ColourWord caption;
};

class CaptionColourTest : public testing::TestWithParam<CaptionRow> {};

TEST_P(CaptionColourTest, StaysLegible)
{
    EXPECT_EQ(CaptionColourOn(GetParam().face), GetParam().caption);
}

constexpr ColourWord kBlack = 0x000000;
constexpr ColourWord kWhite = 0xFFFFFF;

// Black where 0.299 R + 0.587 G + 0.114 B is over half, else white.
INSTANTIATE_TEST_SUITE_P(Faces, CaptionColourTest,
                         testing::Values(CaptionRow{"White", 0xFFFFFF, kBlack}, CaptionRow{"Black", 0x000000, kWhite},
                                         CaptionRow{"GreyJustAboveHalf", 0x808080, kBlack},
                                         CaptionRow{"GreyJustBelowHalf", 0x7F7F7F, kWhite},
                                         CaptionRow{"ExactlyHalfIsDark", 0x44CC00, kWhite},  // 0, 204, 68
                                         CaptionRow{"PureGreen", 0x00FF00, kBlack},
                                         CaptionRow{"PureRed", 0x0000FF, kWhite},
                                         // Red weighs more than blue: swapped bytes would give white.
                                         CaptionRow{"OrangeNotAzure", 0x006EFF, kBlack},
                                         CaptionRow{"Brown", 0x204080, kWhite}),
                         RowName<CaptionRow>);

}  // namespace
}  // namespace quorvel::design
