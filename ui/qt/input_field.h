#pragma once

#include <QLineEdit>

// One of the R, G and B inputs. Every way of pasting into it (the keys, the
// context menu, the middle button, a drop from elsewhere) comes out as one
// signal, for the paste rule to decide what goes where; a dropped colour
// comes out as another.
class InputField : public QLineEdit {
    Q_OBJECT

public:
    using QLineEdit::QLineEdit;

signals:
    // A text to paste at the caret, replacing the selection.
    void pasted(const QString& text);
    // A colour dragged from another program (a colour dialog, a picker) and dropped here.
    void colourDropped(const QColor& colour);
    // Typed text that the field's maximum length kept out.
    void typedPastLimit();

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    bool fits(const QString& typed) const;
};
