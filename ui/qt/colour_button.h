#pragma once

#include "colour_conversion.h"

#include <QColor>
#include <QPushButton>

#include <optional>

// A push button whose face can be painted in one exact colour, like a
// graphical-style button with a BackColor. Until a colour is set it is drawn
// as the platform draws any push button.
class ColourButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    // Invalid until the first colour is set.
    QColor backColor() const;
    void setBackColor(quorvel::ColourWord colour);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::optional<quorvel::ColourWord> back;
};
