#pragma once

#include "colour_conversion.h"

#include <QWidget>

class ColourButton;
class QLabel;
class QLineEdit;
class QMessageBox;

// The program's one window: R, G and B inputs on the left, the convert button
// in the middle, and the K, C, M and Y outputs on the right.
class Form1 : public QWidget {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    // Paints Command1's face in the colour (red in the low byte).
    void setCommand1BackColor(quorvel::ColourWord colour);

private slots:
    // The convert action: reads R, G and B, then shows the colour and K, C, M
    // and Y, or a modal box naming the first bad channel.
    void command1Clicked();

private:
    void showConversion(const quorvel::ConversionResult& result);
    void showError(const QString& message);

    void createControls();
    void placeControls();
    void orderFocus();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    QLineEdit* Text1;
    QLineEdit* Text2;
    QLineEdit* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    ColourButton* Command1;

    // Made at the first bad input and kept: a new box each time would leave
    // the heap fragmented by its window's buffers.
    QMessageBox* errorBox = nullptr;
};
