#include "form1.h"

#include "colour_button.h"
#include "form1_design.h"
#include "input_field.h"
#include "label_fit.h"

#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>

namespace design = quorvel::design;

namespace {

// Qt lays out in pixels at 96 dots per inch and scales them for the screen itself.
constexpr int kDesignDpi = 96;

QString FromUtf8(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

std::string ToUtf8(const QString& text) { return text.toStdString(); }

QRect ToPixels(const design::Twips& twips)
{
    return QRect(design::ToPixels(twips.left, kDesignDpi), design::ToPixels(twips.top, kDesignDpi),
                 design::ToPixels(twips.width, kDesignDpi), design::ToPixels(twips.height, kDesignDpi));
}

// The designed faces are Windows fonts; elsewhere the same design shows through
// faces of the same metrics (Times) and the same hand (KaiTi).
void RegisterFontSubstitutes()
{
    static const bool registered = [] {
        for (const design::FontDesign& font : {design::kFieldFont, design::kButtonFont}) {
            QStringList fallbacks;
            for (std::string_view face : font.fallbacks)
                fallbacks << FromUtf8(face);
            QFont::insertSubstitutions(FromUtf8(font.face), fallbacks);
        }
        return true;
    }();
    Q_UNUSED(registered);
}

QFont ToQFont(const design::FontDesign& designed)
{
    QFont font(FromUtf8(designed.face));
    if (designed.characterSet == design::CharacterSet::Western)
        font.setStyleHint(QFont::Serif);
    font.setPointSizeF(designed.hundredthsOfPoint / 100.0);
    font.setWeight(static_cast<QFont::Weight>(designed.weight));
    return font;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    RegisterFontSubstitutes();
    setObjectName(FromUtf8(design::kFormName));
    setWindowTitle(FromUtf8(design::kWindowCaption));
    setFixedSize(ToPixels(design::kClientArea).size());

    createControls();
    orderFocus();

    // Keys reach the controller through the window; Enter's releases it sees
    // only by watching the controls that take focus.
    for (const design::ControlDesign* designed : design::FocusOrder())
        control<QWidget>(designed->name)->installEventFilter(this);
    connect(Command1, &QPushButton::clicked, this, [this] { controller.Command1Click(); });
    for (std::string_view name : design::kInputs) {
        auto* input = control<InputField>(name);
        connect(input, &InputField::pasted, this,
                [this, name](const QString& text) { controller.Paste(name, ToUtf8(text)); });
        connect(input, &InputField::colourDropped, this, [this](const QColor& colour) {
            controller.DropColour(quorvel::PackColour(colour.red(), colour.green(), colour.blue()));
        });
    }
}

// The control of a name from the design; any other name ends the program.
template <typename Control>
Control* Form1::control(std::string_view name) const
{
    return findChild<Control*>(FromUtf8(design::Control(name).name), Qt::FindDirectChildrenOnly);
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
            control->setFont(ToQFont(design::kFieldFont));
            static_cast<QLineEdit*>(control)->setMaxLength(design::kInputLengthLimit);
            break;
        case design::Role::Output:
            control = new QLineEdit(this);
            control->setFont(ToQFont(design::kFieldFont));
            static_cast<QLineEdit*>(control)->setReadOnly(true);
            break;
        case design::Role::Convert:
            control = new ColourButton(FromUtf8(designed.caption), this);
            control->setFont(ToQFont(design::kButtonFont));
            break;
        }
        control->setObjectName(FromUtf8(designed.name));
        control->setGeometry(ToPixels(designed.rect));
    }

    for (const design::ControlDesign& designed : design::kControls) {
        if (!designed.names.empty())
            control<QLabel>(designed.name)->setBuddy(control<QLineEdit>(designed.names));
    }
    fitLabels();

    Command1 = control<ColourButton>(design::kConvertButton);
}

