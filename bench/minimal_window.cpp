// The floors for start-up: an empty Qt Widgets window of Quorvel's size; with
// --text, the same window showing one label, which makes Qt load its font
// database as any window with text must; with --form1, the same window
// holding Form1's fifteen widgets, placed and lettered from the design table
// in the designed faces and sizes, and nothing else.
#include "qt_design.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>

namespace {

namespace design = quorvel::design;

void AddForm1Widgets(QWidget& window)
{
    for (const design::ControlDesign& designed : design::kControls) {
        QWidget* widget = nullptr;
        switch (designed.role) {
        case design::Role::Caption:
            widget = new QLabel(FromUtf8(designed.caption), &window);
            break;
        case design::Role::Input:
        case design::Role::Output: {
            auto* field = new QLineEdit(&window);
            field->setReadOnly(designed.role == design::Role::Output);
            field->setFont(DesignedFont(design::kFieldFont));
            widget = field;
            break;
        }
        case design::Role::Convert:
            widget = new QPushButton(FromUtf8(designed.caption), &window);
            widget->setFont(DesignedFont(design::kButtonFont));
            break;
        }
        widget->setGeometry(ToPixels(designed.rect));
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.setFixedSize(ToPixels(design::kClientArea).size());
    if (QApplication::arguments().contains(QLatin1String("--text")))
        new QLabel(QStringLiteral("R="), &window);
    if (QApplication::arguments().contains(QLatin1String("--form1")))
        AddForm1Widgets(window);
    window.show();
    return app.exec();
}
