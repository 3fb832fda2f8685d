// The random walk: seeded random actions on the real window (numbers and
// junk typed into boxes, Tab and Shift+Tab, clicks, list picks), with the
// window's invariants checked after each step. Outputs are checked against
// an oracle of their own: plain numerals read by Qt, the UTM side by
// GeographicLib's exact projection. A failure is cut to the shortest tail
// that still fails, which `form-driver --check` replays.

#include "walk.h"

#include "driver.h"

#include <GeographicLib/TransverseMercatorExact.hpp>

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>
#include <random>

namespace quillet {

namespace {

using Texts = QHash<QString, QString>;

const char* const kOutputs[] = {"txtLatOut", "txtLonOut", "txtEastOut", "txtNorthOut", "txtZoneOut"};
constexpr double kMetre = 1 / 111000.0;  // a metre of latitude, in degrees

Texts BoxTexts(const ConverterForm& form) {
    Texts texts;
    for (const QWidget* control : form.controls())
        if (const auto* box = qobject_cast<const QLineEdit*>(control)) texts.insert(box->objectName(), box->text());
    return texts;
}

int Index(const ConverterForm& form, const char* name) {
    return qobject_cast<QComboBox*>(FindControl(form, QLatin1String(name)))->currentIndex();
}

bool Checked(const ConverterForm& form, const char* name) {
    return qobject_cast<QCheckBox*>(FindControl(form, QLatin1String(name)))->isChecked();
}

// A plain decimal numeral, blanks around; the oracle reads nothing else.
std::optional<double> Plain(const QString& text) {
    static const QRegularExpression numeral(QStringLiteral("^[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)[ \\t]*$"));
    if (!numeral.match(text).hasMatch()) return std::nullopt;
    return text.trimmed().toDouble();
}

// One coordinate as the oracle sees it: absent (nullopt), unknown to the
// oracle (NaN: a box holds more than a plain numeral) or its value.
using Coordinate = std::optional<double>;
constexpr double kUnknown = NAN;

Coordinate Angle(const Texts& texts, int notation, const char* coordinate, const char* negative) {
    static const char* const prefixes[] = {"txtDMS", "txtDM", "txtDec"};
    const auto box = [&](int i) {
        return texts.value(QStringLiteral("%1%2In(%3)").arg(prefixes[notation], coordinate).arg(i));
    };
    const int parts = 3 - notation;
    if (box(1).isEmpty() && (notation != 1 || box(2).isEmpty())) return std::nullopt;
    const QString letter = box(0).toUpper();
    if (!letter.isEmpty() && letter.size() != 1) return kUnknown;
    double magnitude = 0, scale = 1;
    bool negativeDegrees = false;
    for (int i = 1; i <= parts; ++i, scale *= 60) {
        if (box(i).isEmpty()) continue;
        const std::optional<double> value = Plain(box(i));
        if (!value) return kUnknown;
        if (i == 1) negativeDegrees = box(i).contains(QLatin1Char('-'));
        magnitude += (i == 1 ? std::fabs(*value) : *value) / scale;
    }
    return (letter == QLatin1String(negative)) != negativeDegrees ? -magnitude : magnitude;
}

struct Expected {
    Coordinate latitude, longitude;
    bool fromUtm = false;
};

Expected Oracle(const Texts& texts, int notation) {
    if (notation < 3) return {Angle(texts, notation, "Lat", "S"), Angle(texts, notation, "Lon", "W")};
    const QString east = texts.value("txtEastIn"), north = texts.value("txtNorthIn"), zone = texts.value("txtZoneIn");
    if (east.isEmpty() || north.isEmpty() || zone.isEmpty()) return {};
    const std::optional<double> x = Plain(east), y = Plain(north), z = Plain(zone);
    if (!x || !y || !z || *z != std::floor(*z)) return {kUnknown, kUnknown, true};
    double latitude = 0, longitude = 0;
    GeographicLib::TransverseMercatorExact::UTM().Reverse(*z * 6 - 183, *x - 500000, *y, latitude, longitude);
    return {latitude, std::remainder(longitude, 360.0), true};
}

// ---- The outputs compared with the oracle.

QString CheckAngleOut(const QString& written, Coordinate expected, double bound, double tolerance, int notation,
                      bool letters, bool units, const char* hemispheres) {
    if (!expected) return written.isEmpty() ? QString() : QStringLiteral("an absent coordinate is written");
    if (written.contains(QChar(0xB0)) != units || (!units && written.contains(QRegularExpression("['\"]"))))
        return QStringLiteral("unit marks do not follow No Units");
    QStringList words = QString(written).replace(QRegularExpression("[\u00B0'\"]"), " ").split(' ', Qt::SkipEmptyParts);
    double sign = 1;
    if (letters) {
        if (words.isEmpty() || (words[0] != QChar(hemispheres[0]) && words[0] != QChar(hemispheres[1])))
            return QStringLiteral("no hemisphere letter");
        sign = words.takeFirst() == QChar(hemispheres[0]) ? -1 : 1;
    }
    if (words.size() != 3 - notation) return QStringLiteral("not one word per part");
    double value = 0, scale = 1;
    for (qsizetype i = 0; i < words.size(); ++i, scale *= 60) {
        const std::optional<double> part = Plain(words[i]);
        if (!part || (i > 0 && *part >= 60)) return QStringLiteral("a part is no number or not below 60");
        value += std::fabs(*part) / scale;
    }
    value *= words[0].startsWith('-') ? -sign : sign;
    if (std::fabs(value) > bound) return QStringLiteral("%1 lies beyond %2").arg(written).arg(bound);
    if (!std::isnan(*expected) && std::fabs(value - *expected) > tolerance)
        return QStringLiteral("written %1, expected %2").arg(written).arg(*expected, 0, 'g', 17);
    return QString();
}

QString CheckUtmOut(const ConverterForm& form, const Texts& out, const Expected& expected) {
    const bool said = FindControl(form, QStringLiteral("lblUtmError"))->isVisible();
    if (!expected.latitude || !expected.longitude) {
        const bool empty = out.value("txtEastOut").isEmpty() && out.value("txtNorthOut").isEmpty() &&
                           out.value("txtZoneOut").isEmpty();
        return empty && said ? QString() : QStringLiteral("an incomplete position must empty UTM and say so");
    }
    if (said) return QStringLiteral("the UTM message is shown beside a result");
    const std::optional<double> easting = Plain(out.value("txtEastOut")), northing = Plain(out.value("txtNorthOut"));
    if (!easting || !northing || *easting != std::floor(*easting) || *northing != std::floor(*northing))
        return QStringLiteral("easting and northing are not whole metres");
    const double latitude = *expected.latitude, longitude = *expected.longitude;
    // At a zone's edge and beyond the bands the oracle cannot tell.
    if (std::isnan(latitude + longitude) || std::fabs(latitude) > 84 || std::fabs(std::remainder(longitude / 6, 1.0)) < 1e-6)
        return QString();
    const int zone = std::min(60, static_cast<int>(std::floor((longitude + 180) / 6)) + 1);
    if (!out.value("txtZoneOut").startsWith(QStringLiteral("%1 ").arg(zone)))
        return QStringLiteral("zone %1 for %2, %3").arg(out.value("txtZoneOut")).arg(latitude).arg(longitude);
    double x = 0, y = 0;
    GeographicLib::TransverseMercatorExact::UTM().Forward(6 * zone - 183, latitude, longitude, x, y);
    // Whole metres and the series' 0.15 m at a zone's edge; from UTM input,
    // the metre the inverse may be off as well.
    if (std::hypot(*easting - 500000 - x, *northing - y) > (expected.fromUtm ? 2.0 : 0.9))
        return QStringLiteral("UTM %1 %2, expected %3 %4")
            .arg(*easting).arg(*northing).arg(x + 500000, 0, 'f', 1).arg(y, 0, 'f', 1);
    return QString();
}

// A departure that empties one coordinate's box empties its output and
// leaves the other as it was: only recomputed outputs are checked.
QString CheckOutputs(const ConverterForm& form, const Texts& inputs, bool latitudeOut, bool longitudeOut) {
    const Texts out = BoxTexts(form);
    const Expected expected = Oracle(inputs, Index(form, "cmbInput"));
    const int notation = Index(form, "cmbOutput");
    if (notation == 3) return CheckUtmOut(form, out, expected);
    const bool letters = Checked(form, "chkDirection"), units = !Checked(form, "chkUnits");
    // Half a unit of the last written place; from UTM input a metre more.
    const double written = notation == 0 ? 0.0005 / 3600 : notation == 1 ? 0.000005 / 60 : 5e-8;
    const double north = written + (expected.fromUtm ? kMetre : 1e-9);
    const double cosine =
        expected.latitude && !std::isnan(*expected.latitude) ? std::cos(*expected.latitude * M_PI / 180) : 1;
    const double east = expected.fromUtm ? (cosine < 1e-3 ? 360 : written + kMetre / cosine) : north;
    const QString latitude =
        CheckAngleOut(out.value("txtLatOut"), expected.latitude, 90, north, notation, letters, units, "SN");
    if (latitudeOut && !latitude.isEmpty()) return QStringLiteral("txtLatOut: ") + latitude;
    const QString longitude =
        CheckAngleOut(out.value("txtLonOut"), expected.longitude, 180, east, notation, letters, units, "WE");
    return !longitudeOut || longitude.isEmpty() ? QString() : QStringLiteral("txtLonOut: ") + longitude;
}

// ---- One step and its invariants. A failure is "what: detail"; the part
// before the colon is what shrinking keeps failing.

QString Step(ConverterForm& form, Driver& driver, const QString& line, int& checked) {
    const Texts before = BoxTexts(form);
    const int notationBefore = Index(form, "cmbInput");
    QString problem;
    if (!driver.Run(line, problem)) return QString();
    const QStringList& titles = driver.messageTitles();
    if (titles.size() > 3) return QStringLiteral("message chain: %1 messages").arg(titles.size());
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const QString text = driver.messageTexts().at(i).toString();
        if (titles[i] != QLatin1String("Input Error") || !text.startsWith(QLatin1String("Error: ")) || !text.endsWith('.'))
            return QStringLiteral("foreign message: %1 / %2").arg(titles[i], text);
    }
    for (const auto& [frame, count] : {std::pair{"frmIn", 4}, std::pair{"frmOut", 2}}) {
        int shown = 0;
        for (int i = 0; i < count; ++i) {
            const QWidget* set = FindControl(form, QStringLiteral("%1(%2)").arg(frame).arg(i));
            shown += set->isVisible() && set->isEnabled();
        }
        if (shown != 1) return QStringLiteral("frames: %1 of %2 shown").arg(shown).arg(frame);
    }
    const QStringList faults = LayoutFaults(form) + ClippedControls(form);
    if (!faults.isEmpty()) return QStringLiteral("layout: ") + faults.join(QLatin1Char(','));
    const Texts after = BoxTexts(form);
    if (!titles.isEmpty()) return QString();
    // Check the outputs when this step recomputed them: a command that always
    // does, or outputs that changed. Typing recomputes (by leaving the last
    // box) before the typed box changes, so its old text is what was read.
    const QString verb = line.section(' ', 0, 0), name = line.section(' ', 1, 1);
    const bool command = (verb == QLatin1String("click") && name != QLatin1String("btnReset")) ||
                         (verb == QLatin1String("pick") &&
                          (name == QLatin1String("cmbOutput") || Index(form, "cmbInput") != notationBefore));
    const auto changed = [&](const char* out) { return command || before.value(out) != after.value(out); };
    if (std::none_of(std::begin(kOutputs), std::end(kOutputs), changed)) return QString();
    Texts read = after;
    if (verb == QLatin1String("type")) read.insert(name, before.value(name));
    ++checked;
    const QString wrong = CheckOutputs(form, read, changed("txtLatOut"), changed("txtLonOut"));
    return wrong.isEmpty() ? QString() : QStringLiteral("outputs disagree: ") + wrong;
}

// ---- Random actions.

QString RandomText(std::mt19937_64& random, const QString& box) {
    const auto number = [&](double lowest, double highest) {
        const double value = std::uniform_real_distribution<double>(lowest, highest)(random);
        return QString::number(value, 'f', static_cast<int>(random() % 7));
    };
    if (random() % 100 < 70) {
        if (box.endsWith(QLatin1String("(0)"))) return QStringList{"N", "S", "E", "W", "s", "w", ""}.at(random() % 7);
        if (box.endsWith(QLatin1String("(1)")))
            return box.contains(QLatin1String("Lat")) ? number(-90, 90) : number(-180, 180);
        if (box.endsWith(QLatin1String("(2)")) || box.endsWith(QLatin1String("(3)"))) return number(0, 60);
        if (box == QLatin1String("txtEastIn")) return number(160000, 834000);
        if (box == QLatin1String("txtNorthIn")) return number(-10000000, 10000000);
        if (box == QLatin1String("txtZoneIn")) return QString::number(1 + random() % 60);
    }
    // Anything a person could type or paste; Tab and line breaks are actions
    // of their own, not characters of a line.
    static const QStringList pieces = {"0", "9", "60", "90", "180", "-", "+", ".", "e-", "N", "x", " ", "\u00B0", "'",
                                       ",", "\u00E9", "\uFF11", "\U0001F600", "\x01", "\x7F", "1e308", "1e-400", "nan"};
    QString text;
    for (int count = random() % 50 == 0 ? 200 : static_cast<int>(random() % 6); count > 0; --count)
        text += pieces.at(random() % pieces.size());
    return text;
}

QString RandomLine(std::mt19937_64& random, const ConverterForm& form) {
    const int roll = static_cast<int>(random() % 100);
    // A refused box keeps the focus: mostly mend it, as a person would.
    const QWidget* focus = QApplication::focusWidget();
    if (focus && roll < 40 && qobject_cast<const QLineEdit*>(focus) && focus->objectName().contains(QLatin1String("In")))
        return QStringLiteral("type %1 %2").arg(focus->objectName(), RandomText(random, focus->objectName()));
    if (roll < 8) return QStringLiteral("tab");
    if (roll < 13) return QStringLiteral("backtab");
    if (roll < 28) {
        static const char* const buttons[] = {"btnConvert", "btnReset", "chkDirection", "chkUnits"};
        return QStringLiteral("click ") + QLatin1String(buttons[random() % 4]);
    }
    if (roll < 36)
        return QStringLiteral("pick %1 %2").arg(random() % 2 ? "cmbInput" : "cmbOutput").arg(random() % 4);
    QStringList boxes;
    for (const QWidget* control : form.controls())
        if (qobject_cast<const QLineEdit*>(control) && control->isVisible()) boxes << control->objectName();
    const QString box = boxes.at(static_cast<qsizetype>(random() % boxes.size()));
    if (roll < 42 || !box.contains(QLatin1String("In"))) return QStringLiteral("focus ") + box;
    return QStringLiteral("type %1 %2").arg(box, RandomText(random, box));
}

// ---- Playing and replaying.

struct Result {
    QString failure;
    qsizetype step = -1;
    int messages = 0;
    int checked = 0;  // steps whose outputs were compared with the oracle
};

// Plays the lines on a fresh window, or random ones when `random` is given,
// until one fails.
Result Play(QStringList& lines, std::mt19937_64* random = nullptr, qint64 steps = 0) {
    ConverterForm form;
    form.show();
    static_cast<void>(QTest::qWaitForWindowActive(&form, 2000));
    Driver driver(form);
    driver.setQuiet(true);
    Result result;
    for (qsizetype i = 0; result.failure.isEmpty() && (random ? i < steps : i < lines.size()); ++i) {
        if (random) lines << RandomLine(*random, form);
        result.failure = Step(form, driver, lines[i], result.checked);
        result.messages += static_cast<int>(driver.messageTitles().size());
        result.step = i;
    }
    form.close();
    return result;
}

}  // namespace

