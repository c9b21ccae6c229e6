#pragma once

#include <QColor>
#include <QPushButton>

// A push button whose face can be painted in one exact colour, like a
// graphical-style button with a BackColor. Until a colour is set it is drawn
// as the platform draws any push button.
class ColourButton : public QPushButton {
    Q_OBJECT

public:
    using QPushButton::QPushButton;

    QColor backColor() const { return back; }
    void setBackColor(const QColor& colour);

protected:
    void paintEvent(QPaintEvent* event) override;
    // Return and Enter press the focused button, as on Windows.
    void keyPressEvent(QKeyEvent* event) override;

private:
    QColor back;  // invalid until the first colour is set
};
