// The floors for start-up: an empty Qt Widgets window of Quorvel's size; with
// --text, the same window showing one label, which makes Qt load its font
// database as any window with text must; with --form1, the same window
// holding Form1's fifteen widgets, placed and lettered from the design table
// in the designed faces and sizes, and nothing else.
#include "form1_design.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

namespace design = quorvel::design;

QString Text(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

QFont Font(const design::FontDesign& designed)
{
    QStringList families{Text(designed.face)};
    for (std::string_view face : designed.fallbacks)
        families << Text(face);
    QFont font;
    font.setFamilies(families);
    font.setPointSizeF(designed.hundredthsOfPoint / 100.0);
    font.setWeight(static_cast<QFont::Weight>(designed.weight));
    return font;
}

void AddForm1Widgets(QWidget& window)
{
    for (const design::ControlDesign& designed : design::kControls) {
        QWidget* widget = nullptr;
        switch (designed.role) {
        case design::Role::Caption:
            widget = new QLabel(Text(designed.caption), &window);
            break;
        case design::Role::Input:
        case design::Role::Output: {
            auto* field = new QLineEdit(&window);
            field->setReadOnly(designed.role == design::Role::Output);
            field->setFont(Font(design::kFieldFont));
            widget = field;
            break;
        }
        case design::Role::Convert:
            widget = new QPushButton(Text(designed.caption), &window);
            widget->setFont(Font(design::kButtonFont));
            break;
        }
        const auto pixels = [](int twips) { return design::ToPixels(twips, 96); };
        widget->setGeometry(pixels(designed.rect.left), pixels(designed.rect.top), pixels(designed.rect.width),
                            pixels(designed.rect.height));
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.setFixedSize(design::ToPixels(design::kClientArea.width, 96), design::ToPixels(design::kClientArea.height, 96));
    if (QApplication::arguments().contains(QLatin1String("--text")))
        new QLabel(QStringLiteral("R="), &window);
    if (QApplication::arguments().contains(QLatin1String("--form1")))
        AddForm1Widgets(window);
    window.show();
    return app.exec();
}
