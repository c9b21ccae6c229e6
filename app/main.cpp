#include "form1.h"
#include "version.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("org.quorvel.Quorvel"));

    QIcon icon;
    for (const char* size : {"16.xpm", "32.png", "48.png", "256.png"})
        icon.addFile(QStringLiteral(":/icons/quorvel-") + QLatin1String(size));
    QApplication::setWindowIcon(icon);

    Form1 window;
    window.show();
    return app.exec();
}
