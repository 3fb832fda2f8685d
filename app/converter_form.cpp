#include "app/converter_form.h"

#include "app/field_box.h"
#include "app/form_layout.h"
#include "app/form_widgets.h"
#include "app/paste_fill.h"
#include "values/values.h"
#include "convert/direction_mode.h"
#include "convert/input_reading.h"
#include "convert/forms/code_forms.h"
#include "convert/grids/national_grid.h"
#include "convert/output_format.h"
#include "convert/read/position_text.h"
#include "validate/field_checks.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace quillet {

namespace {

const QColor kRefusedRed(0xFF, 0x00, 0x00);

std::string TextOf(const FieldBox* box) { return box->text().toStdString(); }

template <std::size_t Count>
std::array<std::string, Count> TextsOf(const std::array<FieldBox*, Count>& boxes) {
    std::array<std::string, Count> texts;
    for (std::size_t i = 0; i < Count; ++i) texts[i] = TextOf(boxes[i]);
    return texts;
}

// Focus that leaves a box because the window lost its activation (a message
// box, another program) or because a popup opened is no departure.
bool IsDeparture(Qt::FocusReason reason) {
    return reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::MouseFocusReason ||
           reason == Qt::ShortcutFocusReason || reason == Qt::OtherFocusReason;
}

AngleTexts AngleTextsOf(std::span<FieldBox* const> boxes) {
    AngleTexts texts;
    std::string* parts[] = {&texts.direction, &texts.degrees, &texts.minutes, &texts.seconds};
    for (std::size_t i = 0; i < boxes.size(); ++i) *parts[i] = TextOf(boxes[i]);
    return texts;
}

void WriteText(FieldBox* box, const std::string& text) {
    const QString written = QString::fromStdString(text);
    if (box->text() != written) box->setText(written);
}

QString MessageOf(const ValueError& error) {
    switch (error.kind()) {
    case ValueError::Kind::TypeMismatch: return QStringLiteral("Error: A value in the input boxes is not a number.");
    case ValueError::Kind::Overflow: return QStringLiteral("Error: A value in the input boxes is too large to convert.");
    case ValueError::Kind::DivisionByZero:
    case ValueError::Kind::OutOfReach: break;
    }
    return QStringLiteral("Error: The position in the input boxes cannot be converted.");
}

}  // namespace

ConverterForm::ConverterForm(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("GPS_Quillet"));
    setWindowTitle(QStringLiteral("GPS Quillet - Coordinate Converter"));
    setFont(WindowFont());
    setFixedSize(TwipsToPixels(kWindowWidthTwips), TwipsToPixels(kWindowHeightTwips));
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);  // nothing in it could grow
    BuildControls();
    BindControls();
    ConnectHandlers();
    ConnectChecks();
    ConnectPasteAndCopy();
    ConnectPanel();
    Form_Load();
    cmbInput->setFocus();
}

void ConverterForm::BuildControls() {
    QHash<QString, QWidget*> byName;
    for (const ControlRow& row : FormControls()) {
        QWidget* parent = row.parent ? byName.value(QString::fromLatin1(row.parent)) : this;
        QWidget* control = MakeControl(row, parent);
        control->setObjectName(QString::fromLatin1(row.name));
        control->setGeometry(PixelGeometry(row));
        if (row.hint) control->setToolTip(QString::fromUtf8(row.hint));
        if (const char* spoken = AccessibleName(row.name)) control->setAccessibleName(QString::fromUtf8(spoken));
        if (row.kind == ControlKind::Label || row.kind == ControlKind::Frame || row.kind == ControlKind::Line)
            control->setFocusPolicy(Qt::NoFocus);
        byName.insert(control->objectName(), control);
        controls_.push_back(control);
    }
    QWidget* previous = nullptr;
    for (const char* name : TabOrder()) {
        QWidget* next = byName.value(QString::fromLatin1(name));
        if (previous) setTabOrder(previous, next);
        previous = next;
    }
}

template <class Control>
Control* ConverterForm::Find(const QString& name) const {
    for (QWidget* control : controls_)
        if (control->objectName() == name) return qobject_cast<Control*>(control);
    return nullptr;
}
// The panel chains its Tab order on from the form's last control.
template QWidget* ConverterForm::Find<QWidget>(const QString& name) const;

