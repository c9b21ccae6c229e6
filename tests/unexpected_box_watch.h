#pragma once

#include <QApplication>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

// Closes at once any message box that comes up while none is expected, and
// remembers its text, so a test fails instead of waiting on the box.
class UnexpectedBoxWatch {
public:
    UnexpectedBoxWatch()
    {
        timer.setInterval(20);
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (expected || !box || !box->isVisible())
                return;
            seen << box->text();
            box->close();
        });
    }

    void start()
    {
        seen.clear();
        timer.start();
    }
    void stop() { timer.stop(); }

    bool expected = false;  // set while a test waits for a box of its own
    QStringList seen;

private:
    QTimer timer;
};
