#include "form_state.h"

#include "app/converter_form.h"
#include "app/field_box.h"
#include "app/map/map_view.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDesktopServices>
#include <QAction>
#include <QJsonArray>
#include <QLineEdit>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSet>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

namespace quillet {

namespace {

bool LabelFits(const QLabel& label) {
    if (label.text().isEmpty()) return true;
    const QFontMetrics metrics(label.font());
    const QRect area = label.contentsRect();
    if (label.wordWrap()) {
        const QRect needed = metrics.boundingRect(QRect(0, 0, area.width(), 100000),
                                                  Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, label.text());
        return needed.width() <= area.width() && needed.height() <= area.height();
    }
    return metrics.horizontalAdvance(label.text()) <= area.width() && metrics.height() <= area.height();
}

bool CheckBoxFits(const QCheckBox& check) {
    QStyleOptionButton option;
    option.initFrom(&check);
    option.text = check.text();
    const QRect contents = check.style()->subElementRect(QStyle::SE_CheckBoxContents, &option, &check);
    const QFontMetrics metrics(check.font());
    return metrics.horizontalAdvance(check.text()) <= contents.width() && metrics.height() <= contents.height() + 2;
}

bool ButtonFits(const QPushButton& button) {
    const QFontMetrics metrics(button.font());
    const int margin = button.style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, &button);
    return metrics.horizontalAdvance(button.text()) + margin <= button.width() && metrics.height() <= button.height();
}

bool ListFits(const QComboBox& list) {
    QStyleOptionComboBox option;
    option.initFrom(&list);
    const QRect field = list.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &list);
    const QFontMetrics metrics(list.font());
    for (int i = 0; i < list.count(); ++i)
        if (metrics.horizontalAdvance(list.itemText(i)) > field.width()) return false;
    return metrics.height() <= field.height() + 2;
}

QJsonValue NameOf(const QWidget* widget) {
    return widget ? QJsonValue(widget->objectName()) : QJsonValue(QJsonValue::Null);
}

QJsonObject ControlState(const ConverterForm& form, const QWidget& control) {
    QJsonObject state{
        {QStringLiteral("enabled"), control.isEnabled()},
        {QStringLiteral("visible"), control.isVisibleTo(&form)},
        {QStringLiteral("x"), control.x()},
        {QStringLiteral("y"), control.y()},
        {QStringLiteral("w"), control.width()},
        {QStringLiteral("h"), control.height()},
        {QStringLiteral("hint"), control.toolTip().isEmpty() ? QJsonValue(QJsonValue::Null) : control.toolTip()},
    };
    QString text;
    if (const auto* box = qobject_cast<const FieldBox*>(&control)) {
        text = box->text();
        state.insert(QStringLiteral("fg"), box->shownTextColour().name());
        state.insert(QStringLiteral("bg"), box->shownBackColour().name());
        state.insert(QStringLiteral("maxLength"),
                     box->charLimit() > 0 ? QJsonValue(box->charLimit()) : QJsonValue(QJsonValue::Null));
        state.insert(QStringLiteral("readOnly"), box->isReadOnly());
    } else if (const auto* list = qobject_cast<const QComboBox*>(&control)) {
        text = list->currentText();
        QJsonArray items;
        for (int i = 0; i < list->count(); ++i) items.append(list->itemText(i));
        state.insert(QStringLiteral("index"), list->currentIndex());
        state.insert(QStringLiteral("items"), items);
    } else if (const auto* check = qobject_cast<const QCheckBox*>(&control)) {
        text = check->text();
        state.insert(QStringLiteral("checked"), check->isChecked());
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(&control)) {
        text = button->text();
        state.insert(QStringLiteral("down"), button->isDown());
    } else if (const auto* label = qobject_cast<const QLabel*>(&control)) {
        text = label->text();
    } else if (const auto* map = qobject_cast<const MapView*>(&control)) {
        const MapView::Position pin = map->position();
        state.insert(QStringLiteral("pin"), pin ? QJsonValue(QJsonArray{pin->first, pin->second}) : QJsonValue(QJsonValue::Null));
        state.insert(QStringLiteral("zoom"), map->zoom());
    }
    state.insert(QStringLiteral("text"), text);
    return state;
}

}  // namespace

namespace {
QString lastOpened;
}  // namespace

UrlRecorder::UrlRecorder() {
    for (const QLatin1String scheme : {QLatin1String("https"), QLatin1String("http")})
        QDesktopServices::setUrlHandler(scheme, this, "open");
}

UrlRecorder::~UrlRecorder() {
    for (const QLatin1String scheme : {QLatin1String("https"), QLatin1String("http")}) QDesktopServices::unsetUrlHandler(scheme);
}

QString UrlRecorder::last() { return lastOpened; }

void UrlRecorder::setBrowser(bool present) {
    // A handler whose method does not exist makes QDesktopServices::openUrl
    // answer false, as it does on a desktop without a browser.
    for (const QLatin1String scheme : {QLatin1String("https"), QLatin1String("http")})
        QDesktopServices::setUrlHandler(scheme, this, present ? "open" : "noBrowserHere");
}