int Walk(quint64 seed, qint64 steps) {
    // The offscreen platform's notes on what it cannot do, once per message box.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QLatin1String("This plugin does not support"))) qt_message_output(type, context, message);
    });
    std::mt19937_64 random(seed);
    QStringList lines;
    const Result result = Play(lines, &random, steps);
    Print({{"walk", QJsonObject{{"seed", QString::number(seed)}, {"steps", lines.size()},
                                {"messages", result.messages}, {"outputs_checked", result.checked}}}});
    if (result.failure.isEmpty()) return 0;
    // Lines left out one at a time, for a minute at most, while the same
    // kind of failure stays.
    const QString kind = result.failure.section(':', 0, 0);
    QStringList shortest = lines;
    QElapsedTimer clock;
    clock.start();
    for (qsizetype i = shortest.size() - 2; i >= 0 && clock.elapsed() < 60000; --i) {
        QStringList candidate = shortest;
        candidate.removeAt(i);
        const Result again = Play(candidate);
        if (again.failure.section(':', 0, 0) == kind) shortest = candidate.mid(0, again.step + 1);
    }
    const QString file = QStringLiteral("walk-failure-%1.txt").arg(seed);
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Text)) out.write((shortest.join('\n') + '\n').toUtf8());
    Print({{"fail", QJsonObject{{"seed", QString::number(seed)}, {"step", lines.size()}, {"what", result.failure},
                                {"replay", "form-driver --check " + file}, {"script", QJsonArray::fromStringList(shortest)}}}});
    return 1;
}

int CheckScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Print({{"error", QStringLiteral("cannot read %1").arg(path)}});
        return 2;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    const Result result = Play(lines);
    if (result.failure.isEmpty()) return 0;
    Print({{"fail", QJsonObject{{"line", result.step + 1}, {"what", result.failure}}}});
    return 1;
}

}  // namespace quillet