void ConverterForm::BindControls() {
    const auto bindArray = [this](auto& array, const char* name) {
        for (std::size_t i = 0; i < array.size(); ++i)
            array[i] = Find<std::remove_pointer_t<typename std::remove_reference_t<decltype(array)>::value_type>>(
                QStringLiteral("%1(%2)").arg(QLatin1String(name)).arg(i));
    };
    cmbInput = Find<QComboBox>(QStringLiteral("cmbInput"));
    cmbOutput = Find<QComboBox>(QStringLiteral("cmbOutput"));
    chkDirection = Find<QCheckBox>(QStringLiteral("chkDirection"));
    chkUnits = Find<QCheckBox>(QStringLiteral("chkUnits"));
    btnConvert = Find<QPushButton>(QStringLiteral("btnConvert"));
    btnReset = Find<QPushButton>(QStringLiteral("btnReset"));
    bindArray(frmIn, "frmIn");
    bindArray(frmOut, "frmOut");
    bindArray(txtDMSLatIn, "txtDMSLatIn");
    bindArray(txtDMSLonIn, "txtDMSLonIn");
    bindArray(txtDMLatIn, "txtDMLatIn");
    bindArray(txtDMLonIn, "txtDMLonIn");
    bindArray(txtDecLatIn, "txtDecLatIn");
    bindArray(txtDecLonIn, "txtDecLonIn");
    txtEastIn = Find<FieldBox>(QStringLiteral("txtEastIn"));
    txtNorthIn = Find<FieldBox>(QStringLiteral("txtNorthIn"));
    txtZoneIn = Find<FieldBox>(QStringLiteral("txtZoneIn"));
    txtLatOut = Find<FieldBox>(QStringLiteral("txtLatOut"));
    txtLonOut = Find<FieldBox>(QStringLiteral("txtLonOut"));
    txtEastOut = Find<FieldBox>(QStringLiteral("txtEastOut"));
    txtNorthOut = Find<FieldBox>(QStringLiteral("txtNorthOut"));
    txtZoneOut = Find<FieldBox>(QStringLiteral("txtZoneOut"));
    lblUtmError = Find<QLabel>(QStringLiteral("lblUtmError"));
    // Screen readers on Linux name a list by the label that leads to it.
    Find<QLabel>(QStringLiteral("Label3"))->setBuddy(cmbInput);
    Find<QLabel>(QStringLiteral("Label4"))->setBuddy(cmbOutput);
}

void ConverterForm::ConnectHandlers() {
    // `activated` is a person's pick, also of the item already selected;
    // selections made in code raise their handler through SelectItem.
    connect(cmbInput, &QComboBox::activated, this, [this] { Guarded([this] { cmbInput_Click(); }); });
    connect(cmbOutput, &QComboBox::activated, this, [this] { Guarded([this] { cmbOutput_Click(); }); });
    connect(chkDirection, &QCheckBox::clicked, this, [this] { Guarded([this] { chkDirection_Click(); }); });
    connect(chkUnits, &QCheckBox::clicked, this, [this] { Guarded([this] { chkUnits_Click(); }); });
    connect(btnConvert, &QPushButton::clicked, this, [this] { Guarded([this] { btnConvert_Click(); }); });
    connect(btnReset, &QPushButton::clicked, this, [this] { Guarded([this] { btnReset_Click(); }); });
}

void ConverterForm::ShowFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const ValueError& error) {
        ShowMessage(MessageOf(error));
    } catch (...) {
        ShowMessage(QStringLiteral("Error: The conversion could not be completed."));
    }
}

template <class Check>
void ConverterForm::WatchBox(FieldBox* box, Check check) {
    departures_.emplace(box, check);
    connect(box, &FieldBox::focusLeft, this, [this, box, check](Qt::FocusReason reason) {
        if (checkRunning_ || pasting_ || !IsDeparture(reason)) return;
        // Qt has moved the focus already when the box hears of it.
        const QWidget* towards = QApplication::focusWidget();
        if (towards == btnReset || towards == cmbInput) {
            pendingCheck_ = box;
            return;
        }
        pendingCheck_ = nullptr;
        checkRunning_ = true;
        Guarded(check);
        checkRunning_ = false;
    });
}

