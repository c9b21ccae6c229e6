// Pasting the longest text an input takes into R= and converting it, in the
// real window, painted after each step as the user would see it. The Win32
// window's counterpart is win32_long_paste.cpp.
//   QT_QPA_PLATFORM=xcb (under a display) or offscreen (the default here)
#include "form1.h"
#include "form1_design.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int kLimit = quorvel::design::kInputLengthLimit;

// Digits that read as 128, as many as an input takes.
QString LongestDigits() { return QString(kLimit - 3, u'0') + QStringLiteral("128"); }

struct Window {
    Window()
    {
        form->show();
        red = form->findChild<QLineEdit*>(QStringLiteral("Text1"));
        form->findChild<QLineEdit*>(QStringLiteral("Text2"))->setText(QStringLiteral("64"));
        form->findChild<QLineEdit*>(QStringLiteral("Text3"))->setText(QStringLiteral("32"));
        button = form->findChild<QPushButton*>(QStringLiteral("Command1"));
        QApplication::processEvents();
    }

    void pasteIntoRed()
    {
        red->setFocus();
        red->selectAll();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
        QApplication::sendEvent(red, &press);
        form->repaint();
    }

    std::unique_ptr<Form1> form = std::make_unique<Form1>();
    QLineEdit* red = nullptr;
    QPushButton* button = nullptr;
};

void PasteTheLongest(benchmark::State& state)
{
    Window window;
    QApplication::clipboard()->setText(LongestDigits());
    for (auto _ : state) {
        state.PauseTiming();
        window.red->clear();
        state.ResumeTiming();
        window.pasteIntoRed();
    }
    if (window.red->text().size() != kLimit)
        state.SkipWithError("the paste was not taken whole");
}
BENCHMARK(PasteTheLongest)->Unit(benchmark::kMillisecond);

void ConvertTheLongest(benchmark::State& state)
{
    Window window;
    QApplication::clipboard()->setText(LongestDigits());
    window.pasteIntoRed();
    for (auto _ : state) {
        window.button->click();
        window.form->repaint();
    }
    if (window.form->findChild<QLineEdit*>(QStringLiteral("Text5"))->text() != QLatin1String("49.804"))
        state.SkipWithError("the long field did not convert as 128");
}
BENCHMARK(ConvertTheLongest)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
