// The floors for start-up: an empty Qt Widgets window of Quorvel's size, or,
// with --text, the same window showing one label, which makes Qt load its
// font database as any window with text must.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Minimal"));
    window.setFixedSize(312, 206);
    if (QApplication::arguments().contains(QLatin1String("--text")))
        new QLabel(QStringLiteral("R="), &window);
    window.show();
    return app.exec();
}
