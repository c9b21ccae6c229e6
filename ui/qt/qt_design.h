#pragma once

// The shared design in Qt's terms.

#include "form1_design.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <string_view>

// Qt lays out in pixels at 96 dots per inch and scales them for the screen itself.
inline constexpr int kDesignDpi = 96;

// The design's texts are UTF-8.
QString FromUtf8(std::string_view text);

// The designed font as Qt asks for it. The designed faces are Windows fonts;
// elsewhere the same design shows through faces of the same metrics (Times)
// and the same hand (KaiTi), its fallbacks.
QFont DesignedFont(const quorvel::design::FontDesign& designed);

// A designed rectangle in Qt's pixels.
QRect ToPixels(const quorvel::design::Twips& twips);
