// What a person feels of the window: the time from process start to the first
// painted frame and the peak memory, against a bare Qt Widgets window of the
// same size; and the delay from leaving a box to the end of the recomputation
// it triggers.
//
//   window-bench startup [RUNS]   alternates RUNS start-ups of each window on
//                                 the current platform (QT_QPA_PLATFORM)
//   window-bench latency [MOVES]  times MOVES focus moves in the real window
//   window-bench panel [RUNS]     times the notations panel's first opening, RUNS times
//   window-bench probe quillet|bare|text   one start-up; used by `startup`
#include "app/application.h"
#include "app/converter_form.h"
#include "app/field_box.h"
#include "app/form_layout.h"
#include "app/form_widgets.h"
#include "bench/report.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace {

std::int64_t MonotonicNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
}

// Reports the moment the first frame has been painted and flushed: the paint
// event of the window is followed, in the same pass, by its children's and
// the flush to the screen, so the first return to the event loop after it
// is the frame's end.
class FirstFrame : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] {
                std::printf("%lld\n", static_cast<long long>(MonotonicNs()));
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

int Probe(const std::string& which) {
    int argc = 1;
    char name[] = "window-bench";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    FirstFrame firstFrame;
    if (which == "quillet") {
        quillet::ConfigureApplication(application);
        auto* form = new quillet::ConverterForm;
        form->installEventFilter(&firstFrame);
        form->show();
    } else {
        auto* window = new QWidget;
        window->setFixedSize(quillet::TwipsToPixels(quillet::kWindowWidthTwips),
                             quillet::TwipsToPixels(quillet::kWindowHeightTwips));
        // The floor of any window with words in it: one line in our font,
        // which brings in fontconfig, FreeType and HarfBuzz.
        if (which == "text") {
            auto* label = new QLabel(QStringLiteral("GPS Quillet - Coordinate Converter"), window);
            label->setFont(quillet::WindowFont());
            label->move(8, 8);
        }
        window->installEventFilter(&firstFrame);
        window->show();
    }
    return QApplication::exec();
}

struct StartUp {
    double milliseconds = 0;
    double peakMegabytes = 0;
};

// Spawns a probe and waits for it: the time from just before the spawn to
// the frame it reports, and its peak resident memory.
StartUp RunProbe(const char* self, const char* which) {
    int out[2];
    if (pipe(out) != 0) std::exit(2);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    char probe[] = "probe";
    char* argv[] = {const_cast<char*>(self), probe, const_cast<char*>(which), nullptr};
    // The program itself, wherever it was started from.
    const char* path = "/proc/self/exe";
    const std::int64_t start = MonotonicNs();
    pid_t child = 0;
    if (posix_spawn(&child, path, &actions, nullptr, argv, environ) != 0) std::exit(2);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char text[64] = {};
    std::size_t length = 0;
    for (ssize_t got = 0;
         length < sizeof text - 1 && (got = read(out[0], text + length, sizeof text - 1 - length)) > 0;)
        length += std::size_t(got);
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || length == 0) {
        std::fprintf(stderr, "the %s probe failed\n", which);
        std::exit(2);
    }
    return {double(std::strtoll(text, nullptr, 10) - start) / 1e6, double(usage.ru_maxrss) / 1024};
}

