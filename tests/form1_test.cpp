#include "colour_button.h"
#include "form1.h"
#include "form1_design.h"
#include "label_fit.h"
#include "layout_pixels.h"
#include "qt_design.h"
#include "unexpected_box_watch.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QWindow>

#include <memory>

namespace design = quorvel::design;

class Form1Test : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controlGeometry_data();
    void controlGeometry();
    void windowHasTheDesignedFixedSize();
    void keepsItsSizeWhenMaximised();
    void boxComesBackWhenMinimised();
    void fieldsAreDrawnOverLabels();
    void labelCaptionsAreNeverCut_data();
    void labelCaptionsAreNeverCut();
    void fieldFont_data();
    void fieldFont();
    void buttonFontIsBoldKaiTi();
    void buttonCaptionRendersInAKaiTiFace();
    void tabVisitsTheFocusOrder();
    void shiftTabVisitsItBackwards();
    void labelsTakeNoFocusAndNameTheirFields_data();
    void labelsTakeNoFocusAndNameTheirFields();
    void startsEmptyWithAPlatformFace();
    void outputsAreReadOnlyButSelectable_data();
    void outputsAreReadOnlyButSelectable();
    void enterClicksTheButton_data();
    void enterClicksTheButton();
    void buttonFaceTakesTheExactColour_data();
    void buttonFaceTakesTheExactColour();
    void hoverAndFocusLeaveTheWholeButtonAlone_data();
    void hoverAndFocusLeaveTheWholeButtonAlone();

private:
    template <typename T>
    T* control(const char* name)
    {
        auto* found = window->findChild<T*>(QLatin1String(name));
        if (!found)
            qFatal("no control %s", name);
        return found;
    }
    void showExposed();
    void showActive();
    QStringList focusWalk(Qt::KeyboardModifiers modifiers, int steps);

    std::unique_ptr<Form1> window;
    UnexpectedBoxWatch unexpectedBoxes;
};

void Form1Test::init()
{
    unexpectedBoxes.start();
    window = std::make_unique<Form1>();
}

void Form1Test::cleanup()
{
    unexpectedBoxes.stop();
    QVERIFY2(unexpectedBoxes.seen.isEmpty(), qPrintable("a box came up: " + unexpectedBoxes.seen.join(", ")));
    window.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void Form1Test::showExposed()
{
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void Form1Test::showActive()
{
    showExposed();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void Form1Test::controlGeometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("pixels");
    for (const auto& pixels : quorvel::layout_pixels::kAt96)
        QTest::newRow(pixels.name.data()) << FromUtf8(pixels.name)
                                          << QRect(pixels.left, pixels.top, pixels.width, pixels.height);
}

void Form1Test::controlGeometry()
{
    QFETCH(QString, name);
    QFETCH(QRect, pixels);
    const auto* widget = control<QWidget>(name.toLatin1().constData());
    QCOMPARE(widget->geometry(), pixels);
    QVERIFY(widget->isVisibleTo(window.get()));
}

void Form1Test::windowHasTheDesignedFixedSize()
{
    showActive();
    QCOMPARE(window->windowTitle(), FromUtf8(design::kWindowCaption));
    QCOMPARE(window->size(), QSize(quorvel::layout_pixels::kClientWidth, quorvel::layout_pixels::kClientHeight));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
}

// As Qt's own title bar under Wayland asks, whatever the window's flags. Shown
// but not made active: a compositor with no keyboard, as a headless weston 16,
// never activates a window, and Qt 6.11 waits for it to.
void Form1Test::keepsItsSizeWhenMaximised()
{
    showExposed();
    window->windowHandle()->setWindowStates(Qt::WindowMaximized);
    QVERIFY(QTest::qWaitFor([&] { return !(window->windowHandle()->windowStates() & Qt::WindowMaximized); }));
    QTest::qWait(200);
    QCOMPARE(window->size(), QSize(quorvel::layout_pixels::kClientWidth, quorvel::layout_pixels::kClientHeight));
    QCOMPARE(window->minimumSize(), window->maximumSize());
}

// As Qt's own title bar under Wayland offers, though the box has no such button.
void Form1Test::boxComesBackWhenMinimised()
{
    showExposed();
    unexpectedBoxes.expected = true;
    int sightings = 0;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || (box->windowHandle()->windowStates() & Qt::WindowMinimized))
            return;
        if (sightings++ == 0) {
            box->windowHandle()->setWindowStates(Qt::WindowMinimized);
            return;
        }
        poll.stop();
        box->accept();
    });
    poll.start(10);
    QTimer::singleShot(5000, this, [] {
        if (QWidget* stuck = QApplication::activeModalWidget())
            stuck->close();
    });
    control<ColourButton>("Command1")->click();  // every input empty: the box for R
    unexpectedBoxes.expected = false;
    QCOMPARE(sightings, 2);
}

