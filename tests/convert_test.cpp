#include "colour_button.h"
#include "form1.h"
#include "form1_design.h"
#include "startup.h"
#include "unexpected_box_watch.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

// Presses the convert button as a person does, on the real window, and reads
// what the window then shows.
class ConvertTest : public QObject {
    Q_OBJECT

public:
    enum class Dismissal { OkButton, Enter, Escape, CloseBox };
    Q_ENUM(Dismissal)
    enum class PasteBy { CtrlV, ShiftInsert, ContextMenu, Drop, ColourDrop };
    Q_ENUM(PasteBy)

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void successShowsColourAndOutputs_data();
    void successShowsColourAndOutputs();
    void failureShowsOnlyTheBox_data();
    void failureShowsOnlyTheBox();
    void failureAfterSuccessKeepsTheEarlierDisplay();
    void enterWithABadInputShowsOneBox_data();
    void enterWithABadInputShowsOneBox();
    void pastedTextsConvertAsShown_data();
    void pastedTextsConvertAsShown();
    void boxButtonSpeaksTheSystemLanguage();
    void equalPressesGiveTheSameDisplay();
    void enterInAnInputConverts_data();
    void enterInAnInputConverts();
    void localeDecidesTheSeparator_data();
    void localeDecidesTheSeparator();

private:
    struct Box {
        bool shown = false;
        QString title;
        QString text;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        Qt::WindowModality modality = Qt::NonModal;
        bool stuck = false;  // the dismissal did not close it
    };
    struct Display {
        QStringList fields;
        QColor buttonColour;
        bool operator==(const Display&) const = default;
    };

    QLineEdit* field(int number) { return window->findChild<QLineEdit*>(QStringLiteral("Text%1").arg(number)); }
    ColourButton* button() { return window->findChild<ColourButton*>(QStringLiteral("Command1")); }
    void type(const QString& r, const QString& g, const QString& b);
    void press() { QTest::mouseClick(button(), Qt::LeftButton); }
    Box pressExpectingBox(const std::function<void()>& press, Dismissal dismissal = Dismissal::OkButton);
    Display display();
    QColor faceColour();
    void paste(QLineEdit* input, const QString& text, PasteBy how);

    std::unique_ptr<Form1> window;
    UnexpectedBoxWatch unexpectedBoxes;
};

void ConvertTest::initTestCase()
{
    startup::InstallQtTranslations(*QCoreApplication::instance());
}

void ConvertTest::init()
{
    unexpectedBoxes.start();
    window = std::make_unique<Form1>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void ConvertTest::cleanup()
{
    unexpectedBoxes.stop();
    QVERIFY2(unexpectedBoxes.seen.isEmpty(), qPrintable("a box came up: " + unexpectedBoxes.seen.join(", ")));
    window.reset();
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

void ConvertTest::type(const QString& r, const QString& g, const QString& b)
{
    const QString texts[] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        QLineEdit* input = field(i + 1);
        QTest::mouseClick(input, Qt::LeftButton);
        QTest::keyClick(input, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(input, Qt::Key_Delete);
        // Key by key, with each key's text, as a keyboard or input method sends it.
        for (const QChar character : texts[i])
            QTest::sendKeyEvent(QTest::Click, input, Qt::Key_unknown, QString(character), Qt::NoModifier);
        QCOMPARE(input->text(), texts[i]);
    }
}

// Presses, and dismisses the box that comes up in the given way; the press
// returns only once the box is gone.
ConvertTest::Box ConvertTest::pressExpectingBox(const std::function<void()>& pressButton, Dismissal dismissal)
{
    Box seen;
    unexpectedBoxes.expected = true;
    QTimer poll;
    poll.setInterval(10);
    connect(&poll, &QTimer::timeout, this, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        poll.stop();
        seen = {true, box->windowTitle(), box->text(), box->standardButtons(), box->icon(), box->windowModality(), false};
        switch (dismissal) {
        case Dismissal::OkButton:
            QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
            break;
        case Dismissal::Enter:
            QTest::keyClick(box, Qt::Key_Return);
            break;
        case Dismissal::Escape:
            QTest::keyClick(box, Qt::Key_Escape);
            break;
        case Dismissal::CloseBox:
            box->close();
            break;
        }
    });
    poll.start();
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, this, [&] {
        if (QWidget* stuck = QApplication::activeModalWidget()) {
            seen.stuck = true;
            stuck->close();  // never leave a box open to block later tests
        }
    });
    guard.start(5000);
    pressButton();
    unexpectedBoxes.expected = false;
    return seen;
}

