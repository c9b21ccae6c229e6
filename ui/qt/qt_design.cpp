#include "qt_design.h"

#include <QStringList>

namespace design = quorvel::design;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QFont DesignedFont(const design::FontDesign& designed)
{
    static const bool substitutesRegistered = [] {
        for (const design::FontDesign& font : {design::kFieldFont, design::kButtonFont}) {
            QStringList fallbacks;
            for (std::string_view face : font.fallbacks)
                fallbacks << FromUtf8(face);
            QFont::insertSubstitutions(FromUtf8(font.face), fallbacks);
        }
        return true;
    }();
    Q_UNUSED(substitutesRegistered);

    QFont font(FromUtf8(designed.face));
    if (designed.characterSet == design::CharacterSet::Western)
        font.setStyleHint(QFont::Serif);
    font.setPointSizeF(designed.hundredthsOfPoint / 100.0);
    font.setWeight(static_cast<QFont::Weight>(designed.weight));
    return font;
}

QRect ToPixels(const design::Twips& twips)
{
    return QRect(design::ToPixels(twips.left, kDesignDpi), design::ToPixels(twips.top, kDesignDpi),
                 design::ToPixels(twips.width, kDesignDpi), design::ToPixels(twips.height, kDesignDpi));
}
