// What a person does with the form's output: the notations panel beside it
// and the map in the panel, the status line that says what just happened,
// copying the position and opening it in a map. The form's own handlers
// are in converter_form.cpp.
#include "app/converter_form.h"

#include "app/field_box.h"
#include "app/form_widgets.h"
#include "app/panel/help_window.h"
#include "app/map/map_panel.h"
#include "app/panel/notations_panel.h"
#include "convert/forms/code_forms.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QToolTip>
#include <QUrl>


namespace quillet {

void ConverterForm::ConnectPanel() {
    // The toggle sits in the banner's free right end, where it moves
    // nothing, and takes no focus, so the form's Tab order stays as it is.
    btnNotations = new QPushButton(QStringLiteral("Notations \u25B8"), this);
    btnNotations->setObjectName(QStringLiteral("btnNotations"));
    btnNotations->setFocusPolicy(Qt::NoFocus);
    btnNotations->setFlat(true);
    btnNotations->setCheckable(true);
    btnNotations->setToolTip(QStringLiteral("Show the position in every notation, code and link, each with its own "
                                            "copy button (Ctrl+L)"));
    QPalette banner = btnNotations->palette();
    banner.setColor(QPalette::ButtonText, QColor(0xE0, 0xE0, 0xE0));
    banner.setColor(QPalette::Button, QColor(0x58, 0x58, 0x58));
    btnNotations->setPalette(banner);
    const int width = btnNotations->fontMetrics().horizontalAdvance(btnNotations->text()) + 16;
    btnNotations->setGeometry(TwipsToPixels(kWindowWidthTwips) - width - 4, 3, width, 19);
    connect(btnNotations, &QPushButton::clicked, this, [this] { ToggleNotations(); });
    auto* toggle = new QAction(this);
    toggle->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    toggle->setShortcutContext(Qt::WindowShortcut);
    addAction(toggle);
    connect(toggle, &QAction::triggered, this, [this] { ToggleNotations(); });
    auto* help = new QAction(this);
    help->setShortcut(QKeySequence(Qt::Key_F1));
    help->setShortcutContext(Qt::WindowShortcut);
    addAction(help);
    connect(help, &QAction::triggered, this, &ConverterForm::ShowHelp);
    connect(this, &ConverterForm::outputChanged, this, [this] {
        UpdateOutputActions();
        if (panel_ && panel_->isVisible()) {
            panel_->Show(CurrentOutput());
            ShowOnMap();
        }
    });
}

void ConverterForm::ShowOnMap() {
    const ShownOutput output = CurrentOutput();
    if (output.latitude && output.longitude)
        map_->setPosition(std::pair{*output.latitude, *output.longitude});
    else
        map_->setPosition(std::nullopt);
}

void ConverterForm::ToggleNotations() {
    const QSize form(TwipsToPixels(kWindowWidthTwips), TwipsToPixels(kWindowHeightTwips));
    const bool open = !(panel_ && panel_->isVisible());
    if (open) {
        QWidget* focus = QApplication::focusWidget();
        focusBeforePanel_ = focus && isAncestorOf(focus) ? focus : cmbInput;
        if (!panel_) {
            panel_ = new NotationsPanel(this, StatusLine());
            panel_->ChainTabs(Find<QWidget>(QString::fromLatin1(TabOrder().back())));
            connect(panel_, &NotationsPanel::rowRead, this,
                    [this](const PositionText& read) { Guarded([this, &read] { FillFromRow(read); }); });
            connect(panel_, &NotationsPanel::status, this, [this](const QString& text) { ShowStatus(text); });
            // Ctrl+Z in a row takes back the fill the row made, as in a box.
            for (FieldBox* row : panel_->findChildren<FieldBox*>()) row->setUndoTaker([this] { return UndoFill(); });
            map_ = new MapPanel;
            panel_->SetMap(map_);
            connect(map_, &MapPanel::statusMessage, this, [this](const QString& text) { ShowStatus(text); });
            // A place picked on the map fills the boxes as a pasted position does.
            connect(map_, &MapPanel::positionPicked, this, [this](double latitude, double longitude, int, int) {
                PositionText picked;
                picked.latitude = latitude;
                picked.longitude = longitude;
                Guarded([this, &picked] { FillFromRow(picked); });
            });
            // Ctrl+Z on the map takes back the place it filled in, as in a box.
            auto* undo = new QAction(map_);
            undo->setShortcut(QKeySequence::Undo);
            undo->setShortcutContext(Qt::WidgetWithChildrenShortcut);
            map_->addAction(undo);
            connect(undo, &QAction::triggered, this, [this] { Guarded([this] { UndoFill(); }); });
        }
        panel_->Show(CurrentOutput());
        ShowOnMap();
        setFixedSize(panel_->Place(form));
        panel_->show();
        panel_->FirstRow()->setFocus(Qt::ShortcutFocusReason);
    } else {
        const bool focusInPanel = panel_->isAncestorOf(QApplication::focusWidget());
        panel_->hide();
        setFixedSize(form);
        if (focusInPanel && focusBeforePanel_) focusBeforePanel_->setFocus(Qt::ShortcutFocusReason);
    }
    btnNotations->setChecked(open);
    btnNotations->setText(open ? QStringLiteral("Notations \u25C2") : QStringLiteral("Notations \u25B8"));
}

QLabel* ConverterForm::StatusLine() {
    // Made with the first report or the panel, whichever comes first; it
    // holds the last report whether or not the panel is open.
    if (!lblStatus) {
        lblStatus = new QLabel(this);
        lblStatus->setObjectName(QStringLiteral("lblStatus"));
        lblStatus->hide();
    }
    return lblStatus;
}

void ConverterForm::ShowStatus(const QString& text, QWidget* near) {
    StatusLine()->setText(text);
    if (panel_ && panel_->isVisible()) return;
    // A note that comes and goes on its own, over the window rather than in it.
    QWidget* anchor = near && isAncestorOf(near) ? near : btnNotations;
    QToolTip::showText(anchor->mapToGlobal(QPoint(0, anchor->height())), text, anchor, QRect(), 4000);
}

ShownOutput ConverterForm::CurrentOutput() const {
    ShownOutput output;
    output.directionLetters = chkDirection->isChecked();
    output.marks = {DegreeMark, MinuteMark, SecondMark};
    if (ShownPosition(Code::None) && Latitude && Longitude) {
        output.latitude = Latitude;
        output.longitude = Longitude;
        output.utm = UtmInputPoint();
    }
    return output;
}

void ConverterForm::UpdateOutputActions() {
    const bool shown = ShownPosition(Code::None).has_value();
    for (QAction* action : outputEntries_) action->setEnabled(shown);
}

void ConverterForm::ShowHelp() {
    if (!help_) help_ = MakeHelpWindow(this);
    help_->show();
    help_->raise();
    help_->activateWindow();
}

void ConverterForm::RunOutputAction(Code code, bool open) {
    QWidget* near = QApplication::focusWidget();
    if (!DepartInPlace()) return;
    if (!ShownPosition(Code::None)) {
        ShowStatus(open ? QStringLiteral("Nothing to open: the output is empty")
                        : QStringLiteral("Nothing to copy: the output is empty"),
                   near);
        return;
    }
    Guarded([this, code, open, near] {
        if (open)
            OpenInMap(near);
        else
            CopyPosition(code, near);
    });
}

void ConverterForm::CopyPosition(Code code, QWidget* near) {
    const QString caption = code == Code::None ? QString() : QString::fromUtf8(FormOf(code).caption.data(),
                                                                               static_cast<qsizetype>(FormOf(code).caption.size()));
    const std::optional<std::string> line = ShownPosition(code);
    if (!line) {
        ShowStatus(QStringLiteral("Nothing to copy: no %1 for this position").arg(caption), near);
        return;
    }
    const QString text = QString::fromStdString(*line);
    QGuiApplication::clipboard()->setText(text);
    ShowStatus(CopiedStatus(code, caption, text), near);
}

void ConverterForm::OpenInMap(QWidget* near) {
    const std::optional<std::string> link = ShownPosition(Code::OsmLink);
    if (!link) return;
    const QString text = QString::fromStdString(*link);
    if (QDesktopServices::openUrl(QUrl(text, QUrl::StrictMode))) {
        ShowStatus(QStringLiteral("Opened in the web browser"), near);
        return;
    }
    // The reason went to standard error at best: the link is still of use.
    QGuiApplication::clipboard()->setText(text);
    ShowStatus(QStringLiteral("No web browser found: the link was copied instead"), near);
}

}  // namespace quillet
