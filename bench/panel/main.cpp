// Port panel build benchmark: builds the panel of a shown main window over and
// over, alternating the two module modes (6 and 5 cards), and prints the
// median time of one build and the resident memory along the way. Targets: a
// six-card build within 10 ms (median), and resident memory flat, within
// 512 KiB between build 100 and the last (bench/panel/compare.sh runs an older
// revision's benchmark beside this one).
#include "mainwidget.h"
#include "portpanel.h"
#include "startup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>

#include <malloc.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace
{
long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QList<QByteArray> lines = status.readAll().split('\n');
    for (const QByteArray &line : lines) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    }
    return -1;
}

// Bytes the program holds on the heap: growth here is live data, growth of
// VmRSS alone is the allocator keeping freed pages.
long heapInUseKiB()
{
    return long(mallinfo2().uordblks / 1024);
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}
} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // Drawing set up as the program's start-up does.
    disablePixmapCache();
    const int builds = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;

    MainWidget window;
    window.show();
    QCoreApplication::processEvents();
    auto *panel = window.findChild<PortPanel *>(QStringLiteral("portPanel"));
    if (!panel) {
        std::fprintf(stderr, "the window has no port panel\n");
        return 1;
    }

    const long before = residentKiB();
    std::vector<double> sixCards;
    std::vector<double> fiveCards;
    std::vector<double> settled;
    long afterFirst = 0;
    // Caches that fill once (fonts, glyphs, style rules) are full by then.
    const int settledBuild = std::min(100, builds);
    long afterSettled = 0;
    long heapSettled = 0;
    QElapsedTimer timer;
    for (int i = 0; i < builds; ++i) {
        const int mode = i % 2 == 0 ? 1 : 0;
        timer.start();
        panel->rebuild(mode == 0 ? ModuleModel::Tovrin : ModuleModel::R7);
        const double built = timer.nsecsElapsed() / 1e6;
        // Let the window lay out and paint the new cards, as the event loop would.
        QCoreApplication::processEvents();
        settled.push_back(timer.nsecsElapsed() / 1e6);
        (mode == 1 ? sixCards : fiveCards).push_back(built);
        if (i == 0)
            afterFirst = residentKiB();
        if (i + 1 == settledBuild) {
            afterSettled = residentKiB();
            heapSettled = heapInUseKiB();
        }
        if ((i + 1) % std::max(1, builds / 10) == 0)
            std::printf("  after %5d builds: VmRSS %ld KiB, heap in use %ld KiB\n", i + 1,
                        residentKiB(), heapInUseKiB());
    }
    const long after = residentKiB();

    std::printf("port panel builds:              %d (alternating 6 and 5 cards)\n", builds);
    std::printf("median build of 6 cards:        %.3f ms (target <= 10 ms)\n", median(sixCards));
    std::printf("median build of 5 cards:        %.3f ms\n", median(fiveCards));
    std::printf("median build + event handling:  %.3f ms\n", median(settled));
    std::printf("VmRSS before the first build:   %ld KiB\n", before);
    std::printf("VmRSS after the first build:    %ld KiB\n", afterFirst);
    std::printf("VmRSS after build %d:           %ld KiB\n", settledBuild, afterSettled);
    std::printf("VmRSS after the last build:     %ld KiB (%+ld KiB since the first build)\n", after,
                after - afterFirst);
    std::printf("VmRSS growth from build %d:     %+ld KiB (target within 512 KiB)\n", settledBuild,
                after - afterSettled);
    std::printf("heap in use, growth from build %d: %+ld KiB\n", settledBuild,
                heapInUseKiB() - heapSettled);
    return 0;
}
