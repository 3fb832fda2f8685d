// The random walk: seeded random actions on the real window (texts of every
// kind, Tab and Shift+Tab, clicks, list picks, check box toggles), with the
// window's invariants checked after each step. The outputs are checked
// against an oracle of their own: the boxes read by regular expressions and
// Qt's number reading, the UTM side by GeographicLib. A failure is shrunk to
// the shortest script that still fails, which `form-driver --check` replays.

#include "walk.h"

#include "driver.h"

#include <GeographicLib/TransverseMercator.hpp>

#include <QElapsedTimer>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QRegularExpression>
#include <QTextStream>

#include <cfloat>
#include <cmath>
#include <optional>
#include <random>

namespace quillet {

namespace {

const QStringList kBoxes = {
    "txtDMSLatIn(0)", "txtDMSLatIn(1)", "txtDMSLatIn(2)", "txtDMSLatIn(3)", "txtDMSLonIn(0)", "txtDMSLonIn(1)",
    "txtDMSLonIn(2)", "txtDMSLonIn(3)", "txtDMLatIn(0)",  "txtDMLatIn(1)",  "txtDMLatIn(2)",  "txtDMLonIn(0)",
    "txtDMLonIn(1)",  "txtDMLonIn(2)",  "txtDecLatIn(0)", "txtDecLatIn(1)", "txtDecLonIn(0)", "txtDecLonIn(1)",
    "txtEastIn",      "txtNorthIn",     "txtZoneIn",      "txtLatOut",      "txtLonOut",      "txtEastOut",
    "txtNorthOut",    "txtZoneOut"};

using Texts = QHash<QString, QString>;

Texts BoxTexts(const ConverterForm& form) {
    Texts texts;
    for (const QString& name : kBoxes) texts.insert(name, qobject_cast<QLineEdit*>(FindControl(form, name))->text());
    return texts;
}

bool Shown(const ConverterForm& form, const QString& name) {
    const QWidget* control = FindControl(form, name);
    return control->isVisible() && control->isEnabled();
}

int ListIndex(const ConverterForm& form, const char* name) {
    return qobject_cast<QComboBox*>(FindControl(form, QLatin1String(name)))->currentIndex();
}

bool Checked(const ConverterForm& form, const char* name) {
    return qobject_cast<QCheckBox*>(FindControl(form, QLatin1String(name)))->isChecked();
}

// ---- The oracle: the boxes read anew, without the program's number code.

const QRegularExpression kNumeral(QStringLiteral("([+-]?)([0-9]+\\.?[0-9]*|\\.[0-9]+)(?:[eE]([+-]?[0-9]+))?"));

// A numeral matched by kNumeral; beyond the doubles nothing, below them a zero
// of its sign.
std::optional<double> ReadNumeral(const QRegularExpressionMatch& match) {
    bool ok = false;
    const double value = match.captured(0).toDouble(&ok);
    if (ok && std::isfinite(value)) return value;
    bool small = false;
    long long exponent = match.captured(3).isEmpty() ? 0 : match.captured(3).toLongLong(&small);
    if (!match.captured(3).isEmpty() && !small) exponent = match.captured(3).startsWith(QLatin1Char('-')) ? -1000000 : 1000000;
    const QString mantissa = match.captured(2);
    const qsizetype point = mantissa.contains(QLatin1Char('.')) ? mantissa.indexOf(QLatin1Char('.')) : mantissa.size();
    static const QRegularExpression significant(QStringLiteral("[1-9]"));
    const qsizetype first = mantissa.indexOf(significant);
    const long long order = exponent + (first < point ? point - first - 1 : point - first);
    if (first >= 0 && order > 0) return std::nullopt;
    return std::copysign(0.0, match.captured(1) == QLatin1String("-") ? -1 : 1);
}

// The longest leading number, blanks anywhere ignored; beyond the doubles
// the largest one of its sign.
double Leading(QString text) {
    static const QRegularExpression blanks(QStringLiteral("[ \\t\\r\\n]"));
    const QRegularExpressionMatch match =
        kNumeral.match(text.remove(blanks), 0, QRegularExpression::NormalMatch, QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch()) return 0;
    const std::optional<double> value = ReadNumeral(match);
    return value ? *value : std::copysign(DBL_MAX, match.captured(1) == QLatin1String("-") ? -1 : 1);
}

// A whole text that is a number, blanks around.
std::optional<double> Whole(const QString& text) {
    static const QRegularExpression blanksAround(QStringLiteral("^[ \\t]*(.*?)[ \\t]*$"));
    const QString inner = blanksAround.match(text).captured(1);
    const QRegularExpressionMatch match = kNumeral.match(inner, 0, QRegularExpression::NormalMatch,
                                                        QRegularExpression::AnchorAtOffsetMatchOption);
    if (!match.hasMatch() || match.capturedLength(0) != inner.size()) return std::nullopt;
    return ReadNumeral(match);
}

struct Expected {
    std::optional<double> latitude, longitude;
    bool unreadable = false;  // the program must have refused to convert
    bool trusted = true;      // UTM input away from its zone: only the form is checked
};

const char* const kPrefixes[] = {"txtDMS", "txtDM", "txtDec"};

std::optional<double> Angle(const Texts& texts, int notation, const char* coordinate, const char* negative) {
    const QString prefix = QLatin1String(kPrefixes[notation]) + QLatin1String(coordinate) + QStringLiteral("In(");
    const auto box = [&](int i) { return texts.value(prefix + QString::number(i) + QLatin1Char(')')); };
    const bool southOrWest = box(0).toUpper() == QLatin1String(negative);
    if (notation == 2) {
        if (box(1).isEmpty()) return std::nullopt;
        const std::optional<double> value = Whole(box(1));
        if (!value) throw std::invalid_argument("degrees");
        return southOrWest ? -*value : *value;
    }
    if (box(1).isEmpty() && (notation == 0 || box(2).isEmpty())) return std::nullopt;
    const double degrees = Leading(box(1));
    double magnitude = std::fabs(degrees) + Leading(box(2)) / 60;
    if (notation == 0) magnitude += Leading(box(3)) / 3600;
    return southOrWest != std::signbit(degrees) ? -magnitude : magnitude;
}

Expected Oracle(const Texts& texts, int notation) {
    Expected expected;
    if (notation == 3) {
        const QString east = texts.value("txtEastIn"), north = texts.value("txtNorthIn"), zone = texts.value("txtZoneIn");
        if (east.isEmpty() || north.isEmpty() || zone.isEmpty()) return expected;
        const std::optional<double> x = Whole(east), y = Whole(north), z = Whole(zone);
        if (!x || !y || !z || std::nearbyint(*z) < -32768 || std::nearbyint(*z) > 32767 ||
            std::fabs(std::nearbyint(*z) * 6 - 183) > 32767) {
            expected.unreadable = true;
            return expected;
        }
        const double meridian = std::nearbyint(*z) * 6 - 183;
        double latitude = 0, longitude = 0;
        GeographicLib::TransverseMercator::UTM().Reverse(meridian, *x - 500000, *y, latitude, longitude);
        expected.latitude = latitude;
        expected.longitude = meridian + std::remainder(longitude - meridian, 360.0);
        // The program's series holds only near the central meridian and away
        // from the poles: 178 km east of it at 88.9 degrees north it puts
        // the point 100 degrees of longitude off.
        expected.trusted = std::fabs(latitude) <= 84 && std::fabs(*expected.longitude - meridian) <= 3;
        return expected;
    }
    try {
        expected.latitude = Angle(texts, notation, "Lat", "S");
        expected.longitude = Angle(texts, notation, "Lon", "W");
    } catch (const std::invalid_argument&) {
        expected.unreadable = true;
    }
    return expected;
}

// ---- The outputs compared with the oracle.

QString CheckAngleOut(const QString& written, std::optional<double> expected, int notation, bool letters, bool units,
                      const char* hemispheres, bool trusted) {
    if (!expected) return written.isEmpty() ? QString() : QStringLiteral("an absent coordinate is written");
    const bool marked = written.contains(QChar(0xB0));
    if (marked != units || (!units && (written.contains(QLatin1Char('\'')) || written.contains(QLatin1Char('"')))))
        return QStringLiteral("unit marks do not follow No Units");
    QString plain = written;
    for (const QString& mark : {QString(QChar(0xB0)), QStringLiteral("'"), QStringLiteral("\"")}) plain.replace(mark, " ");
    QStringList words = plain.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const double precision = notation == 0 ? 0.0005 / 3600 : notation == 1 ? 0.000005 / 60 : 5e-8;
    const double tolerance = precision + (trusted ? 1e-9 : 0) + 1e-12 * std::fabs(*expected);
    double sign = 1;
    if (letters) {
        if (words.isEmpty() || words[0].size() != 1) return QStringLiteral("no hemisphere letter");
        const bool negative = words[0][0] == QLatin1Char(hemispheres[0]);
        if (!negative && words[0][0] != QLatin1Char(hemispheres[1])) return QStringLiteral("a wrong hemisphere letter");
        if (trusted && negative != (*expected < 0) && std::fabs(*expected) > tolerance)
            return QStringLiteral("the letter of the other hemisphere");
        sign = negative ? -1 : 1;
        words.removeFirst();
    }
    if (words.size() != 3 - notation) return QStringLiteral("not one word per part");
    std::optional<double> parts[3];
    for (qsizetype i = 0; i < words.size(); ++i)
        if (!(parts[i] = Whole(words[i])) || (i > 0 && (*parts[i] < 0 || *parts[i] >= 60)))
            return QStringLiteral("a part is no number or not below 60");
    if (words[0].startsWith(QLatin1Char('-'))) sign = -sign;
    const double value = sign * (std::fabs(*parts[0]) + parts[1].value_or(0) / 60 + parts[2].value_or(0) / 3600);
    if (trusted && std::fabs(value - *expected) > tolerance)
        return QStringLiteral("written %1, expected %2").arg(written).arg(*expected, 0, 'g', 17);
    return QString();
}

QString CheckUtmOut(const ConverterForm& form, const Texts& out, const Expected& expected) {
    const bool shown = qobject_cast<QLabel*>(FindControl(form, QStringLiteral("lblUtmError")))->isVisible();
    if (!expected.latitude || !expected.longitude) {
        const bool empty = out.value("txtEastOut").isEmpty() && out.value("txtNorthOut").isEmpty() &&
                           out.value("txtZoneOut").isEmpty();
        return empty && shown ? QString() : QStringLiteral("an incomplete position must empty UTM and say so");
    }
    if (shown) return QStringLiteral("the UTM message is shown beside a result");
    const std::optional<double> easting = Whole(out.value("txtEastOut")), northing = Whole(out.value("txtNorthOut"));
    if (!easting || !northing || *easting != std::floor(*easting) || *northing != std::floor(*northing))
        return QStringLiteral("easting and northing are not whole metres");
    const double latitude = *expected.latitude, longitude = *expected.longitude;
    const double zone = longitude == 180 ? 60 : std::floor((longitude + 180) / 6) + 1;
    const QStringList zoneWords = out.value("txtZoneOut").split(QLatin1Char(' '));
    const double edge = std::fabs(std::remainder((longitude + 180) / 6, 1.0));
    if (!expected.trusted || std::fabs(latitude) > 84 || edge < 1e-9) return QString();
    if (zoneWords.size() != 2 || zoneWords[0] != QString::number(zone))
        return QStringLiteral("zone %1, expected %2").arg(out.value("txtZoneOut")).arg(zone);
    const double band = std::remainder((latitude + 80) / 8, 1.0);
    if (latitude >= -80 && std::fabs(band) > 1e-9 &&
        zoneWords[1] != QChar("CDEFGHJKLMNPQRSTUVWX"[std::min(19, static_cast<int>(std::floor((latitude + 80) / 8)))]))
        return QStringLiteral("band %1 for latitude %2").arg(zoneWords[1]).arg(latitude);
    double x = 0, y = 0;
    GeographicLib::TransverseMercator::UTM().Forward(6 * zone - 183, latitude, longitude, x, y);
    // Whole metres, and the series' own 0.15 m at a zone edge.
    if (std::hypot(*easting - 500000 - x, *northing - y) > 0.9)
        return QStringLiteral("UTM %1 %2, expected %3 %4").arg(*easting).arg(*northing).arg(x + 500000, 0, 'f', 1).arg(y, 0, 'f', 1);
    return QString();
}

QString CheckOutputs(const ConverterForm& form, const Texts& inputs) {
    const Texts out = BoxTexts(form);
    for (const char* name : {"txtLatOut", "txtLonOut", "txtEastOut", "txtNorthOut", "txtZoneOut"})
        if (out.value(name).contains(QLatin1String("nan"), Qt::CaseInsensitive) ||
            out.value(name).contains(QLatin1String("inf"), Qt::CaseInsensitive))
            return QStringLiteral("%1 holds nan or inf").arg(name);
    const Expected expected = Oracle(inputs, ListIndex(form, "cmbInput"));
    if (expected.unreadable) return QStringLiteral("converted input that is no number, without a message");
    const int notation = ListIndex(form, "cmbOutput");
    if (notation == 3) return CheckUtmOut(form, out, expected);
    const bool letters = Checked(form, "chkDirection"), units = !Checked(form, "chkUnits");
    const QString latitude =
        CheckAngleOut(out.value("txtLatOut"), expected.latitude, notation, letters, units, "SN", expected.trusted);
    if (!latitude.isEmpty()) return QStringLiteral("txtLatOut: ") + latitude;
    const QString longitude =
        CheckAngleOut(out.value("txtLonOut"), expected.longitude, notation, letters, units, "WE", expected.trusted);
    return longitude.isEmpty() ? QString() : QStringLiteral("txtLonOut: ") + longitude;
}

// ---- One step and its invariants. A failure is "what: detail"; the part
// before the colon is what shrinking keeps failing.

QString Step(ConverterForm& form, Driver& driver, const QString& line, int& checked) {
    const Texts before = BoxTexts(form);
    const int notationBefore = ListIndex(form, "cmbInput");
    QElapsedTimer clock;
    clock.start();
    QString problem;
    if (!driver.Run(line, problem)) return QString();
    // A second for the step, plus time for each key of a long text (a loaded
    // machine under ASan needs a few milliseconds per key).
    const qint64 took = clock.elapsed();
    const qsizetype keys = line.startsWith(QLatin1String("type ")) ? line.size() : 0;
    if (took > 1000 + 10 * keys) return QStringLiteral("slow step: %1 ms").arg(took);
    const QStringList& titles = driver.messageTitles();
    if (titles.size() > 3) return QStringLiteral("message chain: %1 messages").arg(titles.size());
    for (qsizetype i = 0; i < titles.size(); ++i) {
        const QString text = driver.messageTexts().at(i).toString();
        if (titles[i] != QLatin1String("Input Error") || !text.startsWith(QLatin1String("Error: ")))
            return QStringLiteral("foreign message: %1 / %2").arg(titles[i], text);
    }
    for (const auto& [frame, count] : {std::pair{"frmIn", 4}, std::pair{"frmOut", 2}}) {
        int shown = 0;
        for (int i = 0; i < count; ++i) shown += Shown(form, QStringLiteral("%1(%2)").arg(QLatin1String(frame)).arg(i));
        if (shown != 1) return QStringLiteral("frames: %1 of %2 shown").arg(shown).arg(QLatin1String(frame));
    }
    if (!titles.isEmpty()) return QString();
    // Check the outputs when this step recomputed them: a command that always
    // does, or outputs that changed. Typing recomputes (by leaving the last
    // box) before the typed box changes, so its old text is what was read.
    const Texts after = BoxTexts(form);
    const QString verb = line.section(QLatin1Char(' '), 0, 0), name = line.section(QLatin1Char(' '), 1, 1);
    // Picking the input notation already chosen recomputes nothing.
    const bool command = (verb == QLatin1String("click") && name != QLatin1String("btnReset")) ||
                         (verb == QLatin1String("pick") &&
                          (name == QLatin1String("cmbOutput") || ListIndex(form, "cmbInput") != notationBefore));
    bool changed = false;
    for (const char* out : {"txtLatOut", "txtLonOut", "txtEastOut", "txtNorthOut", "txtZoneOut"})
        changed = changed || before.value(out) != after.value(out);
    if (!command && !changed) return QString();
    Texts read = after;
    if (verb == QLatin1String("type")) read.insert(name, before.value(name));
    ++checked;
    const QString wrong = CheckOutputs(form, read);
    return wrong.isEmpty() ? QString() : QStringLiteral("outputs disagree: ") + wrong;
}

// ---- Random actions.

QString RandomNumber(std::mt19937_64& random, double lowest, double highest) {
    const double value = std::uniform_real_distribution<double>(lowest, highest)(random);
    return QString::number(value, 'f', static_cast<int>(random() % 7));
}

QString RandomText(std::mt19937_64& random, const QString& box, bool sensible) {
    const auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    if (sensible || chance(45)) {
        const bool latitude = box.contains(QLatin1String("Lat"));
        if (box.endsWith(QLatin1String("(0)")))
            return QStringList{"N", "S", "E", "W", "n", "s", "e", "w", ""}.at(static_cast<qsizetype>(random() % 9));
        if (box.endsWith(QLatin1String("(1)"))) return latitude ? RandomNumber(random, -90, 90) : RandomNumber(random, -180, 180);
        if (box.endsWith(QLatin1String("(2)")) || box.endsWith(QLatin1String("(3)"))) return RandomNumber(random, 0, 60);
        if (box == QLatin1String("txtEastIn")) return RandomNumber(random, 160000, 834000);
        if (box == QLatin1String("txtNorthIn")) return RandomNumber(random, -10000000, 10000000);
        if (box == QLatin1String("txtZoneIn")) return QString::number(1 + random() % 60);
    }
    // Anything a person could type or paste; Tab and line breaks are actions
    // of their own, not characters of a line.
    static const QStringList pieces = {
        "0", "1", "5", "9", "60", "90", "180", "-", "+", ".", "e", "E", "e+", "e-", "N", "S", "E", "W", "n",
        "x", "Z", " ", "  ", "\u00B0", "'", "\"", ",", "\u00E9", "\uFF11", "\u0663", "\U0001F600", "\x01",
        "\x07", "\x08", "\x1B", "\x7F", "999999999", "1e308", "1e-400", "inf", "nan", "0x1A", "\u00A0"};
    const int count = chance(3) ? 40 + static_cast<int>(random() % 160) : static_cast<int>(random() % 8);
    QString text;
    for (int i = 0; i < count; ++i) text += pieces.at(static_cast<qsizetype>(random() % pieces.size()));
    return text;
}

QString RandomLine(std::mt19937_64& random, const ConverterForm& form) {
    const int roll = static_cast<int>(random() % 100);
    // A refused box keeps the focus: mostly mend it, as a person would.
    const QWidget* focus = QApplication::focusWidget();
    if (focus && kBoxes.contains(focus->objectName()) && focus->objectName().contains(QLatin1String("In")) && roll < 40)
        return QStringLiteral("type %1 %2").arg(focus->objectName(), RandomText(random, focus->objectName(), true));
    if (roll < 8) return QStringLiteral("tab");
    if (roll < 13) return QStringLiteral("backtab");
    if (roll < 28) {
        static const char* const buttons[] = {"btnConvert", "btnReset", "chkDirection", "chkUnits"};
        return QStringLiteral("click ") + QLatin1String(buttons[random() % 4]);
    }
    if (roll < 36)
        return QStringLiteral("pick %1 %2").arg(random() % 3 == 0 ? "cmbInput" : "cmbOutput").arg(random() % 4);
    QStringList visible;
    for (const QString& name : kBoxes)
        if (FindControl(form, name)->isVisible()) visible << name;
    const QString box = visible.at(static_cast<qsizetype>(random() % visible.size()));
    if (roll < 42) return QStringLiteral("focus ") + box;
    return QStringLiteral("type %1 %2").arg(box, RandomText(random, box, false));
}

// ---- Playing, replaying and shrinking.

struct Result {
    QString failure;
    qsizetype step = -1;
    int messages = 0;
    int checked = 0;  // steps whose outputs were compared with the oracle
};

// Plays the lines on a fresh window; lines that cannot be carried out (a
// control a shorter script never showed) are left out.
Result Play(const QStringList& lines) {
    ConverterForm form;
    form.show();
    static_cast<void>(QTest::qWaitForWindowActive(&form, 2000));
    Driver driver(form);
    driver.setQuiet(true);
    Result result;
    for (qsizetype i = 0; i < lines.size() && result.failure.isEmpty(); ++i) {
        result.failure = Step(form, driver, lines[i], result.checked);
        result.messages += static_cast<int>(driver.messageTitles().size());
        result.step = i;
    }
    form.close();
    return result;
}

QString Kind(const QString& failure) { return failure.section(QLatin1Char(':'), 0, 0); }

// Most failures need only the last few actions: first the shortest failing
// tail (each try is short), then runs of lines left out while the same kind
// of failure stays, for a minute at most.
QStringList Shrink(QStringList lines, const QString& kind) {
    const auto fails = [&](const QStringList& candidate, qsizetype& step) {
        const Result result = Play(candidate);
        step = result.step;
        return !result.failure.isEmpty() && Kind(result.failure) == kind;
    };
    qsizetype step = 0;
    for (qsizetype tail = 1; tail < lines.size(); tail *= 2)
        if (fails(lines.mid(lines.size() - tail), step)) {
            lines = lines.mid(lines.size() - tail);
            break;
        }
    QElapsedTimer clock;
    clock.start();
    for (qsizetype chunk = lines.size() / 2; chunk >= 1 && clock.elapsed() < 60000;) {
        bool removed = false;
        for (qsizetype start = 0; start < lines.size() && clock.elapsed() < 60000;) {
            QStringList shorter = lines;
            shorter.remove(start, std::min(chunk, lines.size() - start));
            if (fails(shorter, step)) {
                lines = shorter.mid(0, step + 1);
                removed = true;
            } else {
                start += chunk;
            }
        }
        if (!removed) chunk /= 2;
    }
    return lines;
}

}  // namespace

int Walk(quint64 seed, qint64 steps) {
    // The offscreen platform's notes on what it cannot do, once per message box.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
        if (!message.startsWith(QLatin1String("This plugin does not support")))
            qt_message_output(type, context, message);
    });
    std::mt19937_64 random(seed);
    QStringList lines;
    Result result;
    {
        ConverterForm form;
        form.show();
        static_cast<void>(QTest::qWaitForWindowActive(&form, 2000));
        Driver driver(form);
        driver.setQuiet(true);
        for (qint64 i = 0; i < steps && result.failure.isEmpty(); ++i) {
            lines << RandomLine(random, form);
            result.failure = Step(form, driver, lines.back(), result.checked);
            result.messages += static_cast<int>(driver.messageTitles().size());
        }
        form.close();
    }
    Print({{QStringLiteral("walk"), QJsonObject{{QStringLiteral("seed"), QString::number(seed)},
                                                {QStringLiteral("steps"), lines.size()},
                                                {QStringLiteral("messages"), result.messages},
                                                {QStringLiteral("outputs_checked"), result.checked}}}});
    if (result.failure.isEmpty()) return 0;
    const QStringList shortest = Shrink(lines, Kind(result.failure));
    const QString file = QStringLiteral("walk-failure-%1.txt").arg(seed);
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Text)) out.write((shortest.join(QLatin1Char('\n')) + '\n').toUtf8());
    Print({{QStringLiteral("fail"),
            QJsonObject{{QStringLiteral("seed"), QString::number(seed)}, {QStringLiteral("step"), lines.size()},
                        {QStringLiteral("what"), result.failure}, {QStringLiteral("replay"), "form-driver --check " + file},
                        {QStringLiteral("script"), QJsonArray::fromStringList(shortest)}}}});
    return 1;
}

int CheckScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        Print({{QStringLiteral("error"), QStringLiteral("cannot read %1").arg(path)}});
        return 2;
    }
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const Result result = Play(lines);
    if (result.failure.isEmpty()) return 0;
    Print({{QStringLiteral("fail"), QJsonObject{{QStringLiteral("line"), result.step + 1},
                                                {QStringLiteral("what"), result.failure}}}});
    return 1;
}

}  // namespace quillet
