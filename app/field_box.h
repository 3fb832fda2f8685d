// A single-line text box whose character limit works the way people expect of
// it: it stops typing beyond the limit and cuts a pasted or dropped text to
// it, but never cuts a text the program writes, nor the text already there
// when the limit is lowered. (QLineEdit::setMaxLength truncates both, which
// would lose typed digits; a validator alone would drop a long paste whole.)
#pragma once

#include <QColor>
#include <QLineEdit>

#include <functional>

namespace quillet {

class FieldBox : public QLineEdit {
    Q_OBJECT

public:
    explicit FieldBox(QWidget* parent = nullptr);

    // Hides QLineEdit::setText so that the program's own writes are never
    // judged by the limit. The form writes boxes only through FieldBox.
    void setText(const QString& text);

    // Most characters a person may type; 0 for no limit.
    void setCharLimit(int limit);
    int charLimit() const { return charLimit_; }

    // The text colour in the enabled states; a disabled box keeps the
    // style's greyed text.
    void setTextColour(const QColor& colour);
    void setBackColour(const QColor& colour);
    // Back to the system's window background, as a usable box shows it.
    void useWindowBackground();
    // Back to the system's window-text colour.
    void useWindowTextColour();

    // The colours the box shows now.
    QColor shownTextColour() const;
    QColor shownBackColour() const;

    // Gets the first look at every text pasted or dropped into the box (by
    // Ctrl+V, Shift+Insert, the context menu, a middle-click or a drop);
    // when it takes the text, nothing is inserted.
    void setPasteTaker(std::function<bool(const QString&)> taker) { pasteTaker_ = std::move(taker); }
    // Gets the first look at Ctrl+Z; when it takes it, the box's own undo
    // does not run.
    void setUndoTaker(std::function<bool()> taker) { undoTaker_ = std::move(taker); }
    // Entries added at the end of the box's context menu.
    void addMenuEntry(QAction* entry) { menuEntries_.append(entry); }
    // Pastes as a person does: offered to the taker, else inserted at the
    // cursor, cut to what the limit leaves room for.
    void pasteText(const QString& text);

signals:
    // The keyboard focus left the box, for the reason Qt gives.
    void focusLeft(Qt::FocusReason reason);
    // Return or Enter (the keypad's too) was pressed in an editable box.
    void entered();

protected:
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void insertCut(const QString& text);
    void copyWhole();

    int charLimit_ = 0;
    qsizetype lengthBeforeEdit_ = 0;
    bool programWrite_ = false;
    std::function<bool(const QString&)> pasteTaker_;
    std::function<bool()> undoTaker_;
    QList<QAction*> menuEntries_;
};

}  // namespace quillet
