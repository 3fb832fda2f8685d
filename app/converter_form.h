// The one window of GPS Quillet. It owns every control and the form-level
// state; its handlers stay thin: read the boxes, call the plain conversion
// code, write the results.
#pragma once

#include "app/paste_fill.h"
#include "convert/input_reading.h"
#include "convert/position.h"

#include <QWidget>

#include <array>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QFrame;
class QAction;
class QLabel;
class QPushButton;

namespace quillet {

struct FieldVerdict;
class MapPanel;
class NotationsPanel;
struct ShownOutput;

class ConverterForm : public QWidget {
    Q_OBJECT

public:
    explicit ConverterForm(QWidget* parent = nullptr);

    // Every named control, in creation order (containers first).
    const std::vector<QWidget*>& controls() const { return controls_; }

    // The notations panel once it has been opened; nothing before.
    NotationsPanel* notationsPanel() const { return panel_; }
    // Opens the panel beside the form, or closes it.
    void ToggleNotations();
    // Says what just happened: in the panel's status line, and while the
    // panel is closed for a few seconds as a note beside `near` too.
    void ShowStatus(const QString& text, QWidget* near = nullptr);

signals:
    // The output was written again: a conversion, Reset, a check box, a
    // paste, an undo.
    void outputChanged();

private:
    void ConnectPanel();
    QLabel* StatusLine();
    // The position the output shows (nothing while it is empty), and how
    // the form writes angles.
    ShownOutput CurrentOutput() const;
    // A panel row's text, read: fills the input boxes as a paste would.
    void FillFromRow(const PositionText& read);
    // The map follows the output: its pin, or none while the output is empty.
    void ShowOnMap();
    // Fills the input with what a paste into the box at `place` gave.
    void FillWith(const Paste& paste, const BoxPlace& place);
    // Copy Position, Copy as and Open in Map only while the output holds a position.
    void UpdateOutputActions();
    // What a shortcut or entry of the output does, once the box being
    // edited is left; said in the status line where nothing can be done.
    void RunOutputAction(Code code, bool open);
    void ShowHelp();

    void BuildControls();
    void BindControls();
    void ConnectHandlers();
    void ConnectChecks();
    void ConnectPasteAndCopy();
    // Runs a box's check when the person (or the program) moves the focus
    // from it to another control of the window.
    template <class Check>
    void WatchBox(FieldBox* box, Check check);
    // Applies a check's verdict to the box that was left.
    void ApplyVerdict(FieldBox* box, const FieldVerdict& verdict, FieldBox* refused = nullptr);
    // A coordinate's boxes, left at `left`: a refusal may be about another of them.
    void ApplyVerdict(std::span<FieldBox* const> boxes, int left, const FieldVerdict& verdict);

    bool eventFilter(QObject* watched, QEvent* event) override;

    void Form_Load();
    void cmbInput_Click();
    void cmbOutput_Click();
    void chkDirection_Click();
    void chkUnits_Click();
    void btnConvert_Click();
    void btnReset_Click();

    void txtDecLatIn_LostFocus(int index);
    void txtDecLonIn_LostFocus(int index);
    void txtDMLatIn_LostFocus(int index);
    void txtDMLonIn_LostFocus(int index);
    void txtDMSLatIn_LostFocus(int index);
    void txtDMSLonIn_LostFocus(int index);
    void txtEastIn_LostFocus();
    void txtNorthIn_LostFocus();
    void txtZoneIn_LostFocus();

    // Runs the check that a departure towards Reset or the input list put
    // off, now that the person went elsewhere.
    void RunPendingCheck();
    // What leaving the focused input box would do, its check and then the
    // recompute, while it keeps the focus; false when a message showed.
    bool DepartInPlace();
    // A whole position pasted into an input box fills the boxes, or one angle
    // fills its coordinate's; false leaves the text to be inserted.
    bool TakePaste(FieldBox* box, const QString& text);
    // Takes the last fill back, while the window is still as it left it.
    bool UndoFill();
    // The output as one line (Code::None), or the position written as a code
    // at the window's length; nothing while a box of the output is empty.
    std::optional<std::string> ShownPosition(Code code) const;
    // Copies and says so, beside `near` while the panel is closed.
    void CopyPosition(Code code, QWidget* near);
    // The shown position as an OpenStreetMap link with a marker, handed to
    // the desktop's own URL handling, or copied where there is none; nothing
    // while an output is empty.
    void OpenInMap(QWidget* near);
    // The UTM point in the UTM input boxes, while they give the position
    // shown: a code is written from its own easting and northing.
    std::optional<UtmPoint> UtmInputPoint() const;