QColor ConvertTest::faceColour()
{
    const QImage face = button()->grab().toImage();
    return face.pixelColor(face.width() / 2, 8);
}

ConvertTest::Display ConvertTest::display()
{
    Display shown;
    for (int i = 1; i <= 7; ++i)
        shown.fields << field(i)->text();
    shown.buttonColour = button()->backColor();
    return shown;
}

void ConvertTest::successShowsColourAndOutputs_data()
{
    QTest::addColumn<QStringList>("rgb");
    QTest::addColumn<QColor>("colour");
    QTest::addColumn<QStringList>("kcmy");
    QTest::newRow("pure red") << QStringList{"255", "0", "0"} << QColor(255, 0, 0)
                              << QStringList{"0", ".000", "100.000", "100.000"};
    QTest::newRow("black") << QStringList{"0", "0", "0"} << QColor(0, 0, 0)
                           << QStringList{"0", "100.000", "100.000", "100.000"};
    QTest::newRow("white") << QStringList{"255", "255", "255"} << QColor(255, 255, 255)
                           << QStringList{"0", ".000", ".000", ".000"};
    QTest::newRow("brown") << QStringList{"128", "64", "32"} << QColor(128, 64, 32)
                           << QStringList{"0", "49.804", "74.902", "87.451"};
    QTest::newRow("fraction rounds byte to even") << QStringList{"12.5", "0", "0"} << QColor(12, 0, 0)
                                                  << QStringList{"0", "95.098", "100.000", "100.000"};
    QTest::newRow("blanks and exponent") << QStringList{" 1e2 ", "-0", "2.55E2"} << QColor(100, 0, 255)
                                         << QStringList{"0", "60.784", "100.000", ".000"};
    // The field's text reaches the conversion as typed, wide blanks included.
    QTest::newRow("ideographic space after") << QStringList{QStringLiteral("12\u3000"), "0", "255"}
                                             << QColor(12, 0, 255) << QStringList{"0", "95.294", "100.000", ".000"};
    QTest::newRow("no-break space before") << QStringList{QStringLiteral("\u00A012"), "0", "255"}
                                           << QColor(12, 0, 255) << QStringList{"0", "95.294", "100.000", ".000"};
}

void ConvertTest::successShowsColourAndOutputs()
{
    QFETCH(QStringList, rgb);
    QFETCH(QColor, colour);
    QFETCH(QStringList, kcmy);
    type(rgb[0], rgb[1], rgb[2]);
    press();
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(display().fields, rgb + kcmy);
    QCOMPARE(button()->backColor(), colour);
    QCOMPARE(faceColour(), colour);
    // What a mouse pointer and a screen reader are told of the face.
    QCOMPARE(button()->toolTip(), colour.name().toUpper());
    QCOMPARE(button()->accessibleDescription(), colour.name().toUpper());
}

