#pragma once

#include <QObject>
#include <QSize>

class QWidget;

// Keeps a window of fixed size at its size where the window system offers to
// maximise it anyway: under Wayland, Qt draws the title bar itself, with a
// maximise button on every window whatever its flags.
class FixedSize : public QObject {
    Q_OBJECT

public:
    // Once the window has been shown, so that it has its native window.
    static void Keep(QWidget& window);

private:
    explicit FixedSize(QWidget& window);
    void windowStateChanged();
    bool maximised() const;
    void fixAgain();
    bool eventFilter(QObject* watched, QEvent* event) override;

    QWidget& window;
    const QSize size;
    bool lifted = false;      // the maximum size, for the compositor's maximised state
    bool takingBack = false;  // while the maximised state is being taken back
};
