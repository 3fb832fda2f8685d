#include "app/panel/notations_panel.h"

#include "app/field_box.h"
#include "convert/forms/code_forms.h"
#include "convert/grids/national_grid.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace quillet {

namespace {

// The four notations first, as the form names them and --to spells them,
// then every code, grid and link that has a caption in the table.
std::vector<RowForm> RowForms() {
    std::vector<RowForm> forms{
        {QStringLiteral("dms"), QStringLiteral("DMS"), DegreesMinutesSeconds, Code::None, {}, -1},
        {QStringLiteral("dm"), QStringLiteral("DM"), DegreesMinutes, Code::None, {}, -1},
        {QStringLiteral("dd"), QStringLiteral("DD"), DecimalDegrees, Code::None, {}, -1},
        {QStringLiteral("utm"), QStringLiteral("UTM"), Utm, Code::None, {}, -1},
    };
    for (const CodeForm& code : CodeForms()) {
        if (code.caption.empty()) continue;
        RowForm form{QString::fromUtf8(code.names.front().data(), static_cast<qsizetype>(code.names.front().size())),
                     QString::fromUtf8(code.caption.data(), static_cast<qsizetype>(code.caption.size())), Utm,
                     code.code, LengthChoices(code.code), code.windowLength};
        forms.push_back(std::move(form));
    }
    return forms;
}

// Room the map takes under the form, at the least.
constexpr int kMapHeight = 200;

}  // namespace

NotationsPanel::NotationsPanel(QWidget* window, QLabel* status) : QWidget(window), status_(status) {
    setObjectName(QStringLiteral("pnlNotations"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 6, 8, 6);
    column->setSpacing(6);
    grid_ = new QGridLayout;
    grid_->setHorizontalSpacing(6);
    grid_->setVerticalSpacing(3);
    grid_->setColumnStretch(1, 1);
    column->addLayout(grid_);
    int line = 0;
    for (RowForm& form : RowForms()) {
        auto* row = new NotationRow(std::move(form), this, grid_, line++);
        connect(row, &NotationRow::read, this, &NotationsPanel::rowRead);
        connect(row, &NotationRow::status, this, &NotationsPanel::status);
        connect(row, &NotationRow::lengthChosen, this, [this, row] { row->Show(output_); });
        rows_.push_back(row);
    }
    status_->setParent(this);
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    status_->setMinimumHeight(status_->fontMetrics().height() * 2);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status_->show();
    column->addWidget(status_);
    column->addStretch(1);
}

void NotationsPanel::Show(const ShownOutput& output) {
    output_ = output;
    // The grids start PROJ the first time they are written, which takes
    // longer than the rest of the panel's first opening: their rows follow
    // right after the panel is on screen.
    const bool later = !gridsStarted_ && output_.latitude && output_.longitude;
    for (NotationRow* row : rows_) {
        const Code code = row->form().code;
        if (later && (code == Code::BritishGrid || code == Code::IrishGrid))
            row->ShowPending();
        else
            row->Show(output_);
    }
    if (!later) return;
    gridsStarted_ = true;
    QTimer::singleShot(0, this, [this] {
        for (NotationRow* row : rows_) {
            const Code code = row->form().code;
            if (code != Code::BritishGrid && code != Code::IrishGrid) continue;
            row->Show(output_);
            // Without the grid file the datum shift is good to metres, not
            // to the reference's last figure: said beside the row, in full
            // on the pointer.
            if (const std::optional<std::string> note = GridAccuracyNote(code))
                row->SetNote(QStringLiteral("\u00B12 m"), QString::fromStdString(*note));
        }
    });
}

void NotationsPanel::ShowStatus(const QString& text) { status_->setText(text); }

void NotationsPanel::SetMap(QWidget* map) {
    if (map_ && map_ != map) {
        map_->hide();
        map_->setParent(nullptr);
    }
    map_ = map;
    if (!map_) return;
    if (!mapSlot_) {
        mapSlot_ = new QWidget(parentWidget());
        mapSlot_->setObjectName(QStringLiteral("pnlMap"));
        auto* layout = new QVBoxLayout(mapSlot_);
        layout->setContentsMargins(6, 0, 6, 6);
    }
    mapSlot_->layout()->addWidget(map_);
    mapSlot_->setVisible(isVisible());
    // The window makes room for it at once.
    if (isVisible() && form_.isValid()) window()->setFixedSize(Place(form_));
}

QSize NotationsPanel::Place(QSize form) {
    form_ = form;
    const QSize wanted = sizeHint();
    const int height = std::max({form.height(), wanted.height(), map_ ? form.height() + kMapHeight : 0});
    setGeometry(form.width(), 0, std::max(wanted.width(), 540), height);
    if (mapSlot_) mapSlot_->setGeometry(0, form.height(), form.width(), height - form.height());
    return {form.width() + width(), height};
}

NotationRow* NotationsPanel::Row(const QString& name) const {
    for (NotationRow* row : rows_)
        if (row->form().name == name) return row;
    return nullptr;
}

QWidget* NotationsPanel::FirstRow() const { return rows_.front()->textBox(); }

void NotationsPanel::ChainTabs(QWidget* after) const {
    for (const NotationRow* row : rows_) {
        setTabOrder(after, row->textBox());
        setTabOrder(row->textBox(), row->copyButton());
        after = row->copyButton();
    }
}

void NotationsPanel::setVisible(bool visible) {
    QWidget::setVisible(visible);
    if (mapSlot_) mapSlot_->setVisible(visible && map_);
}

}  // namespace quillet