void ConvertTest::failureShowsOnlyTheBox_data()
{
    QTest::addColumn<QStringList>("rgb");
    QTest::addColumn<QString>("message");
    QTest::addColumn<Dismissal>("dismissal");
    QTest::newRow("all empty, OK") << QStringList{"", "", ""} << "请输入正确的R色值" << Dismissal::OkButton;
    QTest::newRow("blue negative, Enter") << QStringList{"100", "100", "-5"} << "请输入正确的B色值"
                                          << Dismissal::Enter;
    QTest::newRow("green above range, Esc") << QStringList{"10", "300", "abc"} << "请输入正确的G色值"
                                            << Dismissal::Escape;
    QTest::newRow("red not a number, closed") << QStringList{"12a", "0", "0"} << "请输入正确的R色值"
                                              << Dismissal::CloseBox;
    QTest::newRow("red just above top") << QStringList{"255.0001", "0", "0"} << "请输入正确的R色值"
                                        << Dismissal::OkButton;
    QTest::newRow("blue blanks only") << QStringList{"0", "0", "   "} << "请输入正确的B色值" << Dismissal::Enter;
    // Blanks that are not a number's blanks, though Qt would trim them.
    QTest::newRow("em space after") << QStringList{QStringLiteral("12\u2003"), "0", "255"} << "请输入正确的R色值"
                                    << Dismissal::OkButton;
    QTest::newRow("narrow no-break space before") << QStringList{QStringLiteral("\u202F12"), "0", "255"}
                                                  << "请输入正确的R色值" << Dismissal::OkButton;
}

void ConvertTest::failureShowsOnlyTheBox()
{
    QFETCH(QStringList, rgb);
    QFETCH(QString, message);
    QFETCH(Dismissal, dismissal);
    type(rgb[0], rgb[1], rgb[2]);
    const QColor faceBefore = faceColour();
    const Display before = display();

    const Box box = pressExpectingBox([this] { press(); }, dismissal);
    QVERIFY(box.shown);
    QVERIFY(!box.stuck);
    QCOMPARE(box.title, QStringLiteral("错误"));
    QCOMPARE(box.text, message);
    QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    QCOMPARE(box.icon, QMessageBox::NoIcon);
    QCOMPARE(box.modality, Qt::ApplicationModal);

    QCOMPARE(QApplication::activeModalWidget(), nullptr);
    QCOMPARE(display(), before);
    QCOMPARE(faceColour(), faceBefore);
    QCOMPARE(window->focusWidget(), button());  // where the click put it
}

void ConvertTest::failureAfterSuccessKeepsTheEarlierDisplay()
{
    type("128", "64", "32");
    press();
    type("128", "64", "-1");
    const Display before = display();
    QVERIFY(pressExpectingBox([this] { press(); }).shown);
    QCOMPARE(display(), before);
    QCOMPARE(display().fields.mid(3), QStringList({"0", "49.804", "74.902", "87.451"}));
    QCOMPARE(faceColour(), QColor(128, 64, 32));
}

void ConvertTest::enterWithABadInputShowsOneBox_data()
{
    QTest::addColumn<QString>("focused");
    QTest::newRow("in R=") << "Text1";
    QTest::newRow("on the button") << "Command1";
}

void ConvertTest::enterWithABadInputShowsOneBox()
{
    QFETCH(QString, focused);
    type("abc", "0", "0");
    auto* target = window->findChild<QWidget*>(focused);
    target->setFocus();
    const Box box = pressExpectingBox([target] { QTest::keyClick(target, Qt::Key_Return); }, Dismissal::Enter);
    QVERIFY(box.shown);
    QVERIFY(!box.stuck);
    QCOMPARE(box.text, QStringLiteral("请输入正确的R色值"));
    QCOMPARE(window->focusWidget(), target);
    QTest::qWait(100);  // a second box would be caught by the watch and fail the test
}

