#include "colour_button.h"

#include <QKeyEvent>
#include <QPen>
#include <QStyleOptionButton>
#include <QStylePainter>

void ColourButton::setBackColor(const QColor& colour)
{
    back = colour;
    update();
}

void ColourButton::keyPressEvent(QKeyEvent* event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (!enter || event->modifiers() & ~Qt::KeypadModifier) {
        QPushButton::keyPressEvent(event);
        return;
    }
    event->accept();
    if (!event->isAutoRepeat())  // once per press, however long the key is held
        click();
}

namespace {

constexpr int kFocusInset = 4;

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
    const QColor caption = CaptionColourOn(back);
    // Styles tint the whole face of a focused or hovered button; the face here
    // keeps its exact colour, and focus is shown by a focus rectangle instead.
    option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
    // The border comes from the plain palette: styles cache their bevels per
    // palette, and one cached bevel per colour shown would only grow memory.
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, this);
    painter.fillRect(rect().adjusted(frame, frame, -frame, -frame), back);
    option.palette.setColor(QPalette::ButtonText, caption);
    painter.drawControl(QStyle::CE_PushButtonLabel, option);

    if (focused) {
        // A dotted rectangle in the caption's colour, drawn over the face
        // rather than tinting it as some styles' focus frames do.
        painter.setPen(QPen(caption, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1));
    }
}
