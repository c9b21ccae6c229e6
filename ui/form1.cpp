#include "form1.h"

#include "colour_button.h"

#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>

#include <algorithm>
#include <vector>

namespace {

// The window was designed in twips; 15 twips make one pixel at 96 dots per inch.
constexpr int kTwipsPerPixel = 15;

struct Twips {
    int left;
    int top;
    int width;
    int height;
};

struct Placement {
    const char* name;
    Twips rect;
    int tabIndex;
};

constexpr Twips kClientArea{0, 0, 4680, 3090};

constexpr Placement kPlacements[] = {
    {"Label1", {360, 600, 375, 255}, 0},
    {"Label2", {360, 1200, 375, 255}, 1},
    {"Label3", {360, 1800, 375, 255}, 2},
    {"Text1", {600, 480, 1095, 390}, 3},
    {"Text2", {600, 1080, 1095, 390}, 4},
    {"Text3", {600, 1680, 1095, 390}, 5},
    {"Command1", {2040, 480, 735, 1815}, 6},
    {"Label4", {3120, 480, 375, 255}, 7},
    {"Label5", {3120, 1080, 375, 255}, 8},
    {"Label6", {3120, 1680, 375, 255}, 9},
    {"Label7", {3120, 2280, 375, 255}, 10},
    {"Text4", {3360, 360, 1095, 390}, 11},
    {"Text5", {3360, 960, 1095, 390}, 12},
    {"Text6", {3360, 1560, 1095, 390}, 13},
    {"Text7", {3360, 2160, 1095, 390}, 14},
};

QRect ToPixels(const Twips& twips)
{
    return QRect(twips.left / kTwipsPerPixel, twips.top / kTwipsPerPixel, twips.width / kTwipsPerPixel,
                 twips.height / kTwipsPerPixel);
}

// The designed faces are Windows fonts; elsewhere the same design shows through
// faces of the same metrics (Times) and the same hand (KaiTi).
void RegisterFontSubstitutes()
{
    static const bool registered = [] {
        QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                                   {QStringLiteral("Liberation Serif"), QStringLiteral("Tinos"), QStringLiteral("Times")});
        QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"),
                                   {QStringLiteral("KaiTi_GB2312"), QStringLiteral("KaiTi"), QStringLiteral("楷体"),
                                    QStringLiteral("AR PL UKai CN"), QStringLiteral("STKaiti"),
                                    QStringLiteral("Kaiti SC")});
        return true;
    }();
    Q_UNUSED(registered);
}

QFont FieldFont()
{
    QFont font(QStringLiteral("Times New Roman"));
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(10.5);
    font.setWeight(QFont::Normal);
    return font;
}

QFont ButtonFont()
{
    QFont font(QStringLiteral("楷体_GB2312"));
    font.setPointSizeF(21.75);
    font.setWeight(QFont::Bold);
    return font;
}

}  // namespace

Form1::Form1(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
{
    RegisterFontSubstitutes();
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Quorvel"));
    setFixedSize(ToPixels(kClientArea).size());

    createControls();
    placeControls();
    orderFocus();

    connect(Command1, &QPushButton::clicked, this, &Form1::command1Clicked);
    for (QLineEdit* input : {Text1, Text2, Text3})
        connect(input, &QLineEdit::returnPressed, Command1, &QPushButton::click);
}

void Form1::createControls()
{
    const auto label = [this](const char* name, const QString& caption) {
        auto* created = new QLabel(caption, this);
        created->setObjectName(QLatin1String(name));
        created->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return created;
    };
    const auto field = [this](const char* name, QLabel* caption, bool readOnly) {
        auto* created = new QLineEdit(this);
        created->setObjectName(QLatin1String(name));
        created->setFont(FieldFont());
        created->setReadOnly(readOnly);
        caption->setBuddy(created);
        return created;
    };

    Label1 = label("Label1", QStringLiteral("R="));
    Label2 = label("Label2", QStringLiteral("G="));
    Label3 = label("Label3", QStringLiteral("B="));
    Label4 = label("Label4", QStringLiteral("K="));
    Label5 = label("Label5", QStringLiteral("C="));
    Label6 = label("Label6", QStringLiteral("M="));
    Label7 = label("Label7", QStringLiteral("Y="));

    // Created after the labels, so the fields are drawn over them.
    Text1 = field("Text1", Label1, false);
    Text2 = field("Text2", Label2, false);
    Text3 = field("Text3", Label3, false);
    Text4 = field("Text4", Label4, true);
    Text5 = field("Text5", Label5, true);
    Text6 = field("Text6", Label6, true);
    Text7 = field("Text7", Label7, true);

    Command1 = new ColourButton(QStringLiteral("转"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setFont(ButtonFont());
}

void Form1::placeControls()
{
    for (const Placement& placement : kPlacements)
        findChild<QWidget*>(QLatin1String(placement.name), Qt::FindDirectChildrenOnly)->setGeometry(ToPixels(placement.rect));
}

// Tab-index order, leaving out what takes no focus (the labels).
void Form1::orderFocus()
{
    std::vector<Placement> byTabIndex(std::begin(kPlacements), std::end(kPlacements));
    std::sort(byTabIndex.begin(), byTabIndex.end(),
              [](const Placement& a, const Placement& b) { return a.tabIndex < b.tabIndex; });

    QWidget* previous = nullptr;
    for (const Placement& placement : byTabIndex) {
        auto* control = findChild<QWidget*>(QLatin1String(placement.name), Qt::FindDirectChildrenOnly);
        if (control->focusPolicy() == Qt::NoFocus)
            continue;
        if (previous)
            QWidget::setTabOrder(previous, control);
        else
            control->setFocus();
        previous = control;
    }
}

void Form1::setCommand1BackColor(quorvel::ColourWord colour)
{
    Command1->setBackColor(QColor(static_cast<int>(colour & 0xFFu), static_cast<int>((colour >> 8) & 0xFFu),
                                  static_cast<int>((colour >> 16) & 0xFFu)));
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

// Returns once the user has dismissed the box; until then the window takes no input.
void Form1::showError(const QString& message)
{
    if (!errorBox) {
        errorBox = new QMessageBox(QMessageBox::NoIcon, QStringLiteral("错误"), QString(), QMessageBox::Ok, this);
        errorBox->setWindowModality(Qt::ApplicationModal);
    }
    errorBox->setText(message);
    errorBox->exec();
}