void ConvertTest::paste(QLineEdit* input, const QString& text, PasteBy how)
{
    QApplication::clipboard()->setText(text);
    input->setFocus();
    input->selectAll();
    switch (how) {
    case PasteBy::CtrlV:
        QTest::keyClick(input, Qt::Key_V, Qt::ControlModifier);
        break;
    case PasteBy::ShiftInsert:
        QTest::keyClick(input, Qt::Key_Insert, Qt::ShiftModifier);
        break;
    case PasteBy::ContextMenu: {
        QContextMenuEvent request(QContextMenuEvent::Mouse, QPoint(5, 5), input->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(input, &request);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(menu);
        auto* pasteAction = menu->findChild<QAction*>(QStringLiteral("edit-paste"));
        QVERIFY(pasteAction && pasteAction->isEnabled());
        pasteAction->trigger();
        menu->close();
        break;
    }
    case PasteBy::Drop:
    case PasteBy::ColourDrop: {
        auto* dragged = new QMimeData;  // owned by the drop's sender in a real drag
        if (how == PasteBy::ColourDrop)
            dragged->setColorData(QColor(text));  // as a colour dialog sends it: no text
        else
            dragged->setText(text);
        const std::unique_ptr<QMimeData> owner(dragged);
        const QPointF at(input->width() - 2, input->height() / 2);
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(input, &enter);
        QDropEvent drop(at, Qt::CopyAction, dragged, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(input, &drop);
        QVERIFY(drop.isAccepted());
        break;
    }
    }
}

void ConvertTest::pastedTextsConvertAsShown_data()
{
    QTest::addColumn<int>("input");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<PasteBy>("how");
    QTest::addColumn<QStringList>("rgb");   // the inputs after the paste; R, G, B were 7, 64, 32
    QTest::addColumn<QString>("cyan");      // after pressing 转; empty when the R box comes up

    const int limit = quorvel::design::kInputLengthLimit;
    const QString brown = QStringLiteral("49.804");
    QTest::newRow("line break lost") << 1 << "128\n" << PasteBy::CtrlV << QStringList{"128", "64", "32"} << brown;
    QTest::newRow("first non-empty line") << 2 << "\r\n64\r\n32\r\n" << PasteBy::ShiftInsert
                                          << QStringList{"7", "64", "32"} << "97.255";
    QTest::newRow("row into G") << 2 << "128\t64\t32\n" << PasteBy::CtrlV << QStringList{"128", "64", "32"}
                                << brown;
    QTest::newRow("row into B by menu") << 3 << "128\t64\t32\r\n" << PasteBy::ContextMenu
                                        << QStringList{"128", "64", "32"} << brown;
    QTest::newRow("row dropped on R") << 1 << "128\t64\t32\n" << PasteBy::Drop << QStringList{"128", "64", "32"}
                                      << brown;
    QTest::newRow("colour dropped on G") << 2 << "#804020" << PasteBy::ColourDrop << QStringList{"128", "64", "32"}
                                         << brown;
    QTest::newRow("hex into R") << 1 << "#804020\n" << PasteBy::CtrlV << QStringList{"128", "64", "32"} << brown;
    QTest::newRow("control character kept") << 1 << "128\x01" << PasteBy::ContextMenu
                                            << QStringList{"128\x01", "64", "32"} << QString();
    QTest::newRow("half the limit in zeros first") << 1 << QString(limit / 2, u'0') + "128" << PasteBy::CtrlV
                                                   << QStringList{QString(limit / 2, u'0') + "128", "64", "32"}
                                                   << brown;
    QTest::newRow("as long as a field takes")
        << 1 << QString(limit - 3, u'0') + "128\n" << PasteBy::CtrlV
        << QStringList{QString(limit - 3, u'0') + "128", "64", "32"} << brown;
    QTest::newRow("one past the limit refused whole") << 1 << QString(limit - 2, u'0') + "128" << PasteBy::CtrlV
                                                      << QStringList{"7", "64", "32"} << "97.255";
    QTest::newRow("row with a cell past the limit refused")
        << 2 << "1\t" + QString(limit + 1, u'0') + "\t3" << PasteBy::CtrlV << QStringList{"7", "64", "32"}
        << "97.255";
}

// The inputs show exactly what will be converted, and a paste converts nothing
// until the button is pressed.
void ConvertTest::pastedTextsConvertAsShown()
{
    QFETCH(int, input);
    QFETCH(QString, pasted);
    QFETCH(PasteBy, how);
    QFETCH(QStringList, rgb);
    QFETCH(QString, cyan);
    type("7", "64", "32");
    paste(field(input), pasted, how);
    if (QTest::currentTestFailed())
        return;
    const QStringList shown{field(1)->text(), field(2)->text(), field(3)->text()};
    QVERIFY2(shown == rgb, "the inputs are not as expected after the paste");  // no megabyte-long diff
    QCOMPARE(display().fields.mid(3), QStringList({"", "", "", ""}));
    QCOMPARE(QApplication::focusWidget(), field(input));

    if (cyan.isEmpty()) {
        QCOMPARE(pressExpectingBox([this] { press(); }).text, QStringLiteral("请输入正确的R色值"));
    } else {
        press();
        QCOMPARE(field(5)->text(), cyan);
    }
}

// The box's button is Qt's own and follows the system's language; the
// program's own texts are the same in every language (see CMakeLists.txt).
void ConvertTest::boxButtonSpeaksTheSystemLanguage()
{
    const QString expected = qEnvironmentVariable("EXPECTED_OK_BUTTON", QStringLiteral("OK"));
    type("", "0", "0");
    QString buttonText;
    const Box box = pressExpectingBox([&] {
        QTimer::singleShot(0, this, [&] {
            if (auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                buttonText = shown->button(QMessageBox::Ok)->text().remove(u'&');
        });
        press();
    });
    QCOMPARE(box.title, QStringLiteral("错误"));
    QCOMPARE(box.text, QStringLiteral("请输入正确的R色值"));
    QCOMPARE(buttonText, expected);
}

void ConvertTest::equalPressesGiveTheSameDisplay()
{
    type("204", "1", "254");
    press();
    const Display first = display();
    const QImage firstLook = window->grab().toImage();
    press();
    QCOMPARE(display(), first);
    QCOMPARE(window->grab().toImage(), firstLook);
    QCOMPARE(first.fields.mid(3), QStringList({"0", "20.000", "99.608", ".392"}));
}

void ConvertTest::enterInAnInputConverts_data()
{
    QTest::addColumn<int>("input");
    QTest::newRow("Text1") << 1;
    QTest::newRow("Text2") << 2;
    QTest::newRow("Text3") << 3;
}

void ConvertTest::enterInAnInputConverts()
{
    QFETCH(int, input);
    type("0", "128", "255");
    QTest::mouseClick(field(input), Qt::LeftButton);
    QTest::keyClick(field(input), Qt::Key_Return);
    QCOMPARE(display().fields.mid(3), QStringList({"0", "100.000", "49.804", ".000"}));
    QCOMPARE(faceColour(), QColor(0, 128, 255));
    QCOMPARE(window->focusWidget(), field(input));
}

// Run once in a "." locale and once in a "," locale (see CMakeLists.txt).
void ConvertTest::localeDecidesTheSeparator_data()
{
    const QString separator = QLocale::system().decimalPoint();
    const QString expected = qEnvironmentVariable("EXPECTED_SEPARATOR", separator);
    QCOMPARE(separator, expected);
    const QString other = separator == QLatin1String(",") ? QStringLiteral(".") : QStringLiteral(",");

    QTest::addColumn<QString>("red");
    QTest::addColumn<QString>("cyan");  // empty when the box is expected
    QTest::newRow("locale separator") << "12" + separator + "5" << "95" + separator + "098";
    QTest::newRow("other separator") << "12" + other + "5" << QString();
}

void ConvertTest::localeDecidesTheSeparator()
{
    QFETCH(QString, red);
    QFETCH(QString, cyan);
    type(red, "0", "255");
    if (cyan.isEmpty()) {
        QCOMPARE(pressExpectingBox([this] { press(); }).text, QStringLiteral("请输入正确的R色值"));
        QCOMPARE(field(5)->text(), QString());
    } else {
        press();
        QCOMPARE(field(5)->text(), cyan);
        QCOMPARE(faceColour(), QColor(12, 0, 255));
    }
}

QTEST_MAIN(ConvertTest)
#include "convert_test.moc"
