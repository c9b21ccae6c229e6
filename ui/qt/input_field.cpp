#include "input_field.h"

#include "form1_design.h"
#include "paste_rule.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>


using quorvel::design::PastePlan;

InputField::InputField(QWidget* parent)
    : QLineEdit(parent)
{
    setMaxLength(quorvel::design::kInputLengthLimit);
}

void InputField::pasteText(const QString& pasted)
{
    const PastePlan plan = quorvel::design::PlanPaste(pasted.toStdString(), static_cast<std::size_t>(text().size()),
                                                      static_cast<std::size_t>(selectedText().size()));
    switch (plan.kind) {
    case PastePlan::Kind::Refuse:
        QApplication::beep();
        break;
    case PastePlan::Kind::FillChannels: {
        QStringList cells;
        for (const std::string& cell : plan.channels)
            cells << QString::fromStdString(cell);
        emit rowPasted(cells);
        break;
    }
    case PastePlan::Kind::IntoField:
        if (!plan.text.empty())
            insert(QString::fromStdString(plan.text));
        break;
    }
}

namespace {

bool IsEnter(const QKeyEvent* event) { return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter; }

}  // namespace

void InputField::keyPressEvent(QKeyEvent* event)
{
    // Enter held down presses 转 once: its repeats would bring the box back as
    // soon as the first press had dismissed it. X repeats a key as a release and
    // a press with the same time stamp, which Qt marks as a repeat only when both
    // have already arrived; the time stamp tells them apart either way.
    if (IsEnter(event) && (event->isAutoRepeat() || enterReleasedAt == event->timestamp())) {
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Paste) && !isReadOnly()) {
        pasteText(QApplication::clipboard()->text());
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void InputField::keyReleaseEvent(QKeyEvent* event)
{
    if (IsEnter(event))
        enterReleasedAt = event->timestamp();
    QLineEdit::keyReleaseEvent(event);
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
            connect(action, &QAction::triggered, this, [this] { pasteText(QApplication::clipboard()->text()); });
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
        pasteText(clipboard->text(QClipboard::Selection));
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
        pasteText(event->mimeData()->text());
        event->acceptProposedAction();
        return;
    }
    QLineEdit::dropEvent(event);
}
