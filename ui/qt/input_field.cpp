#include "input_field.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>

void InputField::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        emit pasted(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InputField::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = createStandardContextMenu();
    // The menu's Paste is the action wired to QLineEdit::paste; it is rewired
    // to the paste rule. Qt 6.4 wires it by the slot's name, later versions
    // by pointer, so both forms are tried.
    for (QAction* action : menu->actions()) {
        if (disconnect(action, &QAction::triggered, this, &QLineEdit::paste) ||
            disconnect(action, SIGNAL(triggered()), this, SLOT(paste()))) {
            connect(action, &QAction::triggered, this, [this] { emit pasted(QApplication::clipboard()->text()); });
            action->setObjectName(QStringLiteral("edit-paste"));
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

// On X11 a middle click pastes the primary selection.
void InputField::mouseReleaseEvent(QMouseEvent* event)
{
    QClipboard* clipboard = QApplication::clipboard();
    if (event->button() == Qt::MiddleButton && clipboard->supportsSelection() && !isReadOnly()) {
        deselect();
        emit pasted(clipboard->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

// Text dropped from elsewhere is a paste at the drop point; a drag within the
// field itself moves text as usual.
void InputField::dropEvent(QDropEvent* event)
{
    if (event->source() != this && event->mimeData()->hasText() && !isReadOnly()) {
        deselect();
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        emit pasted(event->mimeData()->text());
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dropEvent(event);
}
