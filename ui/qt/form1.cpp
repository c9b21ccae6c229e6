#include "form1.h"

#include "colour_button.h"
#include "fixed_size.h"
#include "qt_design.h"
#include "input_field.h"
#include "label_fit.h"

#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QWindow>

#include <algorithm>

namespace design = quorvel::design;

namespace {

std::string ToUtf8(const QString& text) { return text.toStdString(); }

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    setObjectName(FromUtf8(design::kFormName));
    setWindowTitle(FromUtf8(design::kWindowCaption));
    setFixedSize(ToPixels(design::kClientArea).size());

    createControls();
    orderFocus();
    connectControls();
}

// In the designed order, so that each field is drawn over its label.
void Form1::createControls()
{
    for (const design::ControlDesign& designed : design::kControls) {
        QWidget* control = nullptr;
        switch (designed.role) {
        case design::Role::Caption:
            control = new QLabel(FromUtf8(designed.caption), this);
            static_cast<QLabel*>(control)->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            break;
        case design::Role::Input:
            control = new InputField(this);
            control->setFont(DesignedFont(design::kFieldFont));
            static_cast<QLineEdit*>(control)->setMaxLength(design::kInputLengthLimit);
            break;
        case design::Role::Output:
            control = new QLineEdit(this);
            control->setFont(DesignedFont(design::kFieldFont));
            static_cast<QLineEdit*>(control)->setReadOnly(true);
            break;
        case design::Role::Convert:
            command1 = new ColourButton(FromUtf8(designed.caption), this);
            control = command1;
            control->setFont(DesignedFont(design::kButtonFont));
            break;
        }
        control->setObjectName(FromUtf8(designed.name));
        control->setGeometry(ToPixels(designed.rect));
        controls[design::IndexOf(designed)] = control;
    }

    for (const design::ControlDesign& designed : design::kControls) {
        if (!designed.names.empty())
            static_cast<QLabel*>(widget(designed))->setBuddy(widget(design::Control(designed.names)));
    }
    fitLabels();
}

// Keys reach the controller through the window; Enter's releases it sees
// only by watching the controls that take focus.
void Form1::connectControls()
{
    for (const design::ControlDesign* designed : design::FocusOrder())
        widget(*designed)->installEventFilter(this);
    connect(command1, &QPushButton::clicked, this, [this] { controller.Command1Click(); });
    for (const design::ControlDesign* designed : design::kInputs) {
        auto* input = static_cast<InputField*>(widget(*designed));
        connect(input, &InputField::pasted, this,
                [this, designed](const QString& text) { controller.Paste(*designed, ToUtf8(text)); });
        connect(input, &InputField::typedPastLimit, this, [this, designed] { controller.TypedPastLimit(*designed); });
        connect(input, &InputField::colourDropped, this, [this](const QColor& colour) {
            controller.DropColour(quorvel::PackColour(colour.red(), colour.green(), colour.blue()));
        });
    }
}

QLineEdit* Form1::field(const ControlDesign& designed) const { return static_cast<QLineEdit*>(widget(designed)); }

const design::ControlDesign* Form1::designOf(const QWidget* control) const
{
    const auto found = std::find(controls.begin(), controls.end(), control);
    return found == controls.end() ? nullptr : &design::kControls[static_cast<std::size_t>(found - controls.begin())];
}

// The labels speak in the platform's font, made smaller only as far as every
// caption then fits the part of its label that shows, left of its field.
void Form1::fitLabels()
{
    QFont labelFont = font();
    const auto overflow = [&](int pixels) {
        labelFont.setPixelSize(pixels);
        const QFontMetrics metrics(labelFont);
        return design::CaptionOverflow(
            kDesignDpi, [&](std::string_view caption) { return metrics.horizontalAdvance(FromUtf8(caption)); });
    };
    const int preferred = QFontInfo(font()).pixelSize();
    const int fitting = design::LargestFittingSize(preferred, overflow);
    if (fitting == preferred)
        return;
    labelFont.setPixelSize(fitting);
    for (const design::ControlDesign& designed : design::kControls) {
        if (!designed.names.empty())
            widget(designed)->setFont(labelFont);
    }
}

// Tab-index order, leaving out what takes no focus (the labels).
void Form1::orderFocus()
{
    QWidget* previous = nullptr;
    for (const design::ControlDesign* designed : design::FocusOrder()) {
        QWidget* next = widget(*designed);
        if (previous)
            QWidget::setTabOrder(previous, next);
        else
            next->setFocus();
        previous = next;
    }
}

