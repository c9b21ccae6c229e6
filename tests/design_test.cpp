#include "form1_design.h"
#include "paste_rule.h"

#include "row_name.h"

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
        if (label.kind != ControlKind::CaptionLabel)
            continue;
        const ControlDesign& field = Control(label.names);
        SCOPED_TRACE(std::string(label.name));
        EXPECT_EQ(field.kind, ControlKind::TextField);
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

struct PasteRow {
    const char* name;
    std::string pasted;
    PastePlan::Kind kind;
    std::string text;                      // IntoField
    std::array<std::string, 3> channels;  // FillChannels
    std::size_t fieldLength = 0;          // in UTF-16 units
    std::size_t selectionLength = 0;
};

void PrintTo(const PasteRow& row, std::ostream* os)
{
    *os << row.name << " (" << row.pasted.size() << " bytes into " << row.fieldLength << " units)";
}

class PastePlanTest : public testing::TestWithParam<PasteRow> {};

TEST_P(PastePlanTest, DecidesWhatGoesWhere)
{
    const PasteRow& row = GetParam();
    const PastePlan plan = PlanPaste(row.pasted, row.fieldLength, row.selectionLength);
    ASSERT_EQ(plan.kind, row.kind);
    if (row.kind == PastePlan::Kind::IntoField)
        EXPECT_EQ(plan.text, row.text);
    else
        EXPECT_EQ(plan.channels, row.channels);
}

constexpr auto kField = PastePlan::Kind::IntoField;
constexpr auto kRow = PastePlan::Kind::FillChannels;
constexpr auto kRefuse = PastePlan::Kind::Refuse;
constexpr std::size_t kLimit = kInputLengthLimit;

std::string Nines(std::size_t count) { return std::string(count, '9'); }

const PasteRow kPasteRows[] = {
    {"PlainText", "128", kField, "128", {}},
    {"TrailingNewline", "128\n", kField, "128", {}},
    {"TrailingCrLf", "128\r\n", kField, "128", {}},
    {"LineBreaksAtBothEnds", "\r\n\n128\n\n", kField, "128", {}},
    {"SeveralLinesKeepTheFirst", "128\n64\n32", kField, "128", {}},
    {"FirstNonEmptyLine", "\n\n64\r\n\r\n32\n", kField, "64", {}},
    {"LoneCarriageReturns", "12\r34", kField, "12", {}},
    {"OnlyLineBreaks", "\n\r\n", kField, "", {}},
    {"Empty", "", kField, "", {}},
    {"BlanksKept", " 12\t", kField, " 12\t", {}},
    {"ControlCharactersKept", std::string("1\x01" "2\0", 4), kField, std::string("1\x01" "2\0", 4), {}},
    {"TwoCellsStayInOneField", "128\t64\n", kField, "128\t64", {}},
    {"FourCellsStayInOneField", "1\t2\t3\t4", kField, "1\t2\t3\t4", {}},
    {"TwoRowsKeepTheFirstLine", "1\t2\t3\n4\t5\t6\n", kField, "1\t2\t3", {}},
    {"RowOfThree", "128\t64\t32", kRow, "", {"128", "64", "32"}},
    {"RowWithNewline", "128\t64\t32\n", kRow, "", {"128", "64", "32"}},
    {"RowWithCrLf", "12.5\t0\t255\r\n", kRow, "", {"12.5", "0", "255"}},
    {"RowWithEmptyCell", "1\t\t3", kRow, "", {"1", "", "3"}},
    {"RowCellsKeptAsTyped", " 1e2 \tabc\t\xE3\x80\x80" "3", kRow, "", {" 1e2 ", "abc", "\xE3\x80\x80" "3"}},
    // How long an input may grow, in UTF-16 units.
    {"FillsToTheLimit", Nines(kLimit - 10), kField, Nines(kLimit - 10), {}, 10},
    {"OneOverTheLimit", Nines(kLimit - 9), kRefuse, "", {}, 10},
    {"SelectionMakesRoom", Nines(5), kField, Nines(5), {}, kLimit, 5},
    {"LineBreaksIntoAFullField", "\r\n", kField, "", {}, kLimit},
    {"ChineseIsOneUnitEach", "\xE4\xB8\x80\xE4\xBA\x8C", kField, "\xE4\xB8\x80\xE4\xBA\x8C", {}, kLimit - 2},
    {"ChineseOneOver", "\xE4\xB8\x80\xE4\xBA\x8C", kRefuse, "", {}, kLimit - 1},
    {"SurrogatePairFits", "\xF0\x9F\x98\x80", kField, "\xF0\x9F\x98\x80", {}, kLimit - 2},
    {"SurrogatePairCountsTwice", "\xF0\x9F\x98\x80", kRefuse, "", {}, kLimit - 1},
    {"RowIntoAFullField", "1\t2\t3", kRow, "", {"1", "2", "3"}, kLimit},
    {"RowCellAtTheLimit", "1\t2\t" + Nines(kLimit), kRow, "", {"1", "2", Nines(kLimit)}},
    {"RowCellOverTheLimit", "1\t2\t" + Nines(kLimit + 1), kRefuse, "", {}},
};
INSTANTIATE_TEST_SUITE_P(Rows, PastePlanTest, testing::ValuesIn(kPasteRows), RowName<PasteRow>);

}  // namespace
}  // namespace quorvel::design
