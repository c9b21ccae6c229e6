#pragma once

// Form1's behaviour, written once for every window: the convert action, what
// a paste into an input does, which control Enter presses, and the caption's
// colour on a painted face. It never sees a widget: it speaks to the window
// through Form1View, which each toolkit implements, and the window turns its
// events into the calls below.

#include "colour_conversion.h"
#include "form1_design.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace quorvel::design {

// What the behaviour needs of a window. Controls are kControls' entries;
// texts are UTF-8; lengths are in UTF-16 units, as both toolkits count them.
class Form1View {
public:
    virtual ~Form1View() = default;

    virtual std::string Text(const ControlDesign& field) const = 0;
    virtual std::size_t SelectionLength(const ControlDesign& input) const = 0;
    // Both as if typed, so that the user can undo them.
    virtual void ReplaceSelection(const ControlDesign& input, std::string_view text) = 0;
    virtual void ReplaceText(const ControlDesign& input, std::string_view text) = 0;

    virtual void SetOutput(const ControlDesign& output, std::string_view text) = 0;
    // Paints Command1's face in the colour; the caption takes CaptionColourOn(colour).
    virtual void SetFace(ColourWord colour) = 0;
    // Names the face's colour in Command1's tooltip and accessible description.
    virtual void DescribeFace(std::string_view text) = 0;
    virtual void SetClipboardText(std::string_view text) = 0;
    // A modal box with one OK button and no icon; returns once it is dismissed.
    virtual void ShowError(std::string_view title, std::string_view message) = 0;
    virtual void Beep() = 0;
    // The user's locale's, which channel texts are read with and outputs written with.
    virtual std::string DecimalSeparator() const = 0;
};

class Form1Controller {
public:
    explicit Form1Controller(Form1View& window) : view(window) {}

    // Command1's Click: reads R, G and B; then paints the face and writes K,
    // C, M and Y, in that order, and names the face's colour; or shows the box
    // naming the first bad channel and changes nothing else.
    void Command1Click();

    // Enter or Return pressed with that control focused: the inputs and the
    // button press Command1, once per press (a held key's repeats do
    // nothing); the outputs take no action. Returns whether it was used.
    bool EnterPressed(const ControlDesign& focused, bool autoRepeat);

    // A text pasted (or dropped) into one of the inputs, by the paste rule:
    // it goes in at the caret, or fills R, G and B, or is refused whole with
    // a beep.
    void Paste(const ControlDesign& input, std::string_view pasted);

    // A colour dragged from another program and dropped on an input: it fills
    // R, G and B, as a pasted colour does.
    void DropColour(ColourWord colour);

    // A key typed into a field that holds kInputLengthLimit characters
    // already, which the field refused: an input beeps, as for a refused paste.
    void TypedPastLimit(const ControlDesign& field);

    // Copy (Ctrl+C) with that control focused: on Command1, once it shows a
    // colour, the colour goes to the clipboard as #RRGGBB. Returns whether it
    // was used; the fields copy their own selections.
    bool CopyPressed(const ControlDesign& focused);

private:
    // R, G and B replaced as if typed; nothing converts until the button is pressed.
    void FillInputs(const std::array<std::string, 3>& texts);

    Form1View& view;
    std::optional<ColourWord> face;  // what Command1 shows, after the first good press
};

// A key pressed while the error box is up, on its way to the box: whether the
// box may have it. A held Enter's repeats never reach the box, so that holding
// the key that brought the box up does not close it before it is read; a new
// press does.
constexpr bool BoxTakesKey(bool enter, bool autoRepeat) { return !(enter && autoRepeat); }

// The colour as people copy it: "#RRGGBB", upper-case hex.
std::string HexText(ColourWord colour);

// Black on light faces, white on dark ones, so that the caption stays legible.
ColourWord CaptionColourOn(ColourWord face);

}  // namespace quorvel::design