    void RefreshOutput();
    // The texts of the chosen input notation's boxes; the notation is
    // nothing when the list has no selection.
    std::optional<InputTexts> InputBoxTexts() const;
    void ReadInput();
    // The position the input boxes give: a pasted MGRS square's centre from
    // the accurate inverse while the UTM boxes still hold it as pasted, else
    // what the boxes read as.
    Position BoxPosition(const InputTexts& texts) const;
    // A departure that does not recompute can still leave a coordinate
    // without input (a box emptied): its output goes with it.
    void EmptyAbsentOutputs();
    void ApplyDirectionMode(bool moveFocus);

    // Sets a list's selection in code and raises its handler, as a person's
    // choice does.
    void SelectItem(QComboBox* list, int index, void (ConverterForm::*handler)());
    void UseMarks(const UnitMarks& marks);
    void ShowFrames();
    void ShowOutputFrame();
    // The latitude or longitude boxes of an angle notation: direction,
    // degrees, then minutes and seconds as far as the notation has them.
    std::span<FieldBox* const> CoordinateBoxes(int notation, bool latitude) const;
    void ClearOutput(int notation);
    void ShowMessage(const QString& text);
    // Runs a handler so that no error of the conversion code reaches Qt's
    // event loop: it is shown as an "Input Error" message instead.
    template <class Handler>
    void Guarded(Handler&& handler) {
        try {
            handler();
        } catch (...) {
            ShowFailure(std::current_exception());
        }
    }
    // The message of a handler's failure, so that none reaches Qt's event loop.
    void ShowFailure(std::exception_ptr failure);

    template <class Control>
    Control* Find(const QString& name) const;

    std::vector<QWidget*> controls_;

    QComboBox* cmbInput = nullptr;
    QComboBox* cmbOutput = nullptr;
    QCheckBox* chkDirection = nullptr;
    QCheckBox* chkUnits = nullptr;
    QPushButton* btnConvert = nullptr;
    QPushButton* btnReset = nullptr;
    std::array<QFrame*, 4> frmIn{};
    std::array<QFrame*, 2> frmOut{};
    std::array<FieldBox*, 4> txtDMSLatIn{};
    std::array<FieldBox*, 4> txtDMSLonIn{};
    std::array<FieldBox*, 3> txtDMLatIn{};
    std::array<FieldBox*, 3> txtDMLonIn{};
    std::array<FieldBox*, 2> txtDecLatIn{};
    std::array<FieldBox*, 2> txtDecLonIn{};
    FieldBox* txtEastIn = nullptr;
    FieldBox* txtNorthIn = nullptr;
    FieldBox* txtZoneIn = nullptr;
    FieldBox* txtLatOut = nullptr;
    FieldBox* txtLonOut = nullptr;
    FieldBox* txtEastOut = nullptr;
    FieldBox* txtNorthOut = nullptr;
    FieldBox* txtZoneOut = nullptr;
    QLabel* lblUtmError = nullptr;
    QPushButton* btnNotations = nullptr;
    QLabel* lblStatus = nullptr;
    NotationsPanel* panel_ = nullptr;
    MapPanel* map_ = nullptr;  // in the panel, made with it
    QWidget* focusBeforePanel_ = nullptr;
    QWidget* help_ = nullptr;
    // The output's entries (Copy Position, every Copy as, Open in Map).
    std::vector<QAction*> outputEntries_;

    // A check is running: focus moves it makes (to give a refused box its
    // focus back) are no departures of the person's.
    bool checkRunning_ = false;
    // A check has shown a message during the current input event; the click
    // that moved the focus is then not carried out on top of it.
    bool messageDuringCheck_ = false;
    // The button whose press was dropped, until its own release is dropped.
    Qt::MouseButton swallowedButton_ = Qt::NoButton;
    // A paste is filling the boxes: the focus moves it makes are no
    // departures either.
    bool pasting_ = false;
    // The window as the last fill found it, for Ctrl+Z.
    std::optional<FillUndo> fillUndo_;
    // The MGRS square last pasted: its UTM boxes' texts and its position
    // through the accurate inverse, which the window's UTM series would miss
    // by centimetres. The one before the last fill comes back with Ctrl+Z.
    struct PastedSquare {
        std::array<std::string, 3> texts;  // easting, northing, zone
        Position position;
    };
    std::optional<PastedSquare> pastedSquare_;
    std::optional<PastedSquare> squareBeforeFill_;
    // The box left towards Reset or the input list, whose check waits:
    // both discard every box, so checking first would only trap the person
    // behind a refused text. Anywhere else the check runs after all.
    FieldBox* pendingCheck_ = nullptr;
    // Each input box's check, run when the person leaves it.
    std::map<FieldBox*, std::function<void()>> departures_;
    // Tells a departure run in place whether its check refused the box.
    int messagesShown_ = 0;

    // Form-level state. A coordinate is absent until its input gives it.
    std::optional<double> Latitude;
    std::optional<double> Longitude;
    std::int16_t LastInputFormat = DegreesMinutesSeconds;
    std::string DegreeMark;
    std::string MinuteMark;
    std::string SecondMark;
};

}  // namespace quillet
