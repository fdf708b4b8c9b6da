// Driver of checklist.bench.sh: a source list box of 100,000 entries in a
// window (offscreen), from filling to drawing.
//
//   checklist_bench PATHS   reads the paths (one a line), then times, in a
//                           shown window: filling the list box with them
//                           unsorted, switching the list to sorted (the
//                           collection lists' order), checking all and
//                           inverting twice, and computing the common root
//                           and the horizontal extent in the list's font
//                           as the collection lists do, with the elided
//                           entry texts drawn down to the last row. Prints
//                           "elapsed_ns N" and, as a check of the work,
//                           "entries N checked N root R extent W".

#include <QApplication>
#include <QVBoxLayout>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "shared/platform/files.h"
#include "shell/collections/common_root.h"
#include "shell/collections/text_width_meter.h"
#include "shell/ui/check_list.h"
#include "shell/ui/check_list_box.h"

using namespace korvane;

namespace {

int Run(int argc, char** argv) {
    QApplication app(argc, argv);
    std::vector<CheckEntry> entries;
    for (std::string& path : ReadTextLines(argv[1])) entries.push_back({std::move(path), false, true});
    const size_t count = entries.size();

    QWidget window;
    window.resize(800, 600);
    auto* layout = new QVBoxLayout(&window);
    auto* box = new CheckListBox(&window);
    layout->addWidget(box);
    window.show();
    QApplication::processEvents();

    CheckList& list = box->checkList();
    std::string root;
    const auto start = std::chrono::steady_clock::now();
    list.appendAll(std::move(entries));
    QApplication::processEvents();
    list.setSorted(true);
    QApplication::processEvents();
    list.checkAll(true);
    list.invertAll();
    list.invertAll();
    QApplication::processEvents();
    const TextWidthMeter meter(box->font());
    const CommonRootResult result = ComputeCommonRoot(list, [&meter](std::string_view t) { return meter(t); });
    root = result.root;
    box->setHorizontalExtent(result.widestText + kExtentMargin);
    box->setDisplayText([&list, &root](int row) { return ElidedEntryText(list.text(size_t(row)), root.size()); });
    box->scrollToBottom();
    box->viewport()->repaint();
    QApplication::processEvents();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    if (list.size() != count || box->model()->rowCount() != int(count)) {
        std::fprintf(stderr, "checklist_bench: the list holds %zu of %zu entries\n", list.size(), count);
        return 1;
    }
    std::printf("elapsed_ns %lld\n",
                static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(elapsed).count()));
    std::printf("entries %zu checked %d root %s extent %d\n", list.size(), list.checkedCount(), root.c_str(),
                box->horizontalExtent());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: checklist_bench <paths file>\n");
        return 2;
    }
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "checklist_bench: %s\n", e.what());
        return 1;
    }
}