void ConverterForm::ConnectChecks() {
    for (int i = 0; i < static_cast<int>(txtDecLatIn.size()); ++i) {
        WatchBox(txtDecLatIn[i], [this, i] { txtDecLatIn_LostFocus(i); });
        WatchBox(txtDecLonIn[i], [this, i] { txtDecLonIn_LostFocus(i); });
    }
    for (int i = 0; i < static_cast<int>(txtDMLatIn.size()); ++i) {
        WatchBox(txtDMLatIn[i], [this, i] { txtDMLatIn_LostFocus(i); });
        WatchBox(txtDMLonIn[i], [this, i] { txtDMLonIn_LostFocus(i); });
    }
    for (int i = 0; i < static_cast<int>(txtDMSLatIn.size()); ++i) {
        WatchBox(txtDMSLatIn[i], [this, i] { txtDMSLatIn_LostFocus(i); });
        WatchBox(txtDMSLonIn[i], [this, i] { txtDMSLonIn_LostFocus(i); });
    }
    WatchBox(txtEastIn, [this] { txtEastIn_LostFocus(); });
    WatchBox(txtNorthIn, [this] { txtNorthIn_LostFocus(); });
    WatchBox(txtZoneIn, [this] { txtZoneIn_LostFocus(); });
    // A refused departure by mouse must not also press what was clicked.
    for (QWidget* control : controls_) control->installEventFilter(this);
}

void ConverterForm::ConnectPasteAndCopy() {
    for (const auto& [box, departure] : departures_) {
        box->setPasteTaker([this, box](const QString& text) { return TakePaste(box, text); });
        box->setUndoTaker([this] { return UndoFill(); });
        connect(box, &FieldBox::entered, this, [this] {
            if (DepartInPlace()) Guarded([this] { btnConvert_Click(); });
        });
    }
    // The entries of the output boxes' menu are enabled only while the output
    // holds a position. Their shortcuts are the window's own and always
    // answer: they first leave the box being edited, as a click elsewhere
    // would, and say so where there is nothing to copy.
    const auto entry = [this](std::string_view caption, QKeyCombination keys, Code code, bool open,
                              const QString& name) {
        auto* action = new QAction(QString::fromUtf8(caption.data(), static_cast<qsizetype>(caption.size())), this);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, code, open] { RunOutputAction(code, open); });
        outputEntries_.push_back(action);
        if (keys == QKeyCombination()) return action;
        action->setShortcut(QKeySequence(keys));  // shown in the menu
        auto* shortcut = new QAction(this);
        shortcut->setShortcut(QKeySequence(keys));
        shortcut->setShortcutContext(Qt::WindowShortcut);
        addAction(shortcut);
        connect(shortcut, &QAction::triggered, this, [this, code, open] { RunOutputAction(code, open); });
        return action;
    };
    QAction* copyPosition =
        entry("Copy Position", Qt::CTRL | Qt::SHIFT | Qt::Key_C, Code::None, false, QStringLiteral("actCopyPosition"));
    // One entry a code, in the table's order; MGRS keeps its shortcut.
    auto* copyAs = new QMenu(QStringLiteral("Copy as"), this);
    std::vector<std::pair<QAction*, Code>> grids;
    for (const CodeForm& form : CodeForms()) {
        if (form.caption.empty()) continue;
        QAction* action =
            entry(form.caption, form.code == Code::Mgrs ? Qt::CTRL | Qt::SHIFT | Qt::Key_M : QKeyCombination(),
                  form.code, false, QStringLiteral("actCopyAs_") + QString::fromUtf8(form.names.front().data(),
                                                                                   static_cast<qsizetype>(form.names.front().size())));
        copyAs->addAction(action);
        if (form.code == Code::BritishGrid || form.code == Code::IrishGrid) grids.emplace_back(action, form.code);
    }
    // A national grid covers its own country only. Asked when the menu opens,
    // so that PROJ starts only for a person who looks at a grid.
    connect(copyAs, &QMenu::aboutToShow, this, [this, grids] {
        for (const auto& [action, code] : grids)
            action->setEnabled(ShownPosition(Code::None) && Latitude && Longitude &&
                               FormatCode(code, *Latitude, *Longitude, FormOf(code).windowLength).has_value());
    });
    // The desktop's browser shows the place; nothing of ours goes anywhere.
    QAction* openInMap =
        entry("Open in Map", Qt::CTRL | Qt::SHIFT | Qt::Key_O, Code::OsmLink, true, QStringLiteral("actOpenInMap"));
    for (FieldBox* box : {txtLatOut, txtLonOut, txtEastOut, txtNorthOut, txtZoneOut}) {
        box->addMenuEntry(copyPosition);
        box->addMenuEntry(copyAs->menuAction());
        box->addMenuEntry(openInMap);
    }
}

