#include "colour_button.h"

#include <QStyleOptionButton>
#include <QStylePainter>

void ColourButton::setBackColor(const QColor& colour)
{
    back = colour;
    update();
}

namespace {

// Black on light faces, white on dark ones, so the caption stays legible.
QColor CaptionColourOn(const QColor& face)
{
    const double luminance = 0.299 * face.redF() + 0.587 * face.greenF() + 0.114 * face.blueF();
    return luminance > 0.5 ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace

void ColourButton::paintEvent(QPaintEvent* event)
{
    if (!back.isValid()) {
        QPushButton::paintEvent(event);
        return;
    }

    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool focused = option.state & QStyle::State_HasFocus;
    // Styles tint the whole face of a focused or hovered button; the face here
    // keeps its exact colour, and focus is shown by a focus rectangle instead.
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    option.palette.setColor(QPalette::Button, back);
    option.palette.setColor(QPalette::ButtonText, CaptionColourOn(back));
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    painter.fillRect(rect().adjusted(frame, frame, -frame, -frame), back);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);

    if (focused) {
        QStyleOptionFocusRect focusOption;
        focusOption.initFrom(this);
        focusOption.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        focusOption.backgroundColor = back;
        focusOption.palette.setColor(QPalette::WindowText, CaptionColourOn(back));
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focusOption);
    }
}
