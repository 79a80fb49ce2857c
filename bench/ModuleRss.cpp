// Resident memory of the module in a host: before the first LxToolShow, with the window shown,
// after FreeForm, and after a hundred more show-and-free cycles. Prints KiB, one value a line,
// each once as the whole resident size and once as its anonymous part ("anon-" lines): the
// memory the process itself allocated, without the clean pages of the font and library files
// it maps, which the page cache holds for every process and may drop at any time.
// With --warm-fonts the host shows Chinese text of its own first, as a real host of the tool
// does, so that the first load of a CJK font is not counted as the module's.

#include "jointrix/jointrix.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <utility>

namespace {

long residentKiB()
{
    long pages = 0;
    long resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long anonymousKiB()
{
    long anonymous = 0;
    if (FILE *rollup = std::fopen("/proc/self/smaps_rollup", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, rollup)) {
            if (std::sscanf(line, "Anonymous: %ld kB", &anonymous) == 1)
                break;
        }
        std::fclose(rollup);
    }
    return anonymous;
}

struct Sample
{
    long resident = residentKiB();
    long anonymous = anonymousKiB();
};

} // namespace

int main(int argc, char **argv)
{
    const bool warmFonts = argc == 3 && !std::strcmp(argv[2], "--warm-fonts");
    if (argc != 2 && !warmFonts) {
        std::fprintf(stderr, "usage: jointrix-module-rss MODULE [--warm-fonts]\n");
        return 2;
    }
    QApplication app(argc, argv);
    void *module = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
    if (!module) {
        std::fprintf(stderr, "jointrix-module-rss: %s\n", dlerror());
        return 2;
    }
    const auto show = reinterpret_cast<JxLxToolShowFunc>(dlsym(module, "LxToolShow"));
    const auto free = reinterpret_cast<JxFreeFormFunc>(dlsym(module, "FreeForm"));
    if (!show || !free)
        return 2;

    QWidget host;
    host.resize(1023, 738);
    auto *container = new QWidget(&host);
    container->resize(host.size());
    if (warmFonts)
        new QLabel(QStringLiteral("焊缝连接计算"), &host);
    host.show();
    QCoreApplication::processEvents();

    const auto cycle = [&] {
        show(&app, &host, container);
        QCoreApplication::processEvents();
        free();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    const Sample loaded;
    show(&app, &host, container);
    QCoreApplication::processEvents();
    const Sample shown;
    free();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    const Sample freed;
    for (int i = 0; i < 100; ++i)
        cycle();
    const Sample cycled;

    const std::pair<const char *, const Sample &> samples[]
        = {{"loaded", loaded}, {"shown", shown}, {"freed", freed}, {"cycled", cycled}};
    for (const auto &[name, sample] : samples)
        std::printf("%s %ld\nanon-%s %ld\n", name, sample.resident, name, sample.anonymous);
    dlclose(module);
    return 0;
}