void ConverterForm::RunPendingCheck() {
    FieldBox* box = std::exchange(pendingCheck_, nullptr);
    if (!box || checkRunning_) return;
    checkRunning_ = true;
    Guarded(departures_.at(box));
    checkRunning_ = false;
}

bool ConverterForm::DepartInPlace() {
    if (pendingCheck_) {
        const int shown = messagesShown_;
        RunPendingCheck();
        if (messagesShown_ != shown) return false;
    }
    const auto departure = departures_.find(qobject_cast<FieldBox*>(QApplication::focusWidget()));
    if (departure == departures_.end()) return true;
    const int shown = messagesShown_;
    checkRunning_ = true;
    Guarded(departure->second);
    checkRunning_ = false;
    return messagesShown_ == shown;
}

bool ConverterForm::TakePaste(FieldBox* box, const QString& text) {
    const int current = cmbInput->currentIndex();
    const BoxPlace place =
        PlaceOf(box, current, CoordinateBoxes(current, true), CoordinateBoxes(current, false), txtZoneIn);
    ReadOptions options = DesktopReadOptions();
    // A short Plus Code is recovered near the position the window shows.
    if (Latitude && Longitude) options.near = std::pair(*Latitude, *Longitude);
    const Paste paste = ReadPaste(text, place, options);
    if (paste.kind == Paste::Kind::Insert) return false;
    if (paste.kind == Paste::Kind::Refused) {
        ShowMessage(QStringLiteral("Error: The pasted text cannot be read: %1.").arg(paste.text));
        return true;
    }
    if (paste.kind == Paste::Kind::Replace) {
        box->selectAll();
        box->insert(paste.text);
        return true;
    }
    FillWith(paste, place);
    return true;
}

void ConverterForm::FillWith(const Paste& paste, const BoxPlace& place) {
    FillUndo undo(place.notation, controls_, Latitude, Longitude);
    std::optional<PastedSquare> squareBefore = std::exchange(pastedSquare_, std::nullopt);
    pasting_ = true;
    Guarded([&] {
        const int notation = paste.kind == Paste::Kind::Whole && (place.notation == Utm) != (paste.whole.notation == Utm)
                                 ? paste.whole.notation
                                 : place.notation;
        if (notation != place.notation) {
            SelectItem(cmbInput, notation, &ConverterForm::cmbInput_Click);
            (notation == Utm ? txtEastIn : CoordinateBoxes(notation, true)[1])->setFocus(Qt::OtherFocusReason);
        }
        const bool letters = chkDirection->isChecked();
        const auto format = static_cast<InputFormat>(notation);
        if (paste.kind == Paste::Kind::Angle) {
            FillAngle(CoordinateBoxes(notation, place.latitude), format, place.latitude, letters, paste.angle);
        } else if (notation == Utm) {
            FillUtm({txtEastIn, txtNorthIn, txtZoneIn}, paste.whole.utm);
            if (paste.whole.code == Code::Mgrs)
                pastedSquare_ = PastedSquare{{TextOf(txtEastIn), TextOf(txtNorthIn), TextOf(txtZoneIn)},
                                             {paste.whole.latitude, paste.whole.longitude}};
        } else {
            FillAngle(CoordinateBoxes(notation, true), format, true, letters, paste.whole.latitude);
            FillAngle(CoordinateBoxes(notation, false), format, false, letters, paste.whole.longitude);
        }
        btnConvert_Click();
    });
    pasting_ = false;
    undo.Filled(cmbInput->currentIndex());
    fillUndo_ = std::move(undo);
    squareBeforeFill_ = std::move(squareBefore);
    // A lettered square at sea is read, but its datum shift is stretched
    // there: the person hears so, as the converter says it.
    if (paste.kind == Paste::Kind::Whole && paste.whole.extrapolated)
        if (const std::string_view note = ExtrapolationNote(paste.whole.code); !note.empty())
            ShowStatus(QString::fromUtf8(note.data(), static_cast<qsizetype>(note.size())));
}