void Form1Test::fieldsAreDrawnOverLabels()
{
    showActive();
    // The last 135 twips (9 pixels) of each label lie under its field.
    for (const char* label : {"Label1", "Label4", "Label7"}) {
        const QRect area = control<QLabel>(label)->geometry();
        const QPoint underField(area.right() - 2, area.center().y());
        QVERIFY2(qobject_cast<QLineEdit*>(window->childAt(underField)), label);
    }
}

void Form1Test::labelCaptionsAreNeverCut_data()
{
    QTest::addColumn<qreal>("systemPoints");  // the platform's font size
    QTest::newRow("9 pt") << 9.0;
    QTest::newRow("11 pt") << 11.0;
    QTest::newRow("text made bigger, 16 pt") << 16.0;
}

// Each caption fits the part of its label left of the field, never drawn
// larger than the system's size.
void Form1Test::labelCaptionsAreNeverCut()
{
    QFETCH(qreal, systemPoints);
    const QFont systemFont = QApplication::font();
    QFont bigger = systemFont;
    bigger.setPointSizeF(systemPoints);
    QApplication::setFont(bigger);
    window = std::make_unique<Form1>();
    QApplication::setFont(systemFont);
    for (const quorvel::design::ControlDesign& designed : quorvel::design::kControls) {
        if (designed.names.empty())
            continue;
        auto* label = control<QLabel>(designed.name.data());
        const int visible = quorvel::design::ToPixels(quorvel::design::VisibleLabelTwips(designed), 96);
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= visible, designed.name.data());
        QVERIFY2(QFontInfo(label->font()).pixelSize() <= QFontInfo(bigger).pixelSize(), designed.name.data());
    }
}

void Form1Test::fieldFont_data()
{
    QTest::addColumn<QString>("name");
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"})
        QTest::newRow(name) << name;
}

// What the fields are drawn with: Times New Roman, or a face of its metrics,
// at 10.5 points, which is 14 pixels at 96 dpi.
void Form1Test::fieldFont()
{
    QFETCH(QString, name);
    const QFontInfo drawn(control<QLineEdit>(name.toLatin1().constData())->font());
    QVERIFY2(QStringList({"Times New Roman", "Liberation Serif", "Tinos"}).contains(drawn.family()),
             qPrintable(drawn.family()));
    QCOMPARE(drawn.pixelSize(), 14);
    QCOMPARE(drawn.weight(), QFont::Normal);
    QVERIFY(!drawn.italic() && !drawn.underline() && !drawn.strikeOut());
}

// A bold KaiTi at 21.75 points: 29 pixels at 96 dpi.
void Form1Test::buttonFontIsBoldKaiTi()
{
    const QFontInfo drawn(control<ColourButton>("Command1")->font());
    QVERIFY2(drawn.family().contains(QLatin1String("Kai"), Qt::CaseInsensitive) ||
                 drawn.family().contains(QStringLiteral("楷")),
             qPrintable(drawn.family()));
    QCOMPARE(drawn.pixelSize(), 29);
    QCOMPARE(drawn.weight(), QFont::Bold);
    QVERIFY(!drawn.italic() && !drawn.underline() && !drawn.strikeOut());
}

// What the caption is drawn with after fallback, not only what was asked for.
void Form1Test::buttonCaptionRendersInAKaiTiFace()
{
    const auto* button = control<ColourButton>("Command1");
    QCOMPARE(button->text(), QStringLiteral("转"));
    QTextLayout layout(button->text(), button->font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    const QList<QGlyphRun> runs = layout.glyphRuns();
    QCOMPARE(runs.size(), 1);
    const QString face = runs.first().rawFont().familyName();
    QVERIFY2(face.contains(QLatin1String("Kai"), Qt::CaseInsensitive) || face.contains(QStringLiteral("楷")),
             qPrintable(face));
}

QStringList Form1Test::focusWalk(Qt::KeyboardModifiers modifiers, int steps)
{
    QStringList visited{QApplication::focusWidget()->objectName()};
    for (int i = 0; i < steps; ++i) {
        QTest::keyClick(QApplication::focusWidget(), modifiers ? Qt::Key_Backtab : Qt::Key_Tab, modifiers);
        visited << QApplication::focusWidget()->objectName();
    }
    return visited;
}

void Form1Test::tabVisitsTheFocusOrder()
{
    showActive();
    QCOMPARE(focusWalk(Qt::NoModifier, 8), QStringList({"Text1", "Text2", "Text3", "Command1", "Text4", "Text5",
                                                        "Text6", "Text7", "Text1"}));
}

void Form1Test::shiftTabVisitsItBackwards()
{
    showActive();
    QCOMPARE(focusWalk(Qt::ShiftModifier, 8), QStringList({"Text1", "Text7", "Text6", "Text5", "Text4", "Command1",
                                                          "Text3", "Text2", "Text1"}));
}

void Form1Test::labelsTakeNoFocusAndNameTheirFields_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("caption");
    for (const design::ControlDesign& designed : design::kControls) {
        if (!designed.names.empty())
            QTest::newRow(designed.name.data())
                << FromUtf8(designed.name) << FromUtf8(designed.names) << FromUtf8(designed.caption);
    }
}

