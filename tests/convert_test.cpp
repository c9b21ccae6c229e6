#include "colour_button.h"
#include "form1.h"

#include <QApplication>
#include <QLineEdit>
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

private slots:
    void init();
    void cleanup();

    void successShowsColourAndOutputs_data();
    void successShowsColourAndOutputs();
    void failureShowsOnlyTheBox_data();
    void failureShowsOnlyTheBox();
    void failureAfterSuccessKeepsTheEarlierDisplay();
    void enterWithABadInputShowsTheBox();
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

    std::unique_ptr<Form1> window;
};

void ConvertTest::init()
{
    window = std::make_unique<Form1>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
}

void ConvertTest::cleanup()
{
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
        QTest::keyClicks(input, texts[i]);
        QCOMPARE(input->text(), texts[i]);
    }
}

// Presses, and dismisses the box that comes up in the given way; the press
// returns only once the box is gone.
ConvertTest::Box ConvertTest::pressExpectingBox(const std::function<void()>& pressButton, Dismissal dismissal)
{
    Box seen;
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

void ConvertTest::enterWithABadInputShowsTheBox()
{
    type("abc", "0", "0");
    QTest::mouseClick(field(1), Qt::LeftButton);
    const Box box = pressExpectingBox([this] { QTest::keyClick(field(1), Qt::Key_Return); }, Dismissal::Enter);
    QVERIFY(box.shown);
    QVERIFY(!box.stuck);
    QCOMPARE(box.text, QStringLiteral("请输入正确的R色值"));
    QCOMPARE(window->focusWidget(), field(1));
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
