#pragma once

#include "colour_conversion.h"
#include "form1_controller.h"

#include <QWidget>

#include <optional>
#include <string_view>

class ColourButton;
class InputField;
class QLineEdit;
class QMessageBox;

// The program's one window: R, G and B inputs on the left, the convert button
// in the middle, and the K, C, M and Y outputs on the right. It renders the
// shared design and hands every event to the shared controller, which drives
// it back through Form1View.
class Form1 : public QWidget, private quorvel::design::Form1View {
    Q_OBJECT

public:
    explicit Form1(QWidget* parent = nullptr);

    // Paints Command1's face in the colour (red in the low byte).
    void setCommand1BackColor(quorvel::ColourWord colour);

    // A line naming the package to install when no installed font can draw
    // the button's caption; empty when one can.
    QString missingFaceWarning() const;

protected:
    // Return and Enter, and Copy on the button, which the fields and the
    // button leave to the window.
    void keyPressEvent(QKeyEvent* event) override;
    // Enter's releases, which the fields keep to themselves.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    template <typename Control>
    Control* control(std::string_view name) const;

    void createControls();
    void fitLabels();
    void orderFocus();

    // Form1View
    std::string Text(std::string_view field) const override;
    std::size_t SelectionLength(std::string_view input) const override;
    void ReplaceSelection(std::string_view input, std::string_view text) override;
    void ReplaceText(std::string_view input, std::string_view text) override;
    void SetOutput(std::string_view output, std::string_view text) override;
    void SetFace(quorvel::ColourWord colour) override;
    void DescribeFace(std::string_view text) override;
    void SetClipboardText(std::string_view text) override;
    void ShowError(std::string_view title, std::string_view message) override;
    void Beep() override;
    std::string DecimalSeparator() const override;

    quorvel::design::Form1Controller controller{*this};
    std::optional<quint64> enterReleasedAt;  // when Enter last went up, as X stamps it
    ColourButton* Command1 = nullptr;

    // Made at the first bad input and kept: a new box each time would leave
    // the heap fragmented by its window's buffers.
    QMessageBox* errorBox = nullptr;
};
