// The random walk: seeded random actions on the real window (numbers and
// junk typed into boxes, Tab and Shift+Tab, clicks, list picks), with the
// window's invariants checked after each step. Outputs are checked against
// an oracle of their own: plain numerals read by Qt, the UTM side by
// GeographicLib's exact projection. A failure leaves its script behind, which
// `form-driver --check` replays.

#include "walk.h"

#include "driver.h"

#include <GeographicLib/TransverseMercatorExact.hpp>

#include <QFile>
#include <QRegularExpression>

#include <cmath>
#include <optional>
#include <random>

namespace quillet {

namespace {

// Absent (nullopt), unknown to the oracle (NaN: a box holds more than a plain
// numeral) or the coordinate's value.
using Coordinate = std::optional<double>;

constexpr double kMetre = 1 / 111000.0;  // a metre of latitude, in degrees

// A box's "text", a list's "currentIndex", a check box's "checked".
QVariant Read(const ConverterForm& form, const QString& name, const char* property = "text") {
    return FindControl(form, name)->property(property);
}

// A plain decimal numeral, blanks around; the oracle reads nothing else.
std::optional<double> Plain(const QString& text) {
    static const QRegularExpression numeral(QStringLiteral("^[ \\t]*[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)[ \\t]*$"));
    return numeral.match(text).hasMatch() ? std::optional(text.trimmed().toDouble()) : std::nullopt;
}

Coordinate Angle(const ConverterForm& form, int notation, const char* coordinate, const char* negative) {
    static const char* const prefixes[] = {"txtDMS", "txtDM", "txtDec"};
    const auto box = [&](int i) {
        return Read(form, QStringLiteral("%1%2In(%3)").arg(prefixes[notation], coordinate).arg(i)).toString();
    };
    if (box(1).isEmpty() && (notation != 1 || box(2).isEmpty())) return std::nullopt;
    const QString letter = box(0).toUpper();
    double magnitude = 0, scale = 1;
    for (int i = 1; i <= 3 - notation; ++i, scale *= 60) {
        const std::optional<double> value = box(i).isEmpty() ? 0.0 : Plain(box(i));
        if (!value || letter.size() > 1) return NAN;
        magnitude += (i == 1 ? std::fabs(*value) : *value) / scale;
    }
    return (letter == QLatin1String(negative)) != box(1).contains('-') ? -magnitude : magnitude;
}

// Latitude and longitude.
using Expected = std::pair<Coordinate, Coordinate>;

Expected Oracle(const ConverterForm& form, int notation) {
    if (notation < 3) return {Angle(form, notation, "Lat", "S"), Angle(form, notation, "Lon", "W")};
    const auto in = [&](const char* name) { return Read(form, name).toString(); };
    if (in("txtEastIn").isEmpty() || in("txtNorthIn").isEmpty() || in("txtZoneIn").isEmpty()) return {};
    const std::optional<double> x = Plain(in("txtEastIn")), y = Plain(in("txtNorthIn")), z = Plain(in("txtZoneIn"));
    if (!x || !y || !z || *z != std::floor(*z)) return {NAN, NAN};
    double latitude = 0, longitude = 0;
    GeographicLib::TransverseMercatorExact::UTM().Reverse(*z * 6 - 183, *x - 500000, *y, latitude, longitude);
    return {latitude, std::remainder(longitude, 360.0)};
}

// ---- The outputs compared with the oracle.

// What is wrong with an output text against the oracle's value: the form of
// its parts, a value off the globe or beyond the tolerance.
QString ReadOut(const QString& written, int notation, bool letters, const char* hemispheres, double want,
                double tolerance) {
    QStringList words = QString(written).replace(QRegularExpression("[\u00B0'\"]"), " ").split(' ', Qt::SkipEmptyParts);
    const bool lettered = !words.isEmpty() && words[0].size() == 1 && QLatin1String(hemispheres).contains(words[0]);
    if (letters != lettered) return QStringLiteral("a hemisphere letter against Use Direction");
    const double sign = letters && words.takeFirst() == QChar(hemispheres[0]) ? -1 : 1;
    if (words.size() != 3 - notation) return QStringLiteral("not one word per part");
    double value = 0, scale = 1;
    for (qsizetype i = 0; i < words.size(); ++i, scale *= 60) {
        const std::optional<double> part = Plain(words[i]);
        if (!part || (i > 0 && *part >= 60)) return QStringLiteral("a part is no number or not below 60");
        value += std::fabs(*part) / scale;
    }
    value *= words[0].startsWith('-') ? -sign : sign;
    if (std::fabs(value) > (hemispheres[0] == 'W' ? 180 : 90)) return written + " is off the globe";
    return std::fabs(value - want) > tolerance ? QStringLiteral("expected %1").arg(want, 0, 'g', 17) : QString();
}

QString CheckUtmOut(const ConverterForm& form, const Expected& expected, bool fromUtm) {
    const bool said = FindControl(form, QStringLiteral("lblUtmError"))->isVisible();
    const QString zoneOut = Read(form, "txtZoneOut").toString(), eastOut = Read(form, "txtEastOut").toString();
    const std::optional<double> easting = Plain(eastOut), northing = Plain(Read(form, "txtNorthOut").toString());
    if (!expected.first || !expected.second)
        return said && eastOut.isEmpty() && zoneOut.isEmpty() ? QString() : QStringLiteral("UTM left after a gap");
    if (said || !easting || !northing) return QStringLiteral("a UTM result with a message or no numbers");
    const double latitude = *expected.first, longitude = *expected.second;
    // At a zone's edge and beyond the bands the oracle cannot tell.
    if (std::isnan(latitude + longitude) || std::fabs(latitude) > 84 || std::fabs(std::remainder(longitude / 6, 1.0)) < 1e-6)
        return QString();
    const int zone = std::min(60, static_cast<int>(std::floor((longitude + 180) / 6)) + 1);
    double x = 0, y = 0;
    GeographicLib::TransverseMercatorExact::UTM().Forward(6 * zone - 183, latitude, longitude, x, y);
    // Whole metres and the series' 0.15 m at a zone's edge; from UTM input,
    // the metre the inverse may be off as well.
    const bool right = zoneOut.startsWith(QStringLiteral("%1 ").arg(zone)) &&
                       std::hypot(*easting - 500000 - x, *northing - y) <= (fromUtm ? 2.0 : 0.9);
    return right ? QString() : QStringLiteral("UTM %1 %2 %3, expected zone %4 %5 %6").arg(*easting).arg(*northing)
                                   .arg(zoneOut).arg(zone).arg(x + 500000).arg(y);
}

// Only the coordinates whose outputs were recomputed are checked: emptying
// one coordinate's box empties its output and leaves the other as it was.
QString CheckOutputs(const ConverterForm& form, const bool recomputed[2]) {
    const int input = Read(form, "cmbInput", "currentIndex").toInt();
    const int notation = Read(form, "cmbOutput", "currentIndex").toInt();
    const bool fromUtm = input == 3;
    const Expected expected = Oracle(form, input);
    if (notation == 3) return CheckUtmOut(form, expected, fromUtm);
    // Half a unit of the last written place; from UTM input a metre more,
    // which in longitude widens towards the poles.
    const double written = notation == 0 ? 0.0005 / 3600 : notation == 1 ? 0.000005 / 60 : 5e-8;
    const double north = written + (fromUtm ? kMetre : 1e-9);
    const double cosine = std::max(std::cos(expected.first.value_or(0) * M_PI / 180), 1e-9);
    const double east = fromUtm ? written + kMetre / cosine : north;
    for (const bool longitude : {false, true}) {
        const QString box = longitude ? "txtLonOut" : "txtLatOut", text = Read(form, box).toString();
        const Coordinate want = longitude ? expected.second : expected.first;
        const QString wrong = !want ? (text.isEmpty() ? QString() : QStringLiteral("an absent coordinate is written"))
                                    : ReadOut(text, notation, Read(form, "chkDirection", "checked").toBool(),
                                              longitude ? "WE" : "SN", *want, longitude ? east : north);
        if (recomputed[longitude] && !wrong.isEmpty()) return box + " " + text + ": " + wrong;
    }
    return QString();
}

// ---- One step and its invariants.

QString Step(ConverterForm& form, Driver& driver, const QString& line, int& checked) {
    const QString verb = line.section(' ', 0, 0), name = line.section(' ', 1, 1);
    // Typing first leaves the last box, which recomputes from the boxes as
    // they stand; that is checked before the typed text lands.
    const QWidget* typed = verb == QLatin1String("type") ? FindControl(form, name) : nullptr;
    if (typed && typed->isVisible() && QApplication::focusWidget() != typed)
        if (const QString wrong = Step(form, driver, "focus " + name, checked); !wrong.isEmpty()) return wrong;
    const auto outputs = [&] {
        return QStringList{Read(form, "txtLatOut").toString(), Read(form, "txtLonOut").toString(),
                           Read(form, "txtEastOut").toString() + Read(form, "txtNorthOut").toString()};
    };
    const QStringList before = outputs();
    QString problem;
    if (!driver.Run(line, problem)) return QString();
    const QStringList& titles = driver.messageTitles();
    for (qsizetype i = 0; i < titles.size(); ++i)
        if (const QString text = driver.messageTexts().at(i).toString();
            titles[i] != QLatin1String("Input Error") || !text.startsWith("Error: ") || !text.endsWith('.'))
            return QStringLiteral("foreign message: %1 / %2").arg(titles[i], text);
    for (const auto& [frame, count] : {std::pair{"frmIn", 4}, std::pair{"frmOut", 2}}) {
        int shown = 0;
        for (int i = 0; i < count; ++i) shown += FindControl(form, QString("%1(%2)").arg(frame).arg(i))->isVisible();
        if (shown != 1) return QStringLiteral("frames: %1 of %2 shown").arg(shown).arg(frame);
    }
    // Outputs are checked when recomputed: by a command that always does (a
    // click, bar Reset, or a pick that changes a notation) or by leaving a box.
    const QStringList after = outputs();
    // A pick of the input notation recomputes what it changes.
    const bool command = (verb == QLatin1String("click") && name != QLatin1String("btnReset")) ||
                         (verb == QLatin1String("pick") && name == QLatin1String("cmbOutput"));
    if (!titles.isEmpty() || typed || (!command && before == after)) return QString();
    ++checked;
    const bool recomputed[] = {command || before[0] != after[0], command || before[1] != after[1]};
    const QString wrong = CheckOutputs(form, recomputed);
    return wrong.isEmpty() ? QString() : QStringLiteral("outputs disagree: ") + wrong;
}

// ---- Random actions.

QString RandomText(std::mt19937_64& random, const QString& box) {
    // Anything a person could type or paste; Tab and line breaks are actions
    // of their own, not characters of a line.
    static const QStringList pieces = {"0", "9", "60", "90", "180", "-", "+", ".", "e-", "N", "x", " ", "\u00B0", "'",
                                       ",", "\u00E9", "\uFF11", "\U0001F600", "\x01", "\x7F", "1e308", "1e-400", "nan"};
    if (random() % 100 < 70 && box.endsWith(QLatin1String("(0)")))
        return QStringList{"N", "S", "E", "W", "s", "w", ""}.at(random() % 7);
    // Mostly a number within the box's bounds, with up to six decimals.
    const bool degrees = box.endsWith(QLatin1String("(1)"));
    const double highest = box.contains("East") ? 834000 : box.contains("North") ? 1e7 : !degrees ? 60
                           : box.contains("Lat") ? 90 : 180;
    const bool both = degrees || box.contains("North");
    const double lowest = box.contains("East") ? 160000 : box.contains("Zone") ? 1 : both ? -highest : 0;
    const double value = std::uniform_real_distribution<double>(lowest, highest)(random);
    if (random() % 100 < 70) return QString::number(value, 'f', box.contains("Zone") ? 0 : int(random() % 7));
    QString text;
    for (int count = random() % 50 == 0 ? 200 : static_cast<int>(random() % 6); count > 0; --count)
        text += pieces.at(random() % pieces.size());
    return text;
}

QString RandomLine(std::mt19937_64& random, const ConverterForm& form) {
    const int roll = static_cast<int>(random() % 100);
    static const char* const buttons[] = {"btnConvert", "btnReset", "chkDirection", "chkUnits"};
    // A refused box keeps the focus: mostly mend it, as a person would.
    const QWidget* focus = QApplication::focusWidget();
    if (focus && roll < 40 && qobject_cast<const QLineEdit*>(focus) && focus->objectName().contains("In"))
        return QStringLiteral("type %1 %2").arg(focus->objectName(), RandomText(random, focus->objectName()));
    if (roll < 13) return roll < 8 ? QStringLiteral("tab") : QStringLiteral("backtab");
    if (roll < 28) return QStringLiteral("click ") + QLatin1String(buttons[random() % 4]);
    if (roll < 36) return QStringLiteral("pick %1 %2").arg(random() % 2 ? "cmbInput" : "cmbOutput").arg(random() % 4);
    QStringList boxes;
    for (const QWidget* control : form.controls())
        if (qobject_cast<const QLineEdit*>(control) && control->isVisible()) boxes << control->objectName();
    const QString box = boxes.at(static_cast<qsizetype>(random() % boxes.size()));
    if (roll < 42 || !box.contains(QLatin1String("In"))) return QStringLiteral("focus ") + box;
    return QStringLiteral("type %1 %2").arg(box, RandomText(random, box));
}

// ---- Playing and replaying.

// Plays the lines on a fresh window, or random ones when `random` is given,
// until one fails; then the lines end with the failing one. `checked` counts
// the steps whose outputs were compared with the oracle.
QString Play(QStringList& lines, int& checked, std::mt19937_64* random = nullptr, qint64 steps = 0) {
    ConverterForm form;
    form.show();
    static_cast<void>(QTest::qWaitForWindowActive(&form, 2000));
    Driver driver(form);
    driver.setQuiet(true);
    QString failure;
    for (qsizetype i = 0; failure.isEmpty() && (random ? i < steps : i < lines.size()); ++i) {
        if (random) lines << RandomLine(*random, form);
        failure = Step(form, driver, lines[i], checked);
        if (!failure.isEmpty()) lines.resize(i + 1);
    }
    form.close();
    return failure;
}

}  // namespace

int Walk(quint64 seed, qint64 steps) {
    // The offscreen platform's notes on what it cannot do, once per message box.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith("This plugin does not support")) qt_message_output(type, context, message);
    });
    std::mt19937_64 random(seed);
    QStringList lines;
    int checked = 0;
    const QString failure = Play(lines, checked, &random, steps);
    Print({{"walk", QJsonObject{{"seed", QString::number(seed)}, {"steps", lines.size()}, {"checked", checked}}}});
    if (failure.isEmpty()) return 0;
    QFile out(QStringLiteral("walk-failure-%1.txt").arg(seed));
    if (out.open(QIODevice::WriteOnly | QIODevice::Text)) out.write((lines.join('\n') + '\n').toUtf8());
    Print({{"fail", QJsonObject{{"step", lines.size()}, {"what", failure}, {"replay", out.fileName()}}}});
    return 1;
}

int CheckScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return 2;
    QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    int checked = 0;
    const QString failure = Play(lines, checked);
    if (failure.isEmpty()) return 0;
    Print({{"fail", QJsonObject{{"line", lines.size()}, {"what", failure}}}});
    return 1;
}

}  // namespace quillet