void UrlRecorder::open(const QUrl& url) { lastOpened = url.toString(QUrl::FullyEncoded); }

namespace {

// The map's controls, wherever the window holds them.
const QStringList kMapControls = {QStringLiteral("mapView"), QStringLiteral("lblCountry"), QStringLiteral("chkStreetMap")};

QWidget* FindMapControl(const ConverterForm& form, const QString& name) {
    if (!kMapControls.contains(name)) return nullptr;
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->objectName() == name && widget->window() == form.window()) return widget;
    return nullptr;
}

}  // namespace

QWidget* FindControl(const ConverterForm& form, const QString& name) {
    for (QWidget* control : form.controls())
        if (control->objectName() == name) return control;
    if (QWidget* map = FindMapControl(form, name)) return map;
    // The notations panel's rows and buttons, made after the form's table.
    return name.isEmpty() ? nullptr : form.findChild<QWidget*>(name);
}

QJsonObject FormState(const ConverterForm& form) {
    QJsonObject state;
    state.insert(QStringLiteral("title"), form.windowTitle());
    state.insert(QStringLiteral("size"), QJsonArray{form.width(), form.height()});
    QWidget* focus = QApplication::focusWidget();
    state.insert(QStringLiteral("focus"), focus && form.isAncestorOf(focus) ? NameOf(focus) : QJsonValue(QJsonValue::Null));
    for (const QWidget* control : form.controls()) state.insert(control->objectName(), ControlState(form, *control));
    // The notations toggle, the status line and the panel's rows, by name.
    for (const QWidget* control : form.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name == QLatin1String("btnNotations") || name == QLatin1String("lblStatus") ||
            name.startsWith(QLatin1String("txtNotation_")) || name.startsWith(QLatin1String("btnCopy_")) ||
            name.startsWith(QLatin1String("btnLength_")) || name.startsWith(QLatin1String("lblNote_"))) {
            QJsonObject row = ControlState(form, *control);
            if (const auto* box = qobject_cast<const QLineEdit*>(control))
                row.insert(QStringLiteral("placeholder"), box->placeholderText());
            row.insert(QStringLiteral("accessibleName"), control->accessibleName());
            state.insert(name, row);
        }
    }
    // The output's entries: enabled or not.
    for (const QAction* action : form.findChildren<QAction*>())
        if (action->objectName().startsWith(QLatin1String("act")))
            state.insert(action->objectName(), QJsonObject{{QStringLiteral("enabled"), action->isEnabled()},
                                                           {QStringLiteral("text"), action->text()}});
    for (const QString& name : kMapControls)
        if (const QWidget* control = FindMapControl(form, name); control && !state.contains(name))
            state.insert(name, ControlState(form, *control));
    state.insert(QStringLiteral("clipboard"), QGuiApplication::clipboard()->text());
    state.insert(QStringLiteral("opened"), UrlRecorder::last());
    return state;
}

QStringList ClippedControls(const ConverterForm& form) {
    QStringList clipped;
    for (const QWidget* control : form.controls()) {
        bool fits = true;
        if (const auto* label = qobject_cast<const QLabel*>(control))
            fits = LabelFits(*label);
        else if (const auto* check = qobject_cast<const QCheckBox*>(control))
            fits = CheckBoxFits(*check);
        else if (const auto* button = qobject_cast<const QPushButton*>(control))
            fits = ButtonFits(*button);
        else if (const auto* list = qobject_cast<const QComboBox*>(control))
            fits = ListFits(*list);
        if (!fits) clipped.append(control->objectName());
    }
    return clipped;
}

QStringList LayoutFaults(const ConverterForm& form) {
    // Drawn on one another on purpose: the banner and the maker's address,
    // the stacked output captions, the dividing line across the UTM frame.
    static const QSet<QString> meant = {"Label1+Label5", "Label19+Label30", "Label18+Label31", "Line1+frmIn(3)"};
    QStringList faults;
    const std::vector<QWidget*>& controls = form.controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        const QWidget* a = controls[i];
        if (!a->isVisible()) continue;
        const QWidget* frame = a->parentWidget();
        if ((qobject_cast<const FieldBox*>(a) || qobject_cast<const QComboBox*>(a)) && !frame->rect().contains(a->geometry()))
            faults << a->objectName() + QStringLiteral(" outside ") + frame->objectName();
        for (size_t j = i + 1; j < controls.size(); ++j) {
            const QWidget* b = controls[j];
            const QRect both = a->geometry().intersected(b->geometry());
            const QString pair = a->objectName() + QLatin1Char('+') + b->objectName();
            if (b->isVisible() && b->parentWidget() == frame && both.width() > 1 && both.height() > 1 &&
                !meant.contains(pair))
                faults << pair;
        }
    }
    return faults;
}

bool MessageFits(const QMessageBox& box) {
    const auto labels = box.findChildren<QLabel*>();
    for (const QLabel* label : labels)
        if (label->isVisible() && !LabelFits(*label)) return false;
    return true;
}

}  // namespace quillet
