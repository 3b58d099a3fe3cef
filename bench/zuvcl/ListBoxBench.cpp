// What the library window's result list costs with 10,000 results: a whole repaint through Qt
// (any row in view, the selected one among them), a paint in the middle of a smooth scroll, and
// filling the list one result at a time as the search does.

#include "ZuListControl.h"

#include <QApplication>
#include <QFont>

#include <benchmark/benchmark.h>

namespace tunola {
namespace {

constexpr int kResults = 10000;

QString Result(int i) {
    return QStringLiteral(" %1. Title of song %2 - Artist %3").arg(i + 1, 3).arg(i + 1).arg(i % 97);
}

// As the library window makes it: 22-pixel rows, flat, single selection, Tahoma 9 point.
struct ResultList {
    ResultList() {
        list.SetAutoItemHeight(false);
        list.SetItemHeight(22);
        list.setFont(QFont(QStringLiteral("Tahoma"), 9));
        list.resize(300, 400);
        for (int i = 0; i < kResults; ++i)
            list.Items().Add(Result(i));
        list.show();
        QApplication::processEvents();
    }
    TZuListBox list;
};

void ListBoxRepaint10k(benchmark::State& state) {
    ResultList r;
    r.list.SetTopIndex(4990);
    r.list.SetItemIndex(5000);
    r.list.FinishScrolling();
    for (auto _ : state)
        r.list.repaint();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ListBoxRepaint10k);

// One frame of a smooth scroll: the rows come from two views at a pixel offset.
void ListBoxScrollFrame10k(benchmark::State& state) {
    ResultList r;
    r.list.SetTopIndex(4990);
    for (auto _ : state) {
        state.PauseTiming();
        r.list.SetItemIndex(r.list.TopIndex() > 5000 ? 4000 : 6000); // starts an animation
        state.ResumeTiming();
        r.list.repaint();
        state.PauseTiming();
        r.list.FinishScrolling();
        state.ResumeTiming();
    }
}
BENCHMARK(ListBoxScrollFrame10k);

void ListBoxFill10k(benchmark::State& state) {
    ResultList r;
    for (auto _ : state) {
        r.list.Items().Clear();
        for (int i = 0; i < kResults; ++i)
            r.list.Items().Add(Result(i));
        QApplication::processEvents(); // the one repaint the adds asked for
    }
    state.SetItemsProcessed(state.iterations() * kResults);
}
BENCHMARK(ListBoxFill10k)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tunola
