// The panel beside the form: the shown position in every notation the
// program writes, one row each (from the table of codes, so that a new code
// is a new row), and a status line that says what just happened. Built the
// first time it opens; the form never moves for it.
#pragma once

#include "app/panel/notation_row.h"

#include <QWidget>

#include <vector>

class QGridLayout;
class QLabel;

namespace quillet {

class NotationsPanel : public QWidget {
    Q_OBJECT

public:
    // `window` is the form; `status` its status line, which the panel shows
    // under the rows.
    NotationsPanel(QWidget* window, QLabel* status);

    // Rewrites every row for the output.
    void Show(const ShownOutput& output);
    // Says what just happened, in the status line.
    void ShowStatus(const QString& text);
    // Puts a map under the form, beside the rows, and makes the window room
    // for it; nullptr takes it away (the caller then owns the old one).
    void SetMap(QWidget* map);
    // Places the panel beside a form of `form` size and the map under it;
    // gives the window's size with the panel open.
    QSize Place(QSize form);

    // The row of a --to name, or nullptr.
    NotationRow* Row(const QString& name) const;
    QWidget* FirstRow() const;
    // Tab goes from `after` through every row and copy button, in reading order.
    void ChainTabs(QWidget* after) const;

    void setVisible(bool visible) override;

signals:
    // A row's text, read as its notation: the form fills its boxes with it.
    void rowRead(const PositionText& position);
    // A row's own report (a copy, a refusal).
    void status(const QString& text);

private:
    std::vector<NotationRow*> rows_;
    QGridLayout* grid_ = nullptr;
    QLabel* status_ = nullptr;
    QWidget* mapSlot_ = nullptr;
    QWidget* map_ = nullptr;
    ShownOutput output_;
    QSize form_;  // the form's size, as last placed beside
    bool gridsStarted_ = false;
};

}  // namespace quillet