void Form1Test::labelsTakeNoFocusAndNameTheirFields()
{
    QFETCH(QString, label);
    QFETCH(QString, field);
    QFETCH(QString, caption);
    const auto* captionLabel = control<QLabel>(label.toLatin1().constData());
    auto* namedField = control<QLineEdit>(field.toLatin1().constData());
    QCOMPARE(captionLabel->text(), caption);
    QCOMPARE(captionLabel->focusPolicy(), Qt::NoFocus);
    QCOMPARE(captionLabel->buddy(), namedField);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(namedField);
    QVERIFY(accessible);
    QCOMPARE(accessible->text(QAccessible::Name), caption);
}

void Form1Test::startsEmptyWithAPlatformFace()
{
    showActive();
    for (const char* name : {"Text1", "Text2", "Text3", "Text4", "Text5", "Text6", "Text7"})
        QVERIFY2(control<QLineEdit>(name)->text().isEmpty(), name);
    auto* button = control<ColourButton>("Command1");
    QVERIFY(!button->backColor().isValid());
    QVERIFY(button->toolTip().isEmpty());
    QPushButton plain(button->text());
    plain.setFont(button->font());
    plain.resize(button->size());
    QCOMPARE(button->grab().toImage().convertToFormat(QImage::Format_RGB32),
             plain.grab().toImage().convertToFormat(QImage::Format_RGB32));
    QCOMPARE(QApplication::focusWidget(), control<QLineEdit>("Text1"));
}

void Form1Test::outputsAreReadOnlyButSelectable_data()
{
    fieldFont_data();
}

void Form1Test::outputsAreReadOnlyButSelectable()
{
    QFETCH(QString, name);
    showActive();
    auto* field = control<QLineEdit>(name.toLatin1().constData());
    const bool isOutput = name >= QLatin1String("Text4");
    QCOMPARE(field->isReadOnly(), isOutput);
    QVERIFY(field->focusPolicy() & Qt::TabFocus);

    field->setText(QStringLiteral("49.804"));
    field->setFocus();
    QTest::keyClicks(field, QStringLiteral("7"));
    QCOMPARE(field->text(), isOutput ? QStringLiteral("49.804") : QStringLiteral("49.8047"));

    QApplication::clipboard()->setText(QStringLiteral("marker"));
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), field->text());
}

void Form1Test::enterClicksTheButton_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("repeats");  // auto-repeated presses while the key is held
    QTest::addColumn<int>("clicks");
    QTest::newRow("Text1 Return") << "Text1" << int(Qt::Key_Return) << 0 << 1;
    QTest::newRow("Text2 Return held") << "Text2" << int(Qt::Key_Return) << 3 << 1;
    QTest::newRow("Text3 keypad Enter") << "Text3" << int(Qt::Key_Enter) << 0 << 1;
    QTest::newRow("Text5 Return") << "Text5" << int(Qt::Key_Return) << 0 << 0;
    QTest::newRow("Command1 Return") << "Command1" << int(Qt::Key_Return) << 0 << 1;
    QTest::newRow("Command1 keypad Enter") << "Command1" << int(Qt::Key_Enter) << 0 << 1;
    QTest::newRow("Command1 Return held") << "Command1" << int(Qt::Key_Return) << 3 << 1;
    QTest::newRow("Command1 Space") << "Command1" << int(Qt::Key_Space) << 0 << 1;
}

// Each key event reaches the window's controller; a conversion shows as K's
// "0", which is cleared again before the next event.
void Form1Test::enterClicksTheButton()
{
    QFETCH(QString, name);
    QFETCH(int, key);
    QFETCH(int, repeats);
    QFETCH(int, clicks);
    showActive();
    auto* target = control<QWidget>(name.toLatin1().constData());
    for (const char* input : {"Text1", "Text2", "Text3"})
        control<QLineEdit>(input)->setText(QStringLiteral("0"));  // good values: no message box
    auto* k = control<QLineEdit>("Text4");
    int conversions = 0;
    const auto count = [&] {
        conversions += k->text().isEmpty() ? 0 : 1;
        k->clear();
    };
    target->setFocus();
    const auto code = static_cast<Qt::Key>(key);
    const Qt::KeyboardModifiers modifiers = code == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyPress(target, code, modifiers);
    count();
    for (int i = 0; i < repeats; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, code, modifiers, QString(), true);
        QApplication::sendEvent(target, &repeat);
        count();
    }
    QTest::keyRelease(target, code, modifiers);
    count();
    QCOMPARE(conversions, clicks);
    QCOMPARE(QApplication::focusWidget(), target);
}