// The labels speak in the platform's font, made smaller only as far as every
// caption then fits the part of its label that shows, left of its field.
void Form1::fitLabels()
{
    QFont labelFont = font();
    const auto fits = [&](int pixels) {
        labelFont.setPixelSize(pixels);
        const QFontMetrics metrics(labelFont);
        return std::all_of(std::begin(design::kControls), std::end(design::kControls),
                           [&](const design::ControlDesign& label) {
                               return label.names.empty() ||
                                      metrics.horizontalAdvance(FromUtf8(label.caption)) <=
                                          design::ToPixels(design::VisibleLabelTwips(label), kDesignDpi);
                           });
    };
    const int preferred = QFontInfo(font()).pixelSize();
    const int fitting = design::LargestFittingSize(preferred, fits);
    if (fitting == preferred)
        return;
    labelFont.setPixelSize(fitting);
    for (const design::ControlDesign& designed : design::kControls) {
        if (!designed.names.empty())
            control<QLabel>(designed.name)->setFont(labelFont);
    }
}

// Tab-index order, leaving out what takes no focus (the labels).
void Form1::orderFocus()
{
    QWidget* previous = nullptr;
    for (const design::ControlDesign* designed : design::FocusOrder()) {
        auto* next = control<QWidget>(designed->name);
        if (previous)
            QWidget::setTabOrder(previous, next);
        else
            next->setFocus();
        previous = next;
    }
}

void Form1::setCommand1BackColor(quorvel::ColourWord colour) { Command1->setBackColor(colour); }

QString Form1::missingFaceWarning() const
{
    const QString text = Command1->text();
    QTextLayout layout(text, Command1->font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    // Font fallback has already been tried: a character that no run's font
    // has is drawn as a box.
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QChar character : text) {
        const bool drawn = std::any_of(runs.cbegin(), runs.cend(), [character](const QGlyphRun& run) {
            return run.rawFont().supportsCharacter(character);
        });
        if (!drawn)
            return QStringLiteral("quorvel: no installed font can draw \"%1\"; install the package fonts-arphic-ukai")
                .arg(text);
    }
    return {};
}

namespace {

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
    const QWidget* focused = focusWidget();
    if (focused && focused->parentWidget() == this) {
        const std::string name = ToUtf8(focused->objectName());
        // X repeats a held key as a release and a press with the same time
        // stamp, which Qt marks as a repeat only when both have arrived
        // already; the time stamp tells them apart either way.
        const bool repeat = event->isAutoRepeat() || enterReleasedAt == event->timestamp();
        if ((IsEnter(*event) && controller.EnterPressed(name, repeat)) ||
            (event->matches(QKeySequence::Copy) && controller.CopyPressed(name))) {
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

bool Form1::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        const auto& key = static_cast<const QKeyEvent&>(*event);
        if (IsEnter(key))
            enterReleasedAt = key.timestamp();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Form1View ------------------------------------------------------------------

std::string Form1::Text(std::string_view field) const { return ToUtf8(control<QLineEdit>(field)->text()); }

std::size_t Form1::SelectionLength(std::string_view input) const
{
    return static_cast<std::size_t>(control<QLineEdit>(input)->selectedText().size());
}

// QLineEdit::insert replaces the selection and can be undone, as typing can.
void Form1::ReplaceSelection(std::string_view input, std::string_view text)
{
    control<QLineEdit>(input)->insert(FromUtf8(text));
}

void Form1::ReplaceText(std::string_view input, std::string_view text)
{
    auto* field = control<QLineEdit>(input);
    field->selectAll();
    field->insert(FromUtf8(text));
}

void Form1::SetOutput(std::string_view output, std::string_view text) { control<QLineEdit>(output)->setText(FromUtf8(text)); }

void Form1::SetFace(quorvel::ColourWord colour) { setCommand1BackColor(colour); }

void Form1::DescribeFace(std::string_view text)
{
    Command1->setToolTip(FromUtf8(text));
    Command1->setAccessibleDescription(FromUtf8(text));
}

void Form1::SetClipboardText(std::string_view text) { QApplication::clipboard()->setText(FromUtf8(text)); }

// Returns once the user has dismissed the box; until then the window takes no input.
void Form1::ShowError(std::string_view title, std::string_view message)
{
    if (!errorBox) {
        errorBox = new QMessageBox(QMessageBox::NoIcon, QString(), QString(), QMessageBox::Ok, this);
        errorBox->setWindowModality(Qt::ApplicationModal);
    }
    errorBox->setWindowTitle(FromUtf8(title));
    errorBox->setText(FromUtf8(message));
    errorBox->exec();
}

void Form1::Beep() { QApplication::beep(); }

std::string Form1::DecimalSeparator() const { return ToUtf8(QLocale::system().decimalPoint()); }
