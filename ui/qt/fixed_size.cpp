#include "fixed_size.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

constexpr Qt::WindowStates kRefused = Qt::WindowMaximized | Qt::WindowFullScreen;

}  // namespace

void FixedSize::Keep(QWidget& window)
{
    if (!window.findChild<FixedSize*>(QString(), Qt::FindDirectChildrenOnly))
        new FixedSize(window);
}

FixedSize::FixedSize(QWidget& fixedWindow)
    : QObject(&fixedWindow), window(fixedWindow), size(fixedWindow.size())
{
    connect(window.windowHandle(), &QWindow::windowStateChanged, this, &FixedSize::windowStateChanged);
    window.installEventFilter(this);
}

// The maximised state is answered by a configuration of the compositor's
// size, which Qt 6.4 would answer with the fixed size, a protocol error that
// ends the program: the maximum is lifted as soon as the state is asked for,
// and the fixed size set again once the compositor has let go of it. Qt 6.4
// tells that by a second change to the normal state, Qt 6.8 only by resizing
// the window back.
void FixedSize::windowStateChanged()
{
    if (maximised()) {
        lifted = true;
        window.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    } else if (!takingBack) {
        fixAgain();
    }
}

bool FixedSize::maximised() const { return window.windowHandle()->windowStates() & kRefused; }

void FixedSize::fixAgain()
{
    if (lifted) {
        lifted = false;
        window.setFixedSize(size);
    }
}

// The compositor has maximised the window: the state is taken back.
bool FixedSize::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && (window.windowState() & kRefused)) {
        QTimer::singleShot(0, this, [this] {
            takingBack = true;
            window.setWindowState(window.windowState() & ~kRefused);
            takingBack = false;
        });
    } else if (event->type() == QEvent::Resize && event->spontaneous() && !maximised()) {
        fixAgain();
    }
    return QObject::eventFilter(watched, event);
}
