// One row of the notations panel: the caption, the position written in one
// notation or code (editable: a text typed there is read as that notation),
// a length choice where people use several, and a copy button.
#pragma once

#include "convert/reading.h"

#include <QObject>
#include <QString>

#include <optional>
#include <string>
#include <vector>

class QGridLayout;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;
class QWidget;

namespace quillet {

class FieldBox;

// What a row writes: one of the four notations (`code` None) or a code of
// the table, under the converter's --to name.
struct RowForm {
    QString name;     // dms, dm, dd, utm, utm-receiver, mgrs...
    QString caption;  // "DMS", "MGRS"...
    InputFormat notation = DecimalDegrees;
    Code code = Code::None;
    std::vector<int> lengths;  // the length choices; empty where there is none
    int length = -1;           // the one shown
};

// The lengths a person chooses among, where several are in use.
std::vector<int> LengthChoices(Code code);

// What the rows are written from: the position the form's output shows
// (nothing while the output is empty) and how the form writes angles.
struct ShownOutput {
    std::optional<double> latitude;
    std::optional<double> longitude;
    bool directionLetters = false;
    UnitMarks marks;
    std::optional<UtmPoint> utm;  // the UTM input boxes' point, where they give the position
};

// The row's text for the position, by the converter's own writers; nothing
// with `why` set where the row has no value.
std::optional<std::string> RowText(const RowForm& form, const ShownOutput& output, std::string& why);

// Reads a text as the row's notation only, as the converter's --from does;
// nothing with `why` set to the reader's reason.
std::optional<PositionText> ReadRowText(const RowForm& form, const std::string& text, std::string& why);

// What the status line says of a copy: the text, named by its caption
// where it could be read as another code.
QString CopiedStatus(Code code, const QString& caption, const QString& text);

class NotationRow : public QObject {
    Q_OBJECT

public:
    NotationRow(RowForm form, QWidget* parent, QGridLayout* grid, int line);

    const RowForm& form() const { return form_; }
    FieldBox* textBox() const { return text_; }
    QPushButton* copyButton() const { return copy_; }

    // Writes the row for the output; puts back the window-text colour.
    void Show(const ShownOutput& output);
    // Empty for a moment, while its writer starts.
    void ShowPending();
    // A grey note after the text (how accurate it is, say); empty hides it.
    void SetNote(const QString& note, const QString& tooltip = {});

signals:
    // The person's text, read as the row's notation.
    void read(const PositionText& position);
    // What the row did, for the status line.
    void status(const QString& text);
    // The length choice changed: the row wants the output again.
    void lengthChosen();

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Copy();
    void TakeText();
    void Restore();
    void ChooseLength(int length);
    QString LengthText(int length) const;

    RowForm form_;
    QLabel* caption_ = nullptr;
    FieldBox* text_ = nullptr;
    QLabel* note_ = nullptr;
    QToolButton* lengthButton_ = nullptr;
    QMenu* lengthMenu_ = nullptr;
    QPushButton* copy_ = nullptr;
    // What the row shows for the output; the text a person edits is read
    // only when it differs.
    QString shown_;
    bool editing_ = false;
};

}  // namespace quillet
