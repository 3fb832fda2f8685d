// What the form driver reads off the window: every named control as JSON,
// and whether each caption fits the box it is drawn in.
#pragma once

#include <QJsonObject>
#include <QStringList>

class QMessageBox;
class QWidget;

namespace quillet {

class ConverterForm;

QWidget* FindControl(const ConverterForm& form, const QString& name);

// {"title":..., "focus":..., NAME: {...} for every named control}.
QJsonObject FormState(const ConverterForm& form);

// The names of the controls whose caption or list items do not fit them.
QStringList ClippedControls(const ConverterForm& form);

bool MessageFits(const QMessageBox& box);

}  // namespace quillet
