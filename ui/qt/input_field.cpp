#include "input_field.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QContextMenuEvent>
#include <QInputMethodEvent>
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
    const bool types = !event->text().isEmpty() && event->text().front().isPrint() &&
                       !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (types && !fits(event->text()))
        emit typedPastLimit();
    QLineEdit::keyPressEvent(event);
}

// Chinese and other scripts are typed through an input method, whose text
// comes all at once.
void InputField::inputMethodEvent(QInputMethodEvent* event)
{
    if (!fits(event->commitString()))
        emit typedPastLimit();
    QLineEdit::inputMethodEvent(event);
}

bool InputField::fits(const QString& typed) const
{
    return text().size() - selectedText().size() + typed.size() <= maxLength();
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

namespace {

// Colour dialogs and pickers send application/x-color, often with no text.
bool IsColourDrag(const QDropEvent& event, const QLineEdit& field)
{
    return event.mimeData()->hasColor() && !field.isReadOnly();
}

}  // namespace

void InputField::dragEnterEvent(QDragEnterEvent* event)
{
    if (IsColourDrag(*event, *this)) {
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dragEnterEvent(event);
}

void InputField::dragMoveEvent(QDragMoveEvent* event)
{
    if (IsColourDrag(*event, *this)) {
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dragMoveEvent(event);
}

// A colour dropped from elsewhere fills R, G and B; text dropped from
// elsewhere is a paste at the drop point; a drag within the field itself
// moves text as usual.
void InputField::dropEvent(QDropEvent* event)
{
    if (IsColourDrag(*event, *this)) {
        emit colourDropped(qvariant_cast<QColor>(event->mimeData()->colorData()));
        event->acceptProposedAction();
        return;
    }
    if (event->source() != this && event->mimeData()->hasText() && !isReadOnly()) {
        deselect();
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        emit pasted(event->mimeData()->text());
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dropEvent(event);
}
