#include "app/panel/notation_row.h"

#include "app/field_box.h"
#include "convert/forms/code_forms.h"
#include "convert/grids/national_grid.h"
#include "convert/output_format.h"
#include "convert/read/position_text.h"
#include "values/values.h"

#include <QApplication>
#include <QClipboard>
#include <QEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace quillet {

namespace {

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Texts that say what they are (a Plus Code's "+", a link) are copied as
// they are; a bare grid or cell code is named, as it could be read as another.
bool NamedWhenCopied(Code code) {
    switch (code) {
    case Code::Mgrs:
    case Code::Maidenhead:
    case Code::Geohash:
    case Code::Georef:
    case Code::Gars:
    case Code::BritishGrid:
    case Code::IrishGrid: return true;
    default: return false;
    }
}

// The reader's reason, in the converter's words.
std::string Reason(const PositionReading& reading, const RowForm& form) {
    switch (reading.failure) {
    case ReadFailure::Ambiguous: return "two places: " + reading.why;
    case ReadFailure::NoFix: return "the receiver had no fix";
    case ReadFailure::Checksum: return "NMEA checksum does not match";
    case ReadFailure::Refused: return reading.why;
    case ReadFailure::None: return "not a position in " + form.name.toStdString();
    default: return "not a position";
    }
}

}  // namespace

QString CopiedStatus(Code code, const QString& caption, const QString& text) {
    return NamedWhenCopied(code) ? QStringLiteral("Copied %1 %2").arg(caption, text) : QStringLiteral("Copied %1").arg(text);
}

std::vector<int> LengthChoices(Code code) {
    switch (code) {
    case Code::PlusCode: return {10, 11};
    case Code::Maidenhead: return {4, 6, 8, 10};
    case Code::Geohash: return {5, 6, 7, 8, 9, 10, 11, 12};
    case Code::BritishGrid:
    case Code::IrishGrid: return {4, 6, 8, 10};
    case Code::Mgrs: return {1, 2, 3, 4, 5};
    default: return {};
    }
}

std::optional<std::string> RowText(const RowForm& form, const ShownOutput& output, std::string& why) {
    if (!output.latitude || !output.longitude) {
        why = "no position: the output is empty";
        return std::nullopt;
    }
    try {
        std::optional<std::string> text;
        if (form.code != Code::None) {
            text = FormatCode(form.code, *output.latitude, *output.longitude, form.length, output.utm);
            // The caption names the grid; the converter's longer words would not fit.
            if (!text && !GridName(form.code).empty()) why = "outside the grid's area";
        } else if (form.notation == Utm) {
            const std::optional<UtmTexts> utm = FormatUtm({output.latitude, output.longitude});
            if (utm) text = UtmLine(*utm);
        } else {
            text = PositionLine(
                FormatLatLon({output.latitude, output.longitude}, form.notation, output.directionLetters, output.marks));
        }
        if (!text && why.empty()) why = "not written for this position";
        return text;
    } catch (const ValueError&) {
        why = "not written for this position";
        return std::nullopt;
    }
}

std::optional<PositionText> ReadRowText(const RowForm& form, const std::string& text, std::string& why) {
    ReadOptions options;
    options.decimalComma = UserDecimalSeparator() == ',';
    // Receivers' UTM is any UTM text, as --from utm-receiver reads it.
    if (form.code != Code::UtmReceiver) options.only = form.code;
    const PositionReading reading = ReadPosition(text, options);
    if (reading.position) {
        const PositionText& read = *reading.position;
        const bool wanted = form.code == Code::UtmReceiver ? read.code == Code::None && read.notation == Utm
                            : form.code != Code::None ? read.code == form.code
                                                      : read.code == Code::None && read.notation == form.notation;
        if (wanted) return read;
    }
    why = Reason(reading, form);
    return std::nullopt;
}

NotationRow::NotationRow(RowForm form, QWidget* parent, QGridLayout* grid, int line)
    : QObject(parent), form_(std::move(form)) {
    caption_ = new QLabel(form_.caption, parent);
    text_ = new FieldBox(parent);
    text_->setObjectName(QStringLiteral("txtNotation_") + form_.name);
    text_->setAccessibleName(form_.caption);
    text_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    text_->setToolTip(QStringLiteral("%1: type or paste a position written so, then Enter; Escape puts the row back")
                          .arg(form_.caption));
    caption_->setBuddy(text_);
    note_ = new QLabel(parent);
    note_->setObjectName(QStringLiteral("lblNote_") + form_.name);
    note_->setTextFormat(Qt::PlainText);
    note_->setForegroundRole(QPalette::PlaceholderText);
    note_->hide();
    copy_ = new QPushButton(QStringLiteral("Copy"), parent);
    copy_->setObjectName(QStringLiteral("btnCopy_") + form_.name);
    copy_->setAccessibleName(QStringLiteral("Copy ") + form_.caption);
    copy_->setToolTip(QStringLiteral("Copy the %1 text").arg(form_.caption));
    copy_->setAutoDefault(false);
    copy_->setFixedWidth(copy_->fontMetrics().horizontalAdvance(copy_->text()) + 20);
    grid->addWidget(caption_, line, 0);
    grid->addWidget(text_, line, 1);
    grid->addWidget(note_, line, 2);
    if (!form_.lengths.empty()) {
        lengthButton_ = new QToolButton(parent);
        lengthButton_->setObjectName(QStringLiteral("btnLength_") + form_.name);
        lengthButton_->setFocusPolicy(Qt::NoFocus);  // the row's own menu offers the same
        lengthButton_->setPopupMode(QToolButton::InstantPopup);
        lengthButton_->setMinimumWidth(lengthButton_->fontMetrics().horizontalAdvance(QStringLiteral("10")) + 22);
        lengthMenu_ = new QMenu(QStringLiteral("Length"), parent);
        for (const int length : form_.lengths) {
            QAction* choice = lengthMenu_->addAction(LengthText(length));
            choice->setCheckable(true);
            choice->setChecked(length == form_.length);
            connect(choice, &QAction::triggered, this, [this, length] { ChooseLength(length); });
        }
        lengthButton_->setMenu(lengthMenu_);
        lengthButton_->setText(QString::number(form_.length));
        lengthButton_->setToolTip(QStringLiteral("Length: %1").arg(LengthText(form_.length)));
        text_->addMenuEntry(lengthMenu_->menuAction());
        grid->addWidget(lengthButton_, line, 3);
    }
    grid->addWidget(copy_, line, 4);
    connect(copy_, &QPushButton::clicked, this, &NotationRow::Copy);
    connect(text_, &QLineEdit::textEdited, this, [this] { editing_ = true; });
    connect(text_, &FieldBox::entered, this, &NotationRow::TakeText);
    connect(text_, &FieldBox::focusLeft, this, [this](Qt::FocusReason reason) {
        // Only a departure of the person's; a popup or another window is none.
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason) TakeText();
    });
    // A paste replaces the row's one value and is read at once, as a paste
    // into the form's boxes is.
    text_->setPasteTaker([this](const QString& pasted) {
        QString pastedLine = pasted.trimmed();
        pastedLine.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
        text_->setText(pastedLine);
        editing_ = true;
        TakeText();
        return true;
    });
    text_->installEventFilter(this);
}

