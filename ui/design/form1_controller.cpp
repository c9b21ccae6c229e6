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
        channels[i] = view.Text(kInputs[i]);
    const ConversionResult result = ConvertColour(channels[0], channels[1], channels[2], view.DecimalSeparator());
    if (!result.ok) {
        view.ShowError(kErrorTitle, result.message);
        return;
    }
    view.SetFace(result.colour);
    const std::string* texts[] = {&result.kText, &result.cText, &result.mText, &result.yText};
    for (std::size_t i = 0; i < kOutputs.size(); ++i)
        view.SetOutput(kOutputs[i], *texts[i]);
    face = result.colour;
    view.DescribeFace(HexText(result.colour));
}

bool Form1Controller::EnterPressed(std::string_view focused, bool autoRepeat)
{
    const Role role = Control(focused).role;
    if (role != Role::Input && role != Role::Convert)
        return false;
    if (!autoRepeat)
        Command1Click();
    return true;
}

void Form1Controller::Paste(std::string_view input, std::string_view pasted)
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
        // As if each had been typed; nothing converts until the button is pressed.
        for (std::size_t i = 0; i < kInputs.size(); ++i)
            view.ReplaceText(kInputs[i], plan.channels[i]);
        return;
    }
    Unreachable("a paste plan of no kind");
}

void Form1Controller::DropColour(ColourWord colour)
{
    const std::string channels[] = {std::to_string(colour & 0xFFu), std::to_string((colour >> 8) & 0xFFu),
                                    std::to_string((colour >> 16) & 0xFFu)};
    for (std::size_t i = 0; i < kInputs.size(); ++i)
        view.ReplaceText(kInputs[i], channels[i]);
}

bool Form1Controller::CopyPressed(std::string_view focused)
{
    if (Control(focused).role != Role::Convert)
        return false;
    if (face)
        view.SetClipboardText(HexText(*face));
    return true;
}

std::string HexText(ColourWord colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", colour & 0xFFu, (colour >> 8) & 0xFFu, (colour >> 16) & 0xFFu);
    return text;
}

ColourWord CaptionColourOn(ColourWord colour)
{
    // 0.299 R + 0.587 G + 0.114 B against half of 255, in thousandths.
    const unsigned luminance =
        299u * (colour & 0xFFu) + 587u * ((colour >> 8) & 0xFFu) + 114u * ((colour >> 16) & 0xFFu);
    return luminance > 127'500u ? PackColour(0, 0, 0) : PackColour(255, 255, 255);
}

}  // namespace quorvel::design