void ConverterForm::FillFromRow(const PositionText& read) {
    const int current = cmbInput->currentIndex();
    FieldBox* box = current == Utm ? txtEastIn : CoordinateBoxes(current, true)[1];
    const BoxPlace place =
        PlaceOf(box, current, CoordinateBoxes(current, true), CoordinateBoxes(current, false), txtZoneIn);
    FillWith(Paste{.kind = Paste::Kind::Whole, .whole = read}, place);
}

bool ConverterForm::UndoFill() {
    std::optional<FillUndo> undo = std::exchange(fillUndo_, std::nullopt);
    if (!undo || !undo->Untouched(cmbInput->currentIndex())) return false;
    pasting_ = true;
    cmbInput->setCurrentIndex(undo->notation());
    LastInputFormat = CheckedShort(undo->notation());
    ShowFrames();
    undo->Restore();
    Latitude = undo->latitude();
    Longitude = undo->longitude();
    pastedSquare_ = std::exchange(squareBeforeFill_, std::nullopt);
    pasting_ = false;
    emit outputChanged();
    return true;
}

std::optional<std::string> ConverterForm::ShownPosition(Code code) const {
    std::optional<std::string> line = cmbOutput->currentIndex() == Utm
                                          ? UtmLine({TextOf(txtEastOut), TextOf(txtNorthOut), TextOf(txtZoneOut)})
                                          : PositionLine({TextOf(txtLatOut), TextOf(txtLonOut)});
    if (line && code != Code::None)
        line = Latitude && Longitude
                   ? FormatCode(code, *Latitude, *Longitude, FormOf(code).windowLength, UtmInputPoint())
                   : std::nullopt;
    return line;
}

std::optional<UtmPoint> ConverterForm::UtmInputPoint() const {
    const std::optional<InputTexts> texts = InputBoxTexts();
    if (!texts || texts->notation != Utm) return std::nullopt;
    try {
        // Only while the boxes still give the position shown.
        const Position read = BoxPosition(*texts);
        if (read.latitude != Latitude || read.longitude != Longitude) return std::nullopt;
        return ReadUtmPoint(*texts);
    } catch (const ValueError&) {
        return std::nullopt;
    }
}

bool ConverterForm::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        // Qt moves the focus, and so runs the check, before it delivers the
        // press; a message on the way means the press is not the person's
        // intent any more. Its release is dropped too, but only if it is
        // still to come: on a desktop it usually went to the message box.
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        swallowedButton_ = Qt::NoButton;
        if (!messageDuringCheck_) break;
        if (QGuiApplication::mouseButtons() & button) swallowedButton_ = button;
        return true;
    }
    case QEvent::MouseButtonRelease:
        if (swallowedButton_ != Qt::NoButton && static_cast<QMouseEvent*>(event)->button() == swallowedButton_) {
            swallowedButton_ = Qt::NoButton;
            return true;
        }
        break;
    case QEvent::FocusOut:
        // A departure from Reset or the input list, other than between the
        // two or back into the box itself, is where a put-off check runs.
        if (pendingCheck_ && (watched == btnReset || watched == cmbInput) &&
            IsDeparture(static_cast<QFocusEvent*>(event)->reason())) {
            const QWidget* towards = QApplication::focusWidget();
            // Only a control of this window is a departure: the first time
            // the list opens, Qt hands its popup's view the focus with no
            // named reason.
            if (!towards || towards->window() != window()) break;
            if (towards == pendingCheck_)
                pendingCheck_ = nullptr;
            else if (towards != btnReset && towards != cmbInput)
                RunPendingCheck();
        }
        break;
    case QEvent::Wheel:
        // A wheel turned over a list only scrolls it while the person works
        // in it: a change of input notation would wipe every box.
        if (qobject_cast<QComboBox*>(watched) && !static_cast<QWidget*>(watched)->hasFocus()) return true;
        break;
    default: break;
    }
    return QWidget::eventFilter(watched, event);
}