QString NotationRow::LengthText(int length) const {
    const char* unit = form_.code == Code::Mgrs                                                    ? "digits"
                       : form_.code == Code::BritishGrid || form_.code == Code::IrishGrid           ? "figures"
                       : form_.code == Code::Maidenhead || form_.code == Code::Geohash ? "characters"
                                                                                                   : "digits";
    return QStringLiteral("%1 %2").arg(length).arg(QLatin1String(unit));
}

void NotationRow::Show(const ShownOutput& output) {
    std::string why;
    const std::optional<std::string> text = RowText(form_, output, why);
    shown_ = text ? Text(*text) : QString();
    editing_ = false;
    text_->setText(shown_);
    text_->setCursorPosition(0);
    text_->setPlaceholderText(text ? QString() : Text(why));
    text_->useWindowTextColour();
    copy_->setEnabled(text.has_value());
}

void NotationRow::ShowPending() {
    shown_.clear();
    editing_ = false;
    text_->setText(QString());
    text_->setPlaceholderText(QStringLiteral("\u2026"));
    text_->useWindowTextColour();
    copy_->setEnabled(false);
}

void NotationRow::SetNote(const QString& note, const QString& tooltip) {
    note_->setText(note);
    note_->setToolTip(tooltip);
    note_->setVisible(!note.isEmpty());
}

void NotationRow::Copy() {
    if (shown_.isEmpty()) return;
    QGuiApplication::clipboard()->setText(shown_);
    emit status(CopiedStatus(form_.code, form_.caption, shown_));
}

void NotationRow::TakeText() {
    if (!editing_) return;
    const QString typed = text_->text().trimmed();
    if (typed.isEmpty() || typed == shown_) {
        Restore();
        return;
    }
    std::string why;
    const std::optional<PositionText> position = ReadRowText(form_, typed.toStdString(), why);
    if (!position) {
        text_->setTextColour(QColor(0xFF, 0x00, 0x00));
        emit status(QStringLiteral("Not read as %1: %2").arg(form_.caption, Text(why)));
        return;
    }
    editing_ = false;
    emit read(*position);
}

bool NotationRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == text_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && (editing_ || text_->text() != shown_)) {
        Restore();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void NotationRow::Restore() {
    editing_ = false;
    text_->setText(shown_);
    text_->setCursorPosition(0);
    text_->useWindowTextColour();
}

void NotationRow::ChooseLength(int length) {
    form_.length = length;
    lengthButton_->setText(QString::number(length));
    lengthButton_->setToolTip(QStringLiteral("Length: %1").arg(LengthText(length)));
    for (QAction* choice : lengthMenu_->actions()) choice->setChecked(choice->text() == LengthText(length));
    emit lengthChosen();
}

}  // namespace quillet
