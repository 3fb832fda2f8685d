#include "app/panel/help_window.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QKeySequence>
#include <QLabel>
#include <QVBoxLayout>

namespace quillet {

std::vector<std::pair<QString, QString>> HelpShortcuts() {
    return {
        {QStringLiteral("Ctrl+L"), QStringLiteral("show or hide the notations panel")},
        {QStringLiteral("Ctrl+Shift+C"), QStringLiteral("copy the output as one line")},
        {QStringLiteral("Ctrl+Shift+M"), QStringLiteral("copy the position as MGRS")},
        {QStringLiteral("Ctrl+Shift+O"), QStringLiteral("open the position in the web browser's map")},
        {QStringLiteral("Ctrl+V"), QStringLiteral("paste a whole position into any input box")},
        {QStringLiteral("Ctrl+Z"), QStringLiteral("take the last paste back")},
        {QStringLiteral("F1"), QStringLiteral("this help")},
    };
}

QWidget* MakeHelpWindow(QWidget* form) {
    auto* help = new QDialog(form);
    help->setObjectName(QStringLiteral("GPS_Quillet_Help"));
    help->setWindowTitle(QStringLiteral("GPS Quillet - Help"));
    QString rows;
    for (const auto& [keys, what] : HelpShortcuts())
        rows += QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(QKeySequence(keys).toString(QKeySequence::NativeText).toHtmlEscaped(), what.toHtmlEscaped());
    auto* text = new QLabel(
        QStringLiteral(
            "<p><b>Paste anything.</b> A position copied from a map, a receiver, a message or a web page "
            "(degrees, UTM, MGRS, Plus Code, grid references, map links) fills the input boxes when pasted "
            "into any of them.</p>"
            "<p><b>See every notation.</b> The <i>Notations</i> button in the title strip opens a panel "
            "with the position in every notation the program writes, each with its own Copy button. Type or "
            "paste into a row and press Enter to read it as that notation; Escape puts the row back.</p>"
            "<p><b>Copy and open.</b> Right-click an output box for Copy Position, Copy as and Open in "
            "Map.</p>"
            "<table>%1</table>"
            "<p>Whole files convert with the same writers on the command line: "
            "<tt>gps-quillet-convert --to mgrs waypoints.txt</tt> (<tt>gps-quillet-convert --help</tt>).</p>")
            .arg(rows),
        help);
    text->setObjectName(QStringLiteral("lblHelp"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::RichText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, help);
    QObject::connect(close, &QDialogButtonBox::rejected, help, &QDialog::close);
    auto* column = new QVBoxLayout(help);
    column->addWidget(text);
    column->addWidget(close);
    help->setMinimumWidth(420);
    return help;
}

}  // namespace quillet
