#pragma once

// The shared design in Qt's terms.

#include "form1_design.h"

#include <QFont>
#include <QString>

#include <string_view>

// The design's texts are UTF-8.
QString FromUtf8(std::string_view text);

// The designed font as Qt asks for it. The designed faces are Windows fonts;
// elsewhere the same design shows through faces of the same metrics (Times)
// and the same hand (KaiTi), its fallbacks.
QFont DesignedFont(const quorvel::design::FontDesign& designed);
