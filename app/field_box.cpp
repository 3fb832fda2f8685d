#include "app/field_box.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QValidator>

namespace quillet {

namespace {

// Accepts an edit when the text stays within the limit, or when it does not
// grow (so an over-long text can still be shortened or overwritten).
class LimitValidator : public QValidator {
public:
    LimitValidator(const int& limit, const qsizetype& lengthBeforeEdit, const bool& programWrite, QObject* parent)
        : QValidator(parent), limit_(limit), lengthBeforeEdit_(lengthBeforeEdit), programWrite_(programWrite) {}

    State validate(QString& input, int&) const override {
        if (programWrite_ || limit_ == 0 || input.size() <= limit_ || input.size() <= lengthBeforeEdit_)
            return Acceptable;
        return Invalid;
    }

private:
    const int& limit_;
    const qsizetype& lengthBeforeEdit_;
    const bool& programWrite_;
};

QPalette::ColorGroup ShownGroup(const QWidget& widget) {
    if (!widget.isEnabled()) return QPalette::Disabled;
    return widget.isActiveWindow() ? QPalette::Active : QPalette::Inactive;
}

}  // namespace

FieldBox::FieldBox(QWidget* parent) : QLineEdit(parent) {
    setValidator(new LimitValidator(charLimit_, lengthBeforeEdit_, programWrite_, this));
    connect(this, &QLineEdit::textChanged, this, [this](const QString& text) { lengthBeforeEdit_ = text.size(); });
}

void FieldBox::setText(const QString& text) {
    programWrite_ = true;
    QLineEdit::setText(text);
    programWrite_ = false;
}

void FieldBox::setCharLimit(int limit) { charLimit_ = limit < 0 ? 0 : limit; }

void FieldBox::setTextColour(const QColor& colour) {
    QPalette shades = palette();
    shades.setColor(QPalette::Active, QPalette::Text, colour);
    shades.setColor(QPalette::Inactive, QPalette::Text, colour);
    setPalette(shades);
}

void FieldBox::setBackColour(const QColor& colour) {
    QPalette shades = palette();
    shades.setColor(QPalette::All, QPalette::Base, colour);
    setPalette(shades);
}

void FieldBox::useWindowBackground() {
    QPalette shades = palette();
    const QPalette system = QApplication::palette(this);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        shades.setColor(group, QPalette::Base, system.color(group, QPalette::Base));
    setPalette(shades);
}

void FieldBox::useWindowTextColour() {
    const QPalette system = QApplication::palette(this);
    QPalette shades = palette();
    shades.setColor(QPalette::Active, QPalette::Text, system.color(QPalette::Active, QPalette::Text));
    shades.setColor(QPalette::Inactive, QPalette::Text, system.color(QPalette::Inactive, QPalette::Text));
    setPalette(shades);
}

void FieldBox::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    emit focusLeft(event->reason());
}

void FieldBox::pasteText(const QString& text) {
    if (isReadOnly() || !isEnabled()) return;
    if (pasteTaker_ && pasteTaker_(text)) return;
    insertCut(text);
}

void FieldBox::insertCut(const QString& text) {
    // One line: the breaks of a text of several lines are blanks, and those
    // copied along at its ends are dropped.
    static const QRegularExpression lineBreaks(QStringLiteral("\r\n|[\r\n]"));
    QString line = text;
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r'))) line.chop(1);
    while (line.startsWith(QLatin1Char('\n')) || line.startsWith(QLatin1Char('\r'))) line.remove(0, 1);
    line.replace(lineBreaks, QStringLiteral(" "));
    if (charLimit_ > 0) {
        const qsizetype room = charLimit_ - (this->text().size() - selectedText().size());
        line.truncate(std::max<qsizetype>(room, 0));
    }
    if (!line.isEmpty() || hasSelectedText()) insert(line);
}

void FieldBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        pasteText(QGuiApplication::clipboard()->text());
        event->accept();
        return;
    }
    // An output box copies its whole text when nothing in it is selected.
    if (event->matches(QKeySequence::Copy) && isReadOnly() && !hasSelectedText()) {
        copyWhole();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Undo) && undoTaker_ && undoTaker_()) {
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !isReadOnly()) {
        emit entered();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void FieldBox::mouseReleaseEvent(QMouseEvent* event) {
    // X11's middle-click pastes the selection: the same paste as Ctrl+V,
    // rather than QLineEdit's insert, which a long text would fail whole.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection() &&
        !isReadOnly()) {
        deselect();
        pasteText(QGuiApplication::clipboard()->text(QClipboard::Selection));
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void FieldBox::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // The menu's Paste, known by what it is connected to, pastes our way.
    // QLineEdit connects it by name, so only the name disconnects it.
    // Copy, in an output box, copies the whole box when nothing is selected,
    // as Ctrl+C does there.
    for (QAction* entry : menu->actions()) {
        if (disconnect(entry, SIGNAL(triggered()), this, SLOT(paste())))
            connect(entry, &QAction::triggered, this, [this] { pasteText(QGuiApplication::clipboard()->text()); });
        if (isReadOnly() && !hasSelectedText() && disconnect(entry, SIGNAL(triggered()), this, SLOT(copy()))) {
            connect(entry, &QAction::triggered, this, &FieldBox::copyWhole);
            entry->setEnabled(!text().isEmpty());
        }
    }
    if (!menuEntries_.isEmpty()) {
        menu->addSeparator();
        menu->addActions(menuEntries_);
    }
    menu->popup(event->globalPos());
}

void FieldBox::dropEvent(QDropEvent* event) {
    // A move within the box stays QLineEdit's own.
    if (event->source() == this || !event->mimeData()->hasText() || isReadOnly()) {
        QLineEdit::dropEvent(event);
        return;
    }
    const QString text = event->mimeData()->text();
    if (!pasteTaker_ || !pasteTaker_(text)) {
        deselect();
        setCursorPosition(cursorPositionAt(event->position().toPoint()));
        insertCut(text);
    }
    event->acceptProposedAction();
}

void FieldBox::copyWhole() {
    if (!text().isEmpty()) QGuiApplication::clipboard()->setText(text());
}

QColor FieldBox::shownTextColour() const { return palette().color(ShownGroup(*this), QPalette::Text); }

QColor FieldBox::shownBackColour() const { return palette().color(ShownGroup(*this), QPalette::Base); }

}  // namespace quillet