void ConverterForm::ApplyVerdict(FieldBox* box, const FieldVerdict& verdict, FieldBox* refused) {
    if (verdict.rewrite) box->setText(QString::fromStdString(*verdict.rewrite));
    if (verdict.refusal) {
        if (!refused) refused = box;
        ShowMessage(QString::fromStdString(*verdict.refusal));
        refused->setFocus(Qt::OtherFocusReason);
        refused->setTextColour(kRefusedRed);
        return;
    }
    box->useWindowTextColour();
    if (verdict.recompute)
        RefreshOutput();
    else
        EmptyAbsentOutputs();
}

void ConverterForm::ApplyVerdict(std::span<FieldBox* const> boxes, int left, const FieldVerdict& verdict) {
    const int refused = verdict.refusedElement.value_or(left);
    ApplyVerdict(boxes[static_cast<std::size_t>(left)], verdict, boxes[static_cast<std::size_t>(refused)]);
}

void ConverterForm::txtDecLatIn_LostFocus(int index) {
    ApplyVerdict(txtDecLatIn, index, CheckDecimalDegreeBox(Coordinate::Latitude, index, TextsOf(txtDecLatIn)));
}

void ConverterForm::txtDecLonIn_LostFocus(int index) {
    ApplyVerdict(txtDecLonIn, index, CheckDecimalDegreeBox(Coordinate::Longitude, index, TextsOf(txtDecLonIn)));
}

void ConverterForm::txtDMLatIn_LostFocus(int index) {
    ApplyVerdict(txtDMLatIn, index, CheckDegreeMinuteBox(Coordinate::Latitude, index, TextsOf(txtDMLatIn)));
}

void ConverterForm::txtDMLonIn_LostFocus(int index) {
    ApplyVerdict(txtDMLonIn, index, CheckDegreeMinuteBox(Coordinate::Longitude, index, TextsOf(txtDMLonIn)));
}

void ConverterForm::txtDMSLatIn_LostFocus(int index) {
    ApplyVerdict(txtDMSLatIn, index, CheckDegreeMinuteSecondBox(Coordinate::Latitude, index, TextsOf(txtDMSLatIn)));
}

void ConverterForm::txtDMSLonIn_LostFocus(int index) {
    ApplyVerdict(txtDMSLonIn, index, CheckDegreeMinuteSecondBox(Coordinate::Longitude, index, TextsOf(txtDMSLonIn)));
}

void ConverterForm::txtEastIn_LostFocus() { ApplyVerdict(txtEastIn, CheckEasting(TextOf(txtEastIn))); }

void ConverterForm::txtNorthIn_LostFocus() { ApplyVerdict(txtNorthIn, CheckNorthing(TextOf(txtNorthIn))); }

void ConverterForm::txtZoneIn_LostFocus() {
    ApplyVerdict(txtZoneIn, CheckZone(TextOf(txtZoneIn), TextOf(txtEastIn), TextOf(txtNorthIn)));
}

void ConverterForm::ShowMessage(const QString& text) {
    ++messagesShown_;
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("Input Error"), text, QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setIcon(QIcon());  // a plain OK, whatever the style's habit
    box.setFont(WindowFont());  // a window of its own: it does not inherit the form's face
    box.exec();
    // Take the activation back: not every window manager (nor the offscreen
    // platform) returns it to the window the closed message belonged to, and
    // without it the focus that a check puts back would not show.
    activateWindow();
    if (checkRunning_) {
        messageDuringCheck_ = true;
        // Cleared once the input event that moved the focus is done (not
        // before: the message's own event loop has ended by now).
        QTimer::singleShot(0, this, [this] { messageDuringCheck_ = false; });
    }
}

void ConverterForm::SelectItem(QComboBox* list, int index, void (ConverterForm::*handler)()) {
    list->setCurrentIndex(index);
    (this->*handler)();
}

void ConverterForm::ShowFrames() {
    for (int i = 0; i < static_cast<int>(frmIn.size()); ++i) {
        const bool chosen = i == cmbInput->currentIndex();
        frmIn[i]->setEnabled(chosen);
        frmIn[i]->setVisible(chosen);
    }
}

