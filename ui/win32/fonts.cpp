#include "fonts.h"

#include "dpi.h"
#include "label_fit.h"
#include "wide_text.h"

#include <cstdlib>
#include <cwchar>

namespace quorvel::win32 {
namespace {

void SetFace(LOGFONTW& font, std::string_view utf8)
{
    const std::wstring face = ToWide(utf8);
    wcsncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = L'\0';
}

bool SameFace(const std::wstring& a, const wchar_t* b)
{
    return CompareStringOrdinal(a.c_str(), -1, b, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

LOGFONTW DesignedLogFont(const design::FontDesign& designed, int dpi)
{
    LOGFONTW font{};
    font.lfHeight = FontHeight(designed.hundredthsOfPoint, dpi);
    font.lfWeight = designed.weight;
    font.lfCharSet = static_cast<BYTE>(designed.characterSet);
    font.lfOutPrecision = OUT_DEFAULT_PRECIS;
    font.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    font.lfQuality = DEFAULT_QUALITY;
    font.lfPitchAndFamily = static_cast<BYTE>(
        DEFAULT_PITCH | (designed.characterSet == design::CharacterSet::Western ? FF_ROMAN : FF_DONTCARE));
    SetFace(font, designed.face);
    return font;
}

std::wstring FaceOf(HFONT font)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    DeleteDC(dc);
    return face;
}

int CaptionWidth(HDC dc, std::string_view caption)
{
    const std::wstring wide = ToWide(caption);
    SIZE extent{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    return extent.cx;
}

LOGFONTW FitLabelFont(LOGFONTW font, int dpi)
{
    HDC dc = CreateCompatibleDC(nullptr);
    const LONG sign = font.lfHeight < 0 ? -1 : 1;
    const auto overflow = [&](int height) {
        font.lfHeight = sign * height;
        HFONT candidate = CreateFontIndirectW(&font);
        const HGDIOBJ previous = SelectObject(dc, candidate);
        const double widest =
            design::CaptionOverflow(dpi, [dc](std::string_view caption) { return CaptionWidth(dc, caption); });
        SelectObject(dc, previous);
        DeleteObject(candidate);
        return widest;
    };
    const int height = design::LargestFittingSize(std::abs(static_cast<int>(font.lfHeight)), overflow);
    font.lfHeight = sign * height;
    DeleteDC(dc);
    return font;
}

HFONT CreateDesignedFont(const design::FontDesign& designed, int dpi)
{
    LOGFONTW font = DesignedLogFont(designed, dpi);
    // Windows hands out a different face rather than failing, so a face
    // counts as installed only when the one chosen carries its name.
    for (std::size_t i = 0; i <= designed.fallbacks.size(); ++i) {
        SetFace(font, i == 0 ? designed.face : designed.fallbacks[i - 1]);
        HFONT candidate = CreateFontIndirectW(&font);
        if (candidate && SameFace(FaceOf(candidate), font.lfFaceName))
            return candidate;
        if (candidate)
            DeleteObject(candidate);
    }
    SetFace(font, designed.face);
    return CreateFontIndirectW(&font);
}

}  // namespace quorvel::win32
