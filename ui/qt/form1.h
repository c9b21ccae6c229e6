#pragma once

#include "colour_conversion.h"

#include <QWidget>

#include <string_view>

class ColourButton;
class InputField;
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

    // A line naming the package to install when no installed font can draw
    // the button's caption; empty when one can.
    QString missingFaceWarning() const;

private slots:
    // The convert action: reads R, G and B, then shows the colour and K, C, M
    // and Y, or a modal box naming the first bad channel.
    void command1Clicked();

    void fillChannels(const QStringList& cells);

private:
    template <typename Control>
    Control* control(std::string_view name) const;

    void showConversion(const quorvel::ConversionResult& result);
    void showError(const QString& message);

    void createControls();
    void fitLabels();
    void orderFocus();

    QLabel* Label1;
    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label4;
    QLabel* Label5;
    QLabel* Label6;
    QLabel* Label7;
    InputField* Text1;
    InputField* Text2;
    InputField* Text3;
    QLineEdit* Text4;
    QLineEdit* Text5;
    QLineEdit* Text6;
    QLineEdit* Text7;
    ColourButton* Command1;

    // Made at the first bad input and kept: a new box each time would leave
    // the heap fragmented by its window's buffers.
    QMessageBox* errorBox = nullptr;
};