void ConverterForm::ShowOutputFrame() {
    const bool utm = cmbOutput->currentIndex() == Utm;
    frmOut[1]->setEnabled(utm);
    frmOut[1]->setVisible(utm);
    frmOut[0]->setEnabled(!utm);
    frmOut[0]->setVisible(!utm);
}

void ConverterForm::UseMarks(const UnitMarks& marks) {
    DegreeMark = marks.degree;
    MinuteMark = marks.minute;
    SecondMark = marks.second;
}

void ConverterForm::Form_Load() {
    UseMarks(MarksWithUnits());
    SelectItem(cmbInput, DegreesMinutesSeconds, &ConverterForm::cmbInput_Click);
    SelectItem(cmbOutput, DecimalDegrees, &ConverterForm::cmbOutput_Click);
    ShowFrames();
    ShowOutputFrame();
}

void ConverterForm::cmbInput_Click() {
    if (cmbInput->currentIndex() != LastInputFormat) {
        btnReset_Click();
        cmbInput->setFocus();
        ApplyDirectionMode(false);
    } else {
        // The same notation discards nothing: the box left for it is checked.
        RunPendingCheck();
    }
    ShowFrames();
    LastInputFormat = CheckedShort(cmbInput->currentIndex());
}

void ConverterForm::cmbOutput_Click() {
    ShowOutputFrame();
    if (cmbOutput->currentIndex() != Utm) {
        txtLatOut->setText(QString());
        txtLonOut->setText(QString());
    }
    RefreshOutput();
}

void ConverterForm::chkDirection_Click() {
    ApplyDirectionMode(true);
    RefreshOutput();
}

void ConverterForm::chkUnits_Click() {
    UseMarks(chkUnits->isChecked() ? MarksWithoutUnits() : MarksWithUnits());
    RefreshOutput();
}

void ConverterForm::btnConvert_Click() { RefreshOutput(); }

void ConverterForm::btnReset_Click() {
    pendingCheck_ = nullptr;
    for (FieldBox* box : {txtDecLatIn[0], txtDecLatIn[1], txtDecLonIn[0], txtDecLonIn[1], txtDMLatIn[0],
                          txtDMLatIn[1], txtDMLatIn[2], txtDMLonIn[0], txtDMLonIn[1], txtDMLonIn[2],
                          txtDMSLatIn[0], txtDMSLatIn[1], txtDMSLatIn[2], txtDMSLatIn[3], txtDMSLonIn[0],
                          txtDMSLonIn[1], txtDMSLonIn[2], txtDMSLonIn[3], txtEastIn, txtNorthIn, txtZoneIn,
                          txtLatOut, txtLonOut, txtZoneOut, txtEastOut, txtNorthOut}) {
        box->setText(QString());
        // An emptied box is no refused one any more.
        box->useWindowTextColour();
    }
    Latitude.reset();
    Longitude.reset();
    RefreshOutput();
}

std::span<FieldBox* const> ConverterForm::CoordinateBoxes(int notation, bool latitude) const {
    switch (notation) {
    case DegreesMinutesSeconds: return latitude ? std::span<FieldBox* const>(txtDMSLatIn) : txtDMSLonIn;
    case DegreesMinutes: return latitude ? std::span<FieldBox* const>(txtDMLatIn) : txtDMLonIn;
    case DecimalDegrees: return latitude ? std::span<FieldBox* const>(txtDecLatIn) : txtDecLonIn;
    default: return {};
    }
}

std::optional<InputTexts> ConverterForm::InputBoxTexts() const {
    const int notation = cmbInput->currentIndex();
    if (notation < 0 || notation >= kInputFormatCount) return std::nullopt;
    InputTexts texts;
    texts.notation = static_cast<InputFormat>(notation);
    if (notation == Utm) {
        texts.easting = TextOf(txtEastIn);
        texts.northing = TextOf(txtNorthIn);
        texts.zone = TextOf(txtZoneIn);
    } else {
        texts.latitude = AngleTextsOf(CoordinateBoxes(notation, true));
        texts.longitude = AngleTextsOf(CoordinateBoxes(notation, false));
    }
    return texts;
}

