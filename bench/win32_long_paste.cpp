// The largest paste an input takes, in the real Win32 window: the paste itself
// (the EDIT takes the text and measures it) and the window drawn after it, as
// the user waits for them. Run under Wine by bench/win32_long_paste.py, or on
// Windows as it is.
//
//   win32_long_paste.exe [CHARACTERS] [RUNS]   (default: the input limit, 5)
//
// Times one field's worth into R=, then a spreadsheet row of three such cells,
// which fills R, G and B. Exits 1 if a paste was not taken whole.
#include "clipboard.h"
#include "control_ids.h"
#include "dpi.h"
#include "form1.h"
#include "paste_rule.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

double Seconds()
{
    LARGE_INTEGER frequency{};
    LARGE_INTEGER counter{};
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Pump()
{
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

double Median(std::vector<double> samples)
{
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

// Pastes the text into R= `runs` times and prints what each took; false if an
// input did not end up `length` long.
bool TimePaste(HWND window, HWND red, const std::vector<HWND>& filled, const std::wstring& text, int length,
               int runs, const char* what)
{
    if (!quorvel::win32::PutOnClipboard(window, text)) {
        std::fprintf(stderr, "the clipboard took nothing\n");
        return false;
    }
    std::vector<double> pasting;
    std::vector<double> drawing;
    bool whole = true;
    for (int run = 0; run < runs; ++run) {
        for (HWND input : filled)
            SetWindowTextW(input, L"");
        SetFocus(red);
        UpdateWindow(window);
        Pump();
        const double start = Seconds();
        SendMessageW(red, WM_PASTE, 0, 0);  // as Ctrl+V does
        const double pasted = Seconds();
        UpdateWindow(window);
        const double drawn = Seconds();
        Pump();
        pasting.push_back(pasted - start);
        drawing.push_back(drawn - pasted);
        for (HWND input : filled)
            whole = whole && GetWindowTextLengthW(input) == length;
    }
    std::printf("%s: paste %.3f s + draw %.3f s = %.3f s (medians of %d runs)%s\n", what, Median(pasting),
                Median(drawing), Median(pasting) + Median(drawing), runs, whole ? "" : "; NOT TAKEN WHOLE");
    std::fflush(stdout);
    return whole;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    namespace design = quorvel::design;
    const int length = argc > 1 ? std::max(3, _wtoi(argv[1])) : design::kInputLengthLimit;
    const int runs = argc > 2 ? std::max(1, _wtoi(argv[2])) : 5;

    quorvel::win32::Form1 form(GetModuleHandleW(nullptr));
    form.Show(SW_SHOWNORMAL);
    Pump();
    std::vector<HWND> inputs;
    for (const design::ControlDesign* input : design::kInputs)
        inputs.push_back(GetDlgItem(form.Window(), quorvel::win32::ControlId(*input)));
    if (!form.Window() || std::find(inputs.begin(), inputs.end(), nullptr) != inputs.end()) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    // Digits that read as 128 whatever their length.
    const std::wstring digits = std::wstring(static_cast<std::size_t>(length) - 3, L'0') + L"128";
    std::printf("%d characters into R= (the input limit is %d) under a %d dpi window\n", length,
                design::kInputLengthLimit, quorvel::win32::DpiForWindow(form.Window()));
    const bool one = TimePaste(form.Window(), inputs[0], {inputs[0]}, digits, length, runs, "one field's worth");
    const bool row = TimePaste(form.Window(), inputs[0], inputs, digits + L'\t' + digits + L'\t' + digits, length,
                               runs, "a row of three such cells");
    return one && row ? 0 : 1;
}