int StartUps(const char* self, int runs) {
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    std::printf("== Start-up to first frame, platform %s, %d runs of each, alternating ==\n",
                platform ? platform : "(default)", runs);
    const char* const kinds[] = {"quillet", "bare", "text"};
    for (const char* kind : kinds) RunProbe(self, kind);  // warms the page and font caches for all
    // Ratios: ours to the bare window, ours to the window with text, and
    // that window to the bare one (the cost of showing any words at all).
    std::vector<double> time[3], memory[3], timeRatio[3], memoryRatio[3];
    for (int i = 0; i < runs; ++i) {
        // Each round starts with another kind: a drift of the machine's load
        // falls on all of them alike. Ratios are taken within a round.
        StartUp round[3];
        for (int k = 0; k < 3; ++k) {
            const int kind = (i + k) % 3;
            round[kind] = RunProbe(self, kinds[kind]);
            time[kind].push_back(round[kind].milliseconds);
            memory[kind].push_back(round[kind].peakMegabytes);
        }
        const int pairs[3][2] = {{0, 1}, {0, 2}, {2, 1}};
        for (int p = 0; p < 3; ++p) {
            timeRatio[p].push_back(round[pairs[p][0]].milliseconds / round[pairs[p][1]].milliseconds);
            memoryRatio[p].push_back(round[pairs[p][0]].peakMegabytes / round[pairs[p][1]].peakMegabytes);
        }
    }
    std::printf("  %-34s %10s %10s\n", "median of the runs", "first frame", "peak RSS");
    const char* const names[] = {"GPS Quillet", "bare window", "bare window + one line of text"};
    for (int k = 0; k < 3; ++k)
        std::printf("  %-34s %8.1f ms %6.1f MiB\n", names[k], bench::Median(time[k]), bench::Median(memory[k]));
    std::printf("  GPS Quillet vs bare window:          time %.3fx, memory %.3fx (medians of the round ratios)\n",
                bench::Median(timeRatio[0]), bench::Median(memoryRatio[0]));
    std::printf("  GPS Quillet vs window with one line: time %.3fx, memory %.3fx\n", bench::Median(timeRatio[1]),
                bench::Median(memoryRatio[1]));
    std::printf("  window with one line vs bare window: time %.3fx, memory %.3fx\n", bench::Median(timeRatio[2]),
                bench::Median(memoryRatio[2]));
    std::printf("== Goals ==\n");
    bench::Ceiling("start-up vs bare window", bench::Median(timeRatio[0]), 1.15);
    bench::Ceiling("peak RSS vs bare window", bench::Median(memoryRatio[0]), 1.10);
    return 0;
}

// Leaves one box for the next, as Tab does, with a new number typed in it
// each time, so that every move reads, converts and writes anew.
int Latencies(int moves) {
    int argc = 1;
    char name[] = "window-bench";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    quillet::ConfigureApplication(application);
    quillet::ConverterForm form;
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    const auto box = [&form](const char* boxName) { return form.findChild<quillet::FieldBox*>(boxName); };
    auto* output = form.findChild<QComboBox*>(QStringLiteral("cmbOutput"));
    quillet::FieldBox* degrees = box("txtDMSLatIn(1)");
    quillet::FieldBox* minutes = box("txtDMSLatIn(2)");
    box("txtDMSLonIn(1)")->setText(QStringLiteral("151"));
    box("txtDMSLonIn(2)")->setText(QStringLiteral("12"));
    box("txtDMSLonIn(3)")->setText(QStringLiteral("33.48"));
    minutes->setText(QStringLiteral("52"));
    degrees->setFocus(Qt::TabFocusReason);
    QApplication::processEvents();

    std::printf("== Handler latency: focus leaves a box, through the recomputation ==\n");
    double worstMedian = 0;
    for (const int notation : {quillet::DecimalDegrees, quillet::Utm}) {
        output->setCurrentIndex(notation);
        emit output->activated(notation);
        QApplication::processEvents();
        std::vector<double> micros;
        quillet::FieldBox* shown = box(notation == quillet::Utm ? "txtNorthOut" : "txtLatOut");
        int changes = 0;
        const QMetaObject::Connection counting =
            QObject::connect(shown, &QLineEdit::textChanged, [&changes] { ++changes; });
        for (int i = 0; i < moves; ++i) {
            quillet::FieldBox* from = i % 2 ? minutes : degrees;
            quillet::FieldBox* to = i % 2 ? degrees : minutes;
            from->setText(QString::number(i % 2 ? 10 + i % 50 : -(10 + i % 80)));
            const auto start = std::chrono::steady_clock::now();
            to->setFocus(Qt::TabFocusReason);
            const auto end = std::chrono::steady_clock::now();
            micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
            if (i % 64 == 63) QApplication::processEvents();  // lets the repaints happen, untimed
        }
        QObject::disconnect(counting);
        const QString after = shown->text();
        // Every move changes the number left behind, so each must show.
        if (changes < moves * 9 / 10) {
            std::fprintf(stderr, "the focus moves did not recompute the output\n");
            return 2;
        }
        std::sort(micros.begin(), micros.end());
        const double median = bench::Median(micros);
        worstMedian = std::max(worstMedian, median);
        std::printf("  DMS in, %s out: median %.1f us, 90th percentile %.1f us, %d moves (last output %s)\n",
                    notation == quillet::Utm ? "UTM" : "decimal degrees", median,
                    micros[std::size_t(double(micros.size()) * 0.9)], moves, qPrintable(after));
    }
    std::printf("== Goals ==\n");
    bench::Ceiling("handler latency, median (ms)", worstMedian / 1000, 1.0);
    return 0;
}

