#include "colour_button.h"

#include "form1_controller.h"
#include "form1_design.h"

#include <QPen>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

QColor ToQColor(quorvel::ColourWord colour)
{
    const auto [red, green, blue] = quorvel::Channels(colour);
    return QColor(red, green, blue);
}

}  // namespace

QColor ColourButton::backColor() const { return back ? ToQColor(*back) : QColor(); }

void ColourButton::setBackColor(quorvel::ColourWord colour)
{
    back = colour;
    update();
}

void ColourButton::paintEvent(QPaintEvent* event)
{
    if (!back) {
        QPushButton::paintEvent(event);
        return;
    }

    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool focused = option.state & QStyle::State_HasFocus;
    const QColor caption = ToQColor(quorvel::design::CaptionColourOn(*back));
    // Styles tint the whole face of a focused or hovered button; the face here
    // keeps its exact colour, and focus is shown by a focus rectangle instead.
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    // The border comes from the plain palette: styles cache their bevels per
    // palette, and one cached bevel per colour shown would only grow memory.
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    painter.fillRect(rect().adjusted(frame, frame, -frame, -frame), ToQColor(*back));
    option.palette.setColor(QPalette::ButtonText, caption);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);

    if (focused) {
        // A dotted rectangle in the caption's colour, drawn over the face
        // rather than tinting it as some styles' focus frames do.
        painter.setPen(QPen(caption, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(quorvel::design::kFocusInset, quorvel::design::kFocusInset, -quorvel::design::kFocusInset - 1, -quorvel::design::kFocusInset - 1));
    }
}
