#include "form1.h"
#include "startup.h"
#include "version.h"

#include <QAbstractEventDispatcher>
#include <QApplication>

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

    Form1 window;
    window.show();
    // What the window's first showing does not need waits until the program
    // has nothing else to do.
    QObject::connect(
        QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &app,
        [] {
            startup::SetWindowIcon();
            startup::WarnOfMissingFaces();
        },
        Qt::SingleShotConnection);
    return app.exec();
}