void ConverterForm::ReadInput() {
    const std::optional<InputTexts> texts = InputBoxTexts();
    if (!texts) return;
    const Position position = BoxPosition(*texts);
    Latitude = position.latitude;
    Longitude = position.longitude;
}

Position ConverterForm::BoxPosition(const InputTexts& texts) const {
    if (pastedSquare_ && texts.notation == Utm &&
        pastedSquare_->texts == std::array{texts.easting, texts.northing, texts.zone})
        return pastedSquare_->position;
    return ReadPosition(texts);
}

void ConverterForm::EmptyAbsentOutputs() {
    const std::optional<InputTexts> texts = InputBoxTexts();
    if (!texts) return;
    const Presence present = PresenceOf(*texts);
    if (!present.latitude) Latitude.reset();
    if (!present.longitude) Longitude.reset();
    if (cmbOutput->currentIndex() == Utm) {
        // As a recompute would: no UTM without both, and the label says so.
        if (present.latitude && present.longitude) return;
        for (FieldBox* box : {txtEastOut, txtNorthOut, txtZoneOut}) box->setText(QString());
        lblUtmError->show();
    } else {
        if (!present.latitude) txtLatOut->setText(QString());
        if (!present.longitude) txtLonOut->setText(QString());
    }
    emit outputChanged();
}

void ConverterForm::RefreshOutput() {
    const int notation = cmbOutput->currentIndex();
    try {
        ReadInput();
        if (notation == Utm) {
            const std::optional<UtmTexts> utm = FormatUtm({Latitude, Longitude});
            WriteText(txtEastOut, utm ? utm->easting : std::string());
            WriteText(txtNorthOut, utm ? utm->northing : std::string());
            WriteText(txtZoneOut, utm ? utm->zone : std::string());
            lblUtmError->setVisible(!utm);
        } else if (notation >= 0 && notation < Utm) {
            const LatLonTexts texts = FormatLatLon({Latitude, Longitude}, static_cast<InputFormat>(notation),
                                                   chkDirection->isChecked(), {DegreeMark, MinuteMark, SecondMark});
            WriteText(txtLatOut, texts.latitude.value_or(std::string()));
            WriteText(txtLonOut, texts.longitude.value_or(std::string()));
        }
    } catch (const ValueError&) {
        // No result stays on screen that the input no longer gives.
        ClearOutput(notation);
        emit outputChanged();
        throw;
    }
    emit outputChanged();
}

void ConverterForm::ClearOutput(int notation) {
    if (notation == Utm) {
        for (FieldBox* box : {txtEastOut, txtNorthOut, txtZoneOut}) box->setText(QString());
        lblUtmError->hide();
    } else {
        txtLatOut->setText(QString());
        txtLonOut->setText(QString());
    }
}

void ConverterForm::ApplyDirectionMode(bool moveFocus) {
    const int notation = cmbInput->currentIndex();
    if (notation < 0 || notation >= Utm) return;
    const bool directionEntry = chkDirection->isChecked();
    for (const bool latitude : {true, false}) {
        FieldBox* letterBox = CoordinateBoxes(notation, latitude)[0];
        FieldBox* degreeBox = CoordinateBoxes(notation, latitude)[1];
        const HemisphereLetters letters = latitude ? kLatitudeLetters : kLongitudeLetters;
        const std::optional<int> limit = DegreeLimit(static_cast<InputFormat>(notation), latitude, directionEntry);
        if (directionEntry) {
            letterBox->setEnabled(true);
            const AngleEntry entry = ToDirectionEntry({TextOf(letterBox), TextOf(degreeBox)}, letters);
            WriteText(letterBox, entry.direction);
            WriteText(degreeBox, entry.degrees);
            if (limit) degreeBox->setCharLimit(*limit);
            letterBox->useWindowBackground();
            if (latitude && moveFocus) letterBox->setFocus();
        } else {
            letterBox->setEnabled(false);
            if (limit) degreeBox->setCharLimit(*limit);
            WriteText(degreeBox, ToSignedEntry({TextOf(letterBox), TextOf(degreeBox)}, letters).degrees);
            letterBox->setBackColour(DirectionGrey());
            letterBox->setText(QString());
        }
    }
}

}  // namespace quillet
