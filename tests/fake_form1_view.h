#pragma once

// A window with no toolkit, for testing Form1's behaviour: it holds the
// fields' texts and writes down, in order, every call the controller makes.

#include "form1_controller.h"

#include <cstdio>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvel::design {

class FakeForm1View : public Form1View {
public:
    std::map<std::string, std::string, std::less<>> fields;
    std::size_t selectionLength = 0;  // of whichever input is asked
    std::string separator = ".";
    std::vector<std::string> calls;

    std::string Text(const ControlDesign& field) const override
    {
        const auto found = fields.find(field.name);
        return found == fields.end() ? std::string() : found->second;
    }
    std::size_t SelectionLength(const ControlDesign&) const override { return selectionLength; }
    void ReplaceSelection(const ControlDesign& input, std::string_view text) override
    {
        Call(std::string(input.name) + " <- " + std::string(text));
    }
    void ReplaceText(const ControlDesign& input, std::string_view text) override { Write(input.name, text); }
    void SetOutput(const ControlDesign& output, std::string_view text) override { Write(output.name, text); }
    void SetFace(ColourWord colour) override
    {
        char hex[16];
        std::snprintf(hex, sizeof hex, "face %06X", static_cast<unsigned>(colour));
        Call(hex);
    }
    void DescribeFace(std::string_view text) override { Call("describe " + std::string(text)); }
    void SetClipboardText(std::string_view text) override { Call("clipboard " + std::string(text)); }
    void ShowError(std::string_view title, std::string_view message) override
    {
        Call("box " + std::string(title) + ": " + std::string(message));
    }
    void Beep() override { Call("beep"); }
    std::string DecimalSeparator() const override { return separator; }

private:
    void Call(std::string call) { calls.push_back(std::move(call)); }
    void Write(std::string_view field, std::string_view text)
    {
        fields[std::string(field)] = std::string(text);
        Call(std::string(field) + " = " + std::string(text));
    }
};

}  // namespace quorvel::design
