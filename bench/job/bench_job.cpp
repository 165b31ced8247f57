// Whole-job timings against the device simulator on a pty: from the click on
// the open button to "read succeeded" (version query, panel rebuilt, read),
// and from OK in the confirmation dialog to "write succeeded", in both module
// modes, directly and through the flight controller, with and without the
// simulator holding each reply for its time on a 115200 baud line. Beside each
// median it prints the pure wire time of the bytes exchanged and the target:
// 1.5 times the wire time plus one panel build.
#include "simsession.h"
#include "windowlookup.h"
#include "mainwidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace
{

int g_runs = 20;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Runs the event loop until the condition holds, checking after every batch
// of events, so the time measured is not rounded up to a polling step.
bool runUntil(const std::function<bool()> &condition, int timeoutMs = 10000)
{
    QElapsedTimer clock;
    clock.start();
    QTimer wake; // makes sure WaitForMoreEvents returns now and then
    wake.start(100);
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

// Bytes of the frames the simulator logged from line `from` on, both ways.
int wireBytes(const QStringList &log, int from)
{
    static const QRegularExpression frame(QStringLiteral(" (?:rx|tx) ([0-9A-F ]+?)  "));
    int bytes = 0;
    for (int i = from; i < log.size(); ++i) {
        const QRegularExpressionMatch m = frame.match(log.at(i));
        if (m.hasMatch())
            bytes += QByteArray::fromHex(m.captured(1).toLatin1()).size();
    }
    return bytes;
}

int frameLines(const QStringList &log, int from)
{
    static const QRegularExpression frame(QStringLiteral(" (?:rx|tx) [0-9A-F]{2} "));
    int lines = 0;
    for (int i = from; i < log.size(); ++i)
        lines += log.at(i).contains(frame) ? 1 : 0;
    return lines;
}

double wireMs(int bytes)
{
    return bytes * 10 * 1000.0 / 115200;
}

struct PanelTimes {
    double build = 0; // the panel rebuild call alone
    double shown = 0; // until the event loop has laid out and painted the new cards
};

PanelTimes panelBuild(bool r7)
{
    SimSession s;
    if (!s.start(Route::Direct, {}, r7))
        qFatal("simulator or window did not start");
    std::vector<double> build, shown;
    for (int i = 0; i < g_runs; ++i) {
        QElapsedTimer t;
        t.start();
        WindowLookup::panel(s.window())->rebuild(WindowLookup::model(s.window()));
        build.push_back(t.nsecsElapsed() / 1e6);
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
        shown.push_back(t.nsecsElapsed() / 1e6);
    }
    return {median(build), median(shown)};
}

struct Figures {
    double readMs = 0;
    int readBytes = 0;
    double writeMs = 0;
    int writeBytes = 0;
};

Figures measure(Route route, bool r7, bool pacing)
{
    QStringList simArgs{QStringLiteral("--model"),
                        r7 ? QStringLiteral("r7") : QStringLiteral("tovrin")};
    if (pacing)
        simArgs << QStringLiteral("--baud-pacing");
    SimSession s;
    // Through the flight controller the program must already be in the module's mode.
    if (!s.start(route, simArgs, r7 && route != Route::Direct))
        qFatal("simulator or window did not start");
    auto *status = s.window()->findChild<QLabel *>(QStringLiteral("lblStatus"));
    const int ports = r7 ? 6 : 5;
    const int readFrames = route == Route::Direct ? 4 : 2 + 2 * ports;
    const int writeFrames = route == Route::Direct ? 2 : 2 * ports;

    std::vector<double> reads, writes;
    Figures f;
    for (int i = 0; i < g_runs; ++i) {
        status->clear();
        int from = s.simLog().size();
        QElapsedTimer t;
        t.start();
        s.clickOpen();
        if (!runUntil([&] { return status->text() == Look::readOk(); }))
            qFatal("read did not succeed: %s", qPrintable(status->text()));
        reads.push_back(t.nsecsElapsed() / 1e6);
        if (!runUntil([&] { return frameLines(s.simLog(), from) >= readFrames; }))
            qFatal("simulator log incomplete");
        f.readBytes = wireBytes(s.simLog(), from);

        status->clear();
        from = s.simLog().size();
        s.clickWrite();
        t.start();
        s.clickOk();
        if (!runUntil([&] { return status->text() == Look::writeOk(); }))
            qFatal("write did not succeed: %s", qPrintable(status->text()));
        writes.push_back(t.nsecsElapsed() / 1e6);
        if (!runUntil([&] { return frameLines(s.simLog(), from) >= writeFrames; }))
            qFatal("simulator log incomplete");
        f.writeBytes = wireBytes(s.simLog(), from);

        s.clickOpen(); // closes the link for the next round
    }
    if (qEnvironmentVariableIsSet("BENCH_JOB_VERBOSE")) {
        for (size_t i = 0; i < reads.size(); ++i)
            std::printf("    run %zu: read %.2f ms, write %.2f ms\n", i, reads[i], writes[i]);
    }
    f.readMs = median(reads);
    f.writeMs = median(writes);
    return f;
}

void printRow(const char *what, double ms, int bytes, double panelMs)
{
    const double target = 1.5 * wireMs(bytes) + panelMs;
    std::printf("  %-34s %8.2f ms   wire %6.2f ms (%3d bytes)   target %7.2f ms   %s\n", what, ms,
                wireMs(bytes), bytes, target, ms <= target ? "ok" : "MISSED");
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int runsAt = arguments.indexOf(QStringLiteral("--runs"));
    if (runsAt > 0 && runsAt + 1 < arguments.size())
        g_runs = qMax(1, arguments.at(runsAt + 1).toInt());

    const PanelTimes tovrinPanel = panelBuild(false);
    const PanelTimes r7Panel = panelBuild(true);
    const double panel[2] = {tovrinPanel.shown, r7Panel.shown};
    std::printf("Medians of %d runs, simulator on a pty\n", g_runs);
    std::printf("Panel build (rebuild call alone / until laid out and painted): Tovrin mode "
                "%.2f / %.2f ms, R7 function mode %.2f / %.2f ms\n",
                tovrinPanel.build, tovrinPanel.shown, r7Panel.build, r7Panel.shown);
    std::printf("Target: 1.5 x wire time + one panel build until painted\n");

    const struct {
        Route route;
        const char *name;
    } routes[] = {{Route::Direct, "direct"}, {Route::FlightController, "flight controller"}};
    for (const bool pacing : {false, true}) {
        std::printf("\n%s\n", pacing ? "With --baud-pacing (replies take their 115200 baud time)"
                                     : "Without pacing");
        for (const auto &route : routes) {
            for (const bool r7 : {false, true}) {
                const Figures f = measure(route.route, r7, pacing);
                const QByteArray mode = r7 ? "R7" : "Tovrin";
                printRow(QByteArray(mode + ", " + route.name + ": open to read").constData(),
                         f.readMs, f.readBytes, panel[r7 ? 1 : 0]);
                printRow(QByteArray(mode + ", " + route.name + ": OK to written").constData(),
                         f.writeMs, f.writeBytes, panel[r7 ? 1 : 0]);
            }
        }
    }
    return 0;
}
