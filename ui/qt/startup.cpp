#include "startup.h"

#include "qt_design.h"
#include "form1_design.h"
#include "version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QIcon>
#include <QIconEngine>
#include <QPainter>
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

// The icon at whatever size is asked, the 16 x 16 design scaled pixel by
// pixel as the desktop's PNG files are, drawn when asked and kept at none:
// no image file to read and decode, and no large picture held for good.
class DesignedIcon : public QIconEngine {
public:
    QIconEngine* clone() const override { return new DesignedIcon; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        return {QSize(16, 16), QSize(32, 32), QSize(48, 48), QSize(256, 256)};
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode, QIcon::State) override
    {
        return QPixmap::fromImage(QImage(quorvel_xpm).scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation));
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        painter->drawPixmap(rect, pixmap(rect.size(), mode, state));
    }
};

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

void SetWindowIcon() { QGuiApplication::setWindowIcon(QIcon(new DesignedIcon)); }

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
