#include "form1_controller.h"

#include "form1_design.h"
#include "paste_rule.h"

#include <array>
#include <cstdio>

namespace quorvel::design {

void Form1Controller::Command1Click()
{
    std::array<std::string, 3> channels;
    for (std::size_t i = 0; i < channels.size(); ++i)
        channels[i] = view.Text(*kInputs[i]);
    const ConversionResult result = ConvertColour(channels[0], channels[1], channels[2], view.DecimalSeparator());
    if (!result.ok) {
        view.ShowError(kErrorTitle, result.message);
        return;
    }
    view.SetFace(result.colour);
    const std::string* texts[] = {&result.kText, &result.cText, &result.mText, &result.yText};
    for (std::size_t i = 0; i < kOutputs.size(); ++i)
        view.SetOutput(*kOutputs[i], *texts[i]);
    face = result.colour;
    view.DescribeFace(HexText(result.colour));
}

bool Form1Controller::EnterPressed(const ControlDesign& focused, bool autoRepeat)
{
    if (focused.role != Role::Input && focused.role != Role::Convert)
        return false;
    if (!autoRepeat)
        Command1Click();
    return true;
}

void Form1Controller::Paste(const ControlDesign& input, std::string_view pasted)
{
    const PastePlan plan = PlanPaste(pasted, Utf16Length(view.Text(input)), view.SelectionLength(input));
    switch (plan.kind) {
    case PastePlan::Kind::Refuse:
        view.Beep();
        return;
    case PastePlan::Kind::IntoField:
        if (!plan.text.empty())
            view.ReplaceSelection(input, plan.text);
        return;
    case PastePlan::Kind::FillChannels:
        FillInputs(plan.channels);
        return;
    }
    Unreachable("a paste plan of no kind");
}

void Form1Controller::DropColour(ColourWord colour) { FillInputs(ChannelTexts(colour)); }

void Form1Controller::TypedPastLimit(const ControlDesign& field)
{
    if (field.role == Role::Input)
        view.Beep();
}

bool Form1Controller::CopyPressed(const ControlDesign& focused)
{
    if (focused.role != Role::Convert)
        return false;
    if (face)
        view.SetClipboardText(HexText(*face));
    return true;
}

void Form1Controller::FillInputs(const std::array<std::string, 3>& texts)
{
    for (std::size_t i = 0; i < kInputs.size(); ++i)
        view.ReplaceText(*kInputs[i], texts[i]);
}

std::string HexText(ColourWord colour)
{
    const auto [red, green, blue] = Channels(colour);
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", red, green, blue);
    return text;
}

ColourWord CaptionColourOn(ColourWord colour)
{
    // 0.299 R + 0.587 G + 0.114 B against half of 255, in thousandths.
    const auto [red, green, blue] = Channels(colour);
    const int luminance = 299 * red + 587 * green + 114 * blue;
    return luminance > 127'500 ? PackColour(0, 0, 0) : PackColour(255, 255, 255);
}

}  // namespace quorvel::design