// The first opening of the notations panel in a fresh window, on a British
// position (so that PROJ opens for the grid rows), through its first paint.
int PanelOnce() {
    int argc = 1;
    char name[] = "window-bench";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    quillet::ConfigureApplication(application);
    quillet::ConverterForm form;
    form.show();
    QApplication::processEvents();
    auto* input = form.findChild<QComboBox*>(QStringLiteral("cmbInput"));
    input->setCurrentIndex(quillet::DecimalDegrees);
    emit input->activated(quillet::DecimalDegrees);
    form.findChild<quillet::FieldBox*>(QStringLiteral("txtDecLatIn(1)"))->setText(QStringLiteral("51.5007"));
    form.findChild<quillet::FieldBox*>(QStringLiteral("txtDecLonIn(1)"))->setText(QStringLiteral("-0.1246"));
    form.findChild<QPushButton*>(QStringLiteral("btnConvert"))->click();
    QApplication::processEvents();
    const auto start = std::chrono::steady_clock::now();
    form.ToggleNotations();
    form.repaint();
    const auto end = std::chrono::steady_clock::now();
    std::printf("%.3f\n", std::chrono::duration<double, std::milli>(end - start).count());
    return 0;
}

int PanelOpenings(const char* self, int runs) {
    std::printf("== First opening of the notations panel, British position, through its paint ==\n");
    std::vector<double> millis;
    for (int i = 0; i < runs; ++i) {
        const std::string command = std::string(self) + " panel-once";
        FILE* child = popen(command.c_str(), "r");
        if (!child) return 2;
        double ms = 0;
        if (std::fscanf(child, "%lf", &ms) == 1) millis.push_back(ms);
        pclose(child);
    }
    if (millis.empty()) return 2;
    std::sort(millis.begin(), millis.end());
    std::printf("  median %.1f ms, slowest %.1f ms, %zu runs\n", bench::Median(millis), millis.back(), millis.size());
    std::printf("== Goals ==\n");
    bench::Ceiling("first panel opening, median (ms)", bench::Median(millis), 100.0);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: window-bench startup [RUNS] | latency [MOVES] | panel [RUNS] | probe quillet|bare|text\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    const std::string mode = argv[1];
    if (mode == "probe" && argc == 3) return Probe(argv[2]);
    if (mode == "startup") return StartUps(argv[0], argc > 2 ? std::atoi(argv[2]) : 20);
    if (mode == "latency") return Latencies(argc > 2 ? std::atoi(argv[2]) : 2000);
    if (mode == "panel") return PanelOpenings(argv[0], argc > 2 ? std::atoi(argv[2]) : 10);
    if (mode == "panel-once") return PanelOnce();
    return Usage();
}
