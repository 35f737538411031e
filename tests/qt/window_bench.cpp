// Prints how long Refresh, Select all and No select take on a folder of
// 10,000 captures (offscreen), each with and without the repaint that follows.
// Usage: tpc_window_bench [ENTRIES]

#include "converter_dlg.h"
#include "dialog_ids.h"
#include "test_files.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 7;

struct Figures {
    double handlerMs;
    double withPaintMs;
};

Figures Median(std::vector<Figures> runs)
{
    std::sort(runs.begin(), runs.end(), [](const Figures& a, const Figures& b) { return a.handlerMs < b.handlerMs; });
    return runs[runs.size() / 2];
}

Figures TimeClick(QPushButton& button)
{
    QElapsedTimer timer;
    timer.start();
    button.click();
    const double handler = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    QApplication::processEvents();
    return {handler, static_cast<double>(timer.nsecsElapsed()) / 1e6};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const int entries = argc > 1 ? std::atoi(argv[1]) : 10000;
    QApplication application(argc, argv);

    TempDir dir;
    char name[32];
    for (int i = 0; i < entries; ++i) {
        std::snprintf(name, sizeof name, "/capture-%05d.DT", i);
        WriteFileBytes(dir.path() + name, {});
    }
    CConverterDlg dlg;
    dlg.SetStartPlace({dir.path() + "/", {}});
    dlg.Create();
    dlg.show();
    QApplication::processEvents();

    auto& refresh = *qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_REFRESH));
    auto& selectAll = *qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_SELECT_ALL));
    auto& selectNone = *qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_SELECT_NONE));
    std::vector<Figures> refreshRuns, allRuns, noneRuns;
    for (int run = 0; run < kRuns; ++run) {
        refreshRuns.push_back(TimeClick(refresh));
        allRuns.push_back(TimeClick(selectAll));
        noneRuns.push_back(TimeClick(selectNone));
    }
    if (dlg.m_lstFiles->count() != entries) {
        std::fprintf(stderr, "listed %d of %d entries\n", dlg.m_lstFiles->count(), entries);
        return 1;
    }
    std::printf("%d entries, median of %d runs (ms)   handler   with repaint\n", entries, kRuns);
    const auto print = [](const char* what, const std::vector<Figures>& runs) {
        const Figures median = Median(runs);
        std::printf("  %-12s %30.1f %14.1f\n", what, median.handlerMs, median.withPaintMs);
    };
    print("Refresh", refreshRuns);
    print("Select all", allRuns);
    print("No select", noneRuns);
    return 0;
}
