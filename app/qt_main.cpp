#include "form1.h"
#include "startup.h"
#include "version.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[])
{
    if (const std::optional<int> exitCode = startup::HandleCommandLine(argc, argv))
        return *exitCode;

    startup::ExplainWhenNoDisplay();
    QApplication app(argc, argv);
    startup::DisplayFound();
    QApplication::setApplicationName(QStringLiteral("Quorvel"));
    QApplication::setApplicationVersion(QStringLiteral(QUORVEL_VERSION_TEXT));
    QApplication::setDesktopFileName(QStringLiteral("org.quorvel.Quorvel"));
    startup::InstallQtTranslations(app);

    QIcon icon;
    for (const char* size : {"16.xpm", "32.png", "48.png", "256.png"})
        icon.addFile(QStringLiteral(":/icons/quorvel-") + QLatin1String(size));
    QApplication::setWindowIcon(icon);

    startup::WarnOfMissingFaces();
    Form1 window;
    window.show();
    return app.exec();
}
