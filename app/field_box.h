// A single-line text box whose character limit works the way people expect of
// it: it stops typing and pasting beyond the limit, but never cuts a text the
// program writes, nor the text already there when the limit is lowered.
// (QLineEdit::setMaxLength truncates both, which would lose typed digits.)
#pragma once

#include <QColor>
#include <QLineEdit>

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

signals:
    // The keyboard focus left the box, for the reason Qt gives.
    void focusLeft(Qt::FocusReason reason);

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    int charLimit_ = 0;
    qsizetype lengthBeforeEdit_ = 0;
    bool programWrite_ = false;
};

}  // namespace quillet
