#pragma once

#include "colour_conversion.h"
#include "form1_controller.h"
#include "form1_design.h"

#include <QWidget>

#include <array>
#include <optional>

class ColourButton;
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

protected:
    // Return and Enter, and Copy on the button, which the fields and the
    // button leave to the window.
    void keyPressEvent(QKeyEvent* event) override;
    // Enter's releases, which the fields keep to themselves; the box's first
    // showing; and, while the box is up, the keys on their way to it.
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The window keeps its designed size, even where the title bar offers to maximise it.
    void showEvent(QShowEvent* event) override;

private:
    using ControlDesign = quorvel::design::ControlDesign;

    bool isRepeat(const QKeyEvent& event) const;
    void createControls();
    void connectControls();
    void fitLabels();
    void orderFocus();

    QWidget* widget(const ControlDesign& designed) const { return controls[quorvel::design::IndexOf(designed)]; }
    QLineEdit* field(const ControlDesign& designed) const;
    // The design of one of the window's own controls; null for any other widget.
    const ControlDesign* designOf(const QWidget* control) const;

    // Form1View
    std::string Text(const ControlDesign& field) const override;
    std::size_t SelectionLength(const ControlDesign& input) const override;
    void ReplaceSelection(const ControlDesign& input, std::string_view text) override;
    void ReplaceText(const ControlDesign& input, std::string_view text) override;
    void SetOutput(const ControlDesign& output, std::string_view text) override;
    void SetFace(quorvel::ColourWord colour) override;
    void DescribeFace(std::string_view text) override;
    void SetClipboardText(std::string_view text) override;
    void ShowError(std::string_view title, std::string_view message) override;
    void Beep() override;
    std::string DecimalSeparator() const override;

    // In the design's order.
    std::array<QWidget*, std::size(quorvel::design::kControls)> controls{};
    ColourButton* command1 = nullptr;
    quorvel::design::Form1Controller controller{*this};
    std::optional<quint64> enterReleasedAt;  // when Enter last went up, as X stamps it

    // Made at the first bad input and kept: a new box each time would leave
    // the heap fragmented by its window's buffers.
    QMessageBox* errorBox = nullptr;
    bool boxWatched = false;
    bool showBoxAgain = false;  // the box was hidden by minimising it
};
