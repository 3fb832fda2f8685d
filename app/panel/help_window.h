// The short help F1 opens: the shortcuts, pasting, the notations panel and
// the command-line converter's name. A window of its own, not modal: the
// person reads it beside the form.
#pragma once

#include <QString>
#include <QStringList>

#include <utility>
#include <vector>

class QWidget;

namespace quillet {

// The shortcuts the help lists: the keys and what they do. The tests press
// every one of them.
std::vector<std::pair<QString, QString>> HelpShortcuts();

QWidget* MakeHelpWindow(QWidget* form);

}  // namespace quillet
