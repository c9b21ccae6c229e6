#include "form1.h"

#include "colour_button.h"
#include "form1_design.h"
#include "input_field.h"
#include "label_fit.h"

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
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

    connect(Command1, &QPushButton::clicked, this, &Form1::command1Clicked);
    for (InputField* input : {Text1, Text2, Text3}) {
        connect(input, &QLineEdit::returnPressed, Command1, &QPushButton::click);
        connect(input, &InputField::rowPasted, this, &Form1::fillChannels);
    }
}

template <typename Control>
Control* Form1::control(std::string_view name) const
{
    return findChild<Control*>(FromUtf8(name), Qt::FindDirectChildrenOnly);
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

    Label1 = control<QLabel>("Label1");
    Label2 = control<QLabel>("Label2");
    Label3 = control<QLabel>("Label3");
    Label4 = control<QLabel>("Label4");
    Label5 = control<QLabel>("Label5");
    Label6 = control<QLabel>("Label6");
    Label7 = control<QLabel>("Label7");
    Text1 = control<InputField>("Text1");
    Text2 = control<InputField>("Text2");
    Text3 = control<InputField>("Text3");
    Text4 = control<QLineEdit>("Text4");
    Text5 = control<QLineEdit>("Text5");
    Text6 = control<QLineEdit>("Text6");
    Text7 = control<QLineEdit>("Text7");
    Command1 = control<ColourButton>("Command1");
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

void Form1::setCommand1BackColor(quorvel::ColourWord colour)
{
    Command1->setBackColor(QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                                  static_cast<int>((colour >> 16) & 0xFFu)));
}

// A pasted row replaces R, G and B as if each had been typed; nothing converts
// until the button is pressed.
void Form1::fillChannels(const QStringList& cells)
{
    InputField* inputs[] = {Text1, Text2, Text3};
    for (int i = 0; i < 3; ++i) {
        inputs[i]->selectAll();
        inputs[i]->insert(cells[i]);
    }
}

void Form1::command1Clicked()
{
    const std::string red = Text1->text().toStdString();
    const std::string green = Text2->text().toStdString();
    const std::string blue = Text3->text().toStdString();
    const std::string separator = QLocale::system().decimalPoint().toStdString();
    const quorvel::ConversionResult result = quorvel::ConvertColour(red, green, blue, separator);
    if (result.ok)
        showConversion(result);
    else
        showError(QString::fromStdString(result.message));
}

void Form1::showConversion(const quorvel::ConversionResult& result)
{
    setCommand1BackColor(result.colour);
    Text4->setText(QString::fromStdString(result.kText));
    Text5->setText(QString::fromStdString(result.cText));
    Text6->setText(QString::fromStdString(result.mText));
    Text7->setText(QString::fromStdString(result.yText));
}

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

// Returns once the user has dismissed the box; until then the window takes no input.
void Form1::showError(const QString& message)
{
    if (!errorBox) {
        errorBox = new QMessageBox(QMessageBox::NoIcon, FromUtf8(design::kErrorTitle), QString(), QMessageBox::Ok,
                                   this);
        errorBox->setWindowModality(Qt::ApplicationModal);
    }
    errorBox->setText(message);
    errorBox->exec();
}
