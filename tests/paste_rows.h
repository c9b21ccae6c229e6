#pragma once

// The paste rule's table, shared by the rule's own test through the controller
// and the Win32 window's, which pastes its rows through the window's own paste.

#include "form1_design.h"
#include "paste_rule.h"

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace quorvel::design::paste_rows {

struct PasteRow {
    const char* name;
    std::string pasted;
    PastePlan::Kind kind;
    std::string text;                      // IntoField
    std::array<std::string, 3> channels;  // FillChannels
    std::size_t fieldLength = 0;          // in UTF-16 units
    std::size_t selectionLength = 0;
};

inline void PrintTo(const PasteRow& row, std::ostream* os)
{
    *os << row.name << " (" << row.pasted.size() << " bytes into " << row.fieldLength << " units)";
}

inline constexpr auto kField = PastePlan::Kind::IntoField;
inline constexpr auto kRow = PastePlan::Kind::FillChannels;
inline constexpr auto kRefuse = PastePlan::Kind::Refuse;
inline constexpr std::size_t kLimit = kInputLengthLimit;

inline std::string Nines(std::size_t count) { return std::string(count, '9'); }

inline const PasteRow kPasteRows[] = {
    {"PlainText", "128", kField, "128", {}},
    {"TrailingNewline", "128\n", kField, "128", {}},
    {"TrailingCrLf", "128\r\n", kField, "128", {}},
    {"LineBreaksAtBothEnds", "\r\n\n128\n\n", kField, "128", {}},
    {"SeveralLinesKeepTheFirst", "128\n64\n32", kField, "128", {}},
    {"FirstNonEmptyLine", "\n\n64\r\n\r\n32\n", kField, "64", {}},
    {"LoneCarriageReturns", "12\r34", kField, "12", {}},
    {"OnlyLineBreaks", "\n\r\n", kField, "", {}},
    {"Empty", "", kField, "", {}},
    {"BlanksKept", " 12 ", kField, " 12 ", {}},
    {"StrayTabRefused", " 12\t", kRefuse, "", {}},
    {"ControlCharactersKept", std::string("1\x01" "2\0", 4), kField, std::string("1\x01" "2\0", 4), {}},
    {"TwoCellsRefused", "128\t64\n", kRefuse, "", {}},
    {"FourCellsRefused", "1\t2\t3\t4", kRefuse, "", {}},
    {"TwoRowsFillFromTheFirst", "1\t2\t3\r\n4\t5\t6\r\n", kRow, "", {"1", "2", "3"}},
    {"RowAfterEmptyLines", "\r\n\r\n7\t8\t9", kRow, "", {"7", "8", "9"}},
    {"TwoCellRowThenRowRefused", "1\t2\n4\t5\t6\n", kRefuse, "", {}},
    {"RowOfThree", "128\t64\t32", kRow, "", {"128", "64", "32"}},
    {"RowWithNewline", "128\t64\t32\n", kRow, "", {"128", "64", "32"}},
    {"RowWithCrLf", "12.5\t0\t255\r\n", kRow, "", {"12.5", "0", "255"}},
    {"RowWithEmptyCell", "1\t\t3", kRow, "", {"1", "", "3"}},
    {"RowCellsKeptAsTyped", " 1e2 \tabc\t\xE3\x80\x80" "3", kRow, "", {" 1e2 ", "abc", "\xE3\x80\x80" "3"}},
    // Colours as people copy them fill R, G and B with plain decimals.
    {"Hex", "#804020", kRow, "", {"128", "64", "32"}},
    {"HexEitherCase", "#aBcDeF", kRow, "", {"171", "205", "239"}},
    {"ShortHexDoublesEachDigit", "#f80", kRow, "", {"255", "136", "0"}},
    {"HexWithBlanksAndLineBreak", "  #FFFFFF \r\n", kRow, "", {"255", "255", "255"}},
    {"CssWithCommas", "rgb(128, 64, 32)", kRow, "", {"128", "64", "32"}},
    {"CssWithBlanksAnyCase", "RGB( 0 128  255 )", kRow, "", {"0", "128", "255"}},
    {"CssOnTheFirstNonEmptyLine", "\nrgb(1,2,3)\n#000000", kRow, "", {"1", "2", "3"}},
    // Near misses are pasted as text: the box then says which channel is wrong.
    {"HexFiveDigits", "#80402", kField, "#80402", {}},
    {"HexNotADigit", "#80402g", kField, "#80402g", {}},
    {"HexSigned", "#-1-1-1", kField, "#-1-1-1", {}},
    {"FourDigitsAreANumber", "1000", kField, "1000", {}},
    {"SevenDigitsAreANumber", "1000000", kField, "1000000", {}},
    {"CssTwoNumbers", "rgb(1,2)", kField, "rgb(1,2)", {}},
    {"CssWithAlpha", "rgba(1,2,3,1)", kField, "rgba(1,2,3,1)", {}},
    {"CssPercentages", "rgb(50%, 0%, 0%)", kField, "rgb(50%, 0%, 0%)", {}},
    {"CssOutOfRange", "rgb(256, 0, 0)", kField, "rgb(256, 0, 0)", {}},
    {"CssMixedSeparators", "rgb(1, 2 3)", kField, "rgb(1, 2 3)", {}},
    {"CssFraction", "rgb(1.5, 2, 3)", kField, "rgb(1.5, 2, 3)", {}},
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
// The input the rows are pasted into, and what the controller then does to the
// window, as FakeForm1View writes it down.
inline const ControlDesign& kPastedInto = *kInputs[1];

inline std::vector<std::string> ExpectedCalls(const PasteRow& row)
{
    switch (row.kind) {
    case kRefuse:
        return {"beep"};
    case kField:
        if (row.text.empty())
            return {};
        return {std::string(kPastedInto.name) + " <- " + row.text};
    case kRow:
        break;
    }
    std::vector<std::string> calls;
    for (std::size_t i = 0; i < kInputs.size(); ++i)
        calls.push_back(std::string(kInputs[i]->name) + " = " + row.channels[i]);
    return calls;
}

}  // namespace quorvel::design::paste_rows