void Form1Test::buttonFaceTakesTheExactColour_data()
{
    QTest::addColumn<quorvel::ColourWord>("colour");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<QString>("state");
    const QStringList states{"idle", "focused", "hovered", "pressed"};
    for (const QString& state : states) {
        QTest::addRow("red %s", qPrintable(state)) << quorvel::PackColour(255, 0, 0) << QColor(255, 0, 0) << state;
        QTest::addRow("black %s", qPrintable(state)) << quorvel::PackColour(0, 0, 0) << QColor(0, 0, 0) << state;
        QTest::addRow("white %s", qPrintable(state))
            << quorvel::PackColour(255, 255, 255) << QColor(255, 255, 255) << state;
        QTest::addRow("brown %s", qPrintable(state))
            << quorvel::PackColour(128, 64, 32) << QColor(128, 64, 32) << state;
    }
}

void Form1Test::buttonFaceTakesTheExactColour()
{
    QFETCH(quorvel::ColourWord, colour);
    QFETCH(QColor, expected);
    QFETCH(QString, state);
    showActive();
    auto* button = control<ColourButton>("Command1");
    button->setBackColor(colour);
    QCOMPARE(button->backColor(), expected);
    if (state == QLatin1String("focused")) {
        // By keyboard, as styles draw their focus frames only then.
        control<QLineEdit>("Text3")->setFocus();
        QTest::keyClick(control<QLineEdit>("Text3"), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), button);
    }
    if (state == QLatin1String("hovered"))
        button->setAttribute(Qt::WA_UnderMouse);
    if (state == QLatin1String("pressed"))
        button->setDown(true);

    // Bands above and below the caption, inside the border and the focus rectangle.
    const QImage face = button->grab().toImage();
    const int margin = 6;
    for (int y : {margin, 20, face.height() - 20, face.height() - margin - 1}) {
        for (int x = margin; x < face.width() - margin; ++x)
            QCOMPARE(face.pixelColor(x, y), expected);
    }
    // Focus shows as a rectangle 4 pixels in, and only with focus.
    int focusRectanglePixels = 0;
    for (int x = margin; x < face.width() - margin; ++x)
        focusRectanglePixels += face.pixelColor(x, 4) != expected ? 1 : 0;
    QCOMPARE(focusRectanglePixels > 0, state == QLatin1String("focused"));
    // The caption stays legible: some of its pixels stand out from the face.
    int captionPixels = 0;
    for (int x = 0; x < face.width(); ++x)
        captionPixels += face.pixelColor(x, face.height() / 2) != expected ? 1 : 0;
    QVERIFY(captionPixels > 4);
}

void Form1Test::hoverAndFocusLeaveTheWholeButtonAlone_data()
{
    QTest::addColumn<quorvel::ColourWord>("colour");
    QTest::newRow("red") << quorvel::PackColour(255, 0, 0);
    QTest::newRow("black") << quorvel::PackColour(0, 0, 0);
    QTest::newRow("light grey") << quorvel::PackColour(230, 230, 230);
}

// The whole button, border included: hovering changes nothing, and keyboard
// focus adds only the dotted rectangle 4 pixels in.
void Form1Test::hoverAndFocusLeaveTheWholeButtonAlone()
{
    QFETCH(quorvel::ColourWord, colour);
    showActive();
    auto* button = control<ColourButton>("Command1");
    button->setBackColor(colour);
    const QImage idle = button->grab().toImage();

    button->setAttribute(Qt::WA_UnderMouse);
    QCOMPARE(button->grab().toImage(), idle);
    button->setAttribute(Qt::WA_UnderMouse, false);

    control<QLineEdit>("Text3")->setFocus();
    QTest::keyClick(control<QLineEdit>("Text3"), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), button);
    const QImage focused = button->grab().toImage();
    QCOMPARE(focused.size(), idle.size());
    const int left = 4;
    const int top = 4;
    const int right = idle.width() - 5;
    const int bottom = idle.height() - 5;
    for (int y = 0; y < idle.height(); ++y) {
        for (int x = 0; x < idle.width(); ++x) {
            const bool inside = x >= left && x <= right && y >= top && y <= bottom;
            const bool onRectangle = inside && (x == left || x == right || y == top || y == bottom);
            if (!onRectangle && focused.pixel(x, y) != idle.pixel(x, y))
                QFAIL(qPrintable(QStringLiteral("focus changed the pixel at (%1, %2)").arg(x).arg(y)));
        }
    }
}

QTEST_MAIN(Form1Test)
#include "form1_test.moc"
