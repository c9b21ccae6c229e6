#include "startup.h"

#include "qt_design.h"
#include "form1_design.h"
#include "version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QRawFont>
#include <QTextLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace startup {
namespace {

#include "quorvel.xpm"

void Print(std::FILE* stream, const QString& text) { std::fputs(text.toLocal8Bit().constData(), stream); }

QtMessageHandler qtHandler = nullptr;

// What Qt says while it looks for a display, held back until it has found one.
struct HeldMessage {
    QtMsgType type;
    QByteArray category;
    QString text;
};
QList<HeldMessage> heldMessages;

void NoDisplayHandler(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type != QtFatalMsg) {
        heldMessages.append({type, QByteArray(context.category), message});
        return;
    }
    if (!message.contains(QLatin1String("no Qt platform plugin could be initialized"))) {
        qtHandler(type, context, message);
        return;
    }
    const QString display = qEnvironmentVariable("DISPLAY");
    const QString wayland = qEnvironmentVariable("WAYLAND_DISPLAY");
    Print(stderr, QStringLiteral("quorvel: no display to show the window on (DISPLAY=%1, WAYLAND_DISPLAY=%2). Start "
                                 "it from a desktop session, or over SSH with ssh -X.\n")
                      .arg(display.isEmpty() ? QStringLiteral("unset") : display,
                           wayland.isEmpty() ? QStringLiteral("unset") : wayland));
    std::_Exit(1);
}

}  // namespace

std::optional<int> HandleCommandLine(int argc, char* argv[])
{
    if (argc <= 1)
        return std::nullopt;

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(
        QStringLiteral("Quorvel converts RGB colour values to CMYK percentages in a small window.\n"
                       "Started without options, it opens its window."));
    parser.addOption(help);
    parser.addOption(version);

    if (!parser.parse(arguments)) {
        Print(stderr, QStringLiteral("quorvel: %1 Try quorvel --help.\n").arg(parser.errorText()));
        return 2;
    }
    if (!parser.positionalArguments().isEmpty()) {
        Print(stderr, QStringLiteral("quorvel: Unexpected argument '%1'. Try quorvel --help.\n")
                          .arg(parser.positionalArguments().first()));
        return 2;
    }
    if (parser.isSet(help)) {
        Print(stdout, QStringLiteral("Usage: quorvel [options]\n") + parser.helpText().section(u'\n', 1));
        return 0;
    }
    Print(stdout, QStringLiteral("quorvel " QUORVEL_VERSION_TEXT "\n"));
    return 0;
}

void ExplainWhenNoDisplay() { qtHandler = qInstallMessageHandler(NoDisplayHandler); }

void DisplayFound()
{
    qInstallMessageHandler(qtHandler);
    for (const HeldMessage& held : std::exchange(heldMessages, {}))
        qtHandler(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category.constData()), held.text);
}

// Each size the 16 x 16 picture scaled pixel by pixel, as the desktop's PNG
// files are; no image file to read and decode.
void SetWindowIcon()
{
    const QImage design(quorvel_xpm);
    QIcon icon;
    for (const int size : {16, 32, 48, 256})
        icon.addPixmap(QPixmap::fromImage(design.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    QGuiApplication::setWindowIcon(icon);
}

void WarnOfMissingFaces()
{
    namespace design = quorvel::design;
    const QString caption = FromUtf8(design::kConvertButton.caption);
    QTextLayout layout(caption, DesignedFont(design::kButtonFont));
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    // Font fallback has already been tried: a character that no run's font
    // has is drawn as a box.
    const QList<QGlyphRun> runs = layout.glyphRuns();
    for (const QChar character : caption) {
        const bool drawn = std::any_of(runs.cbegin(), runs.cend(), [character](const QGlyphRun& run) {
            return run.rawFont().supportsCharacter(character);
        });
        if (!drawn) {
            Print(stderr, QStringLiteral("quorvel: no installed font can draw \"%1\"; install the package "
                                         "fonts-arphic-ukai\n")
                              .arg(caption));
            return;
        }
    }
}

void InstallQtTranslations(QCoreApplication& app)
{
    auto* translator = new QTranslator(&app);
    if (translator->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
}

}  // namespace startup