namespace {

// Under Wayland, Qt draws the title bar itself: the title centred, between
// the icon on the left and three buttons on the right. A box as narrow as
// its message would cut the title short.
void MakeRoomForTitle(QMessageBox& box, const QString& title)
{
    constexpr int kTitleBarControls = 80;  // pixels, on each side of the title
    const int width = box.fontMetrics().horizontalAdvance(title) + 2 * kTitleBarControls;
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                      grid->columnCount());
}

bool IsEnter(const QKeyEvent& event)
{
    return (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) &&
           !(event.modifiers() & ~Qt::KeypadModifier);
}

}  // namespace

// Enter and Copy do what the controller says; other keys, and those it does
// not use, go on to the window's parent as usual.
void Form1::keyPressEvent(QKeyEvent* event)
{
    if (const design::ControlDesign* focused = designOf(focusWidget())) {
        if ((IsEnter(*event) && controller.EnterPressed(*focused, isRepeat(*event))) ||
            (event->matches(QKeySequence::Copy) && controller.CopyPressed(*focused))) {
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

// X repeats a held key as a release and a press with the same time stamp,
// which Qt marks as a repeat only when both have arrived already; the time
// stamp tells them apart either way.
bool Form1::isRepeat(const QKeyEvent& event) const
{
    return event.isAutoRepeat() || enterReleasedAt == event.timestamp();
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (IsEnter(key))
            enterReleasedAt = key.timestamp();
    }
    // While the box is up, every key on its way to it.
    if (event->type() == QEvent::KeyPress && errorBox && errorBox->isVisible()) {
        auto* target = qobject_cast<QWidget*>(watched);
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (target && (target == errorBox || errorBox->isAncestorOf(target)) &&
            !design::BoxTakesKey(IsEnter(key), isRepeat(key)))
            return true;
    }
    if (watched == errorBox && event->type() == QEvent::Show && !boxWatched) {
        boxWatched = true;
        FixedSize::Keep(*errorBox);
        // The box has no minimise button; a title bar that offers one anyway
        // (Qt's own, under Wayland) would hide the box with no way back while
        // the window waits for it. It is shown again instead.
        connect(errorBox->windowHandle(), &QWindow::windowStateChanged, this, [this](Qt::WindowState state) {
            if (state == Qt::WindowMinimized) {
                QTimer::singleShot(0, errorBox, [this] {
                    showBoxAgain = true;
                    errorBox->hide();
                });
            }
        });
    }
    return QWidget::eventFilter(watched, event);
}

void Form1::showEvent(QShowEvent* event)
{
    FixedSize::Keep(*this);
    QWidget::showEvent(event);
}

// ---- Form1View ------------------------------------------------------------------

std::string Form1::Text(const ControlDesign& designed) const { return ToUtf8(field(designed)->text()); }

std::size_t Form1::SelectionLength(const ControlDesign& input) const
{
    return static_cast<std::size_t>(field(input)->selectedText().size());
}

// QLineEdit::insert replaces the selection and can be undone, as typing can.
void Form1::ReplaceSelection(const ControlDesign& input, std::string_view text) { field(input)->insert(FromUtf8(text)); }

void Form1::ReplaceText(const ControlDesign& input, std::string_view text)
{
    field(input)->selectAll();
    field(input)->insert(FromUtf8(text));
}

void Form1::SetOutput(const ControlDesign& output, std::string_view text) { field(output)->setText(FromUtf8(text)); }

void Form1::SetFace(quorvel::ColourWord colour) { command1->setBackColor(colour); }

void Form1::DescribeFace(std::string_view text)
{
    command1->setToolTip(FromUtf8(text));
    command1->setAccessibleDescription(FromUtf8(text));
}

void Form1::SetClipboardText(std::string_view text) { QApplication::clipboard()->setText(FromUtf8(text)); }

// Returns once the user has dismissed the box; until then the window takes no input.
void Form1::ShowError(std::string_view title, std::string_view message)
{
    if (!errorBox) {
        errorBox = new QMessageBox(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, this);
        errorBox->setWindowModality(Qt::ApplicationModal);
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            MakeRoomForTitle(*errorBox, FromUtf8(title));
    }
    errorBox->setWindowTitle(FromUtf8(title));
    errorBox->setText(FromUtf8(message));
    qApp->installEventFilter(this);
    do {
        showBoxAgain = false;
        errorBox->setWindowState(Qt::WindowNoState);
        errorBox->exec();
    } while (showBoxAgain);
    qApp->removeEventFilter(this);
}

void Form1::Beep() { QApplication::beep(); }

std::string Form1::DecimalSeparator() const { return ToUtf8(QLocale::system().decimalPoint()); }
