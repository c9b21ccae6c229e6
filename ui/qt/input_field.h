#pragma once

#include <QLineEdit>
#include <QStringList>

#include <optional>

// One of the R, G and B inputs. Every paste goes through the paste rule: the
// field never takes a line break, a row of three cells is handed on to fill all
// three inputs, and a text the field cannot hold whole is refused, never cut.
class InputField : public QLineEdit {
    Q_OBJECT

public:
    explicit InputField(QWidget* parent = nullptr);

    // Pastes the text at the caret, replacing the selection, by the paste rule.
    void pasteText(const QString& pasted);

signals:
    // A spreadsheet row of three cells was pasted: R, G and B in that order.
    void rowPasted(const QStringList& cells);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // When Enter was last let go, as the window system stamps key events.
    std::optional<quint64> enterReleasedAt;
};
