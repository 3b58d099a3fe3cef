// The lyric display per playback tick and its redraw on a line change, one paint of the title
// marquee and of the desktop lyrics' cross-fade, and the longest stall of the event loop while
// a lyric download is pending on a slow service.

#include "CnAAFadeText.h"
#include "CnAAMarqueeText.h"
#include "EventLoopStallProbe.h"
#include "LyricLoader.h"
#include "ZuLrcShow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPixmap>

#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

namespace {

using namespace tunola;

std::string SongLyric(int lines) {
    std::string text;
    char tag[32];
    for (int i = 0; i < lines; ++i) {
        std::snprintf(tag, sizeof tag, "[%02d:%02d.00]", i * 3 / 60, i * 3 % 60);
        text += tag;
        text += "故事的小黄花 从出生那年就飘着\n";
    }
    return text;
}

void Setup(TZuLrcShow& view, int lines) {
    view.resize(444, 80);
    QFont f(QStringLiteral("WenQuanYi Micro Hei"));
    f.setPixelSize(13);
    view.SetLrcFont(f);
    view.SetLrcSpace(5);
    view.SetLrc(SongLyric(lines));
    view.SetLengthTime(lines * 3000 + 5000);
}

// A tick within one line: the frame and, when the column moved, nothing but a repaint request.
void BM_LrcRenderTick(benchmark::State& state) {
    TZuLrcShow view;
    Setup(view, 60);
    int pos = 30000;
    view.SetPosTime(pos);
    for (auto _ : state) {
        pos = pos >= 32900 ? 30001 : pos + 33;
        view.SetPosTime(pos);
    }
}
BENCHMARK(BM_LrcRenderTick);

// A tick that changes the line: the picture drawn again (the lines around the current one).
void BM_LrcRedrawOnLineChange(benchmark::State& state) {
    TZuLrcShow view;
    Setup(view, int(state.range(0)));
    int i = 0;
    for (auto _ : state) {
        i = (i + 1) % 40;
        view.SetPosTime(i * 3000 + 10);
    }
}
BENCHMARK(BM_LrcRedrawOnLineChange)->Arg(60)->Arg(5000);

void BM_MarqueePaint(benchmark::State& state) {
    TCnAAMarqueeText m;
    m.resize(420, 22);
    m.SetCaption(QStringLiteral("晴天 - 歌手 (Live at the Hall, 2003)"));
    QPixmap target(m.size());
    m.render(&target); // the caption drawn once
    for (auto _ : state) {
        m.Step();
        m.render(&target);
    }
}
BENCHMARK(BM_MarqueePaint);

void BM_FadePaint(benchmark::State& state) {
    TCnAAFadeText fade;
    fade.resize(1270, 84);
    fade.SetActive(false);
    TCnFontLabel label;
    label.Name = QStringLiteral("Title1");
    label.Font = QFont(QStringLiteral("WenQuanYi Micro Hei"));
    label.Font.setPixelSize(37);
    label.Effect.Shadow.Enabled = true;
    label.Effect.Gradual.Enabled = true;
    label.Effect.Gradual.Style = gsTopToBottom;
    fade.Fonts().push_back(label);
    const QString lines[] = {QStringLiteral("<Title1>从出生那年就飘着"),
                             QStringLiteral("<Title1>童年的荡秋千")};
    fade.SetLines({lines[0]});
    fade.SetActive(true);
    QPixmap target(fade.size());
    for (auto _ : state) {
        fade.FadeTickNow();
        if (!fade.Fading()) { // the other line, a new fade (its drawing is not the step's)
            state.PauseTiming();
            fade.SetLines({fade.CurrentText() == lines[0] ? lines[1] : lines[0]});
            state.ResumeTiming();
        }
        // What a step repaints: the part where the two lines' pictures differ.
        const QRect area = fade.FadeArea();
        fade.render(&target, area.topLeft(), QRegion(area));
    }
}
BENCHMARK(BM_FadePaint);

// A service that finds one lyric and takes `ms` to hand it over (a slow or dying server).
class TSlowService : public ILyricDown {
public:
    explicit TSlowService(int ms) : ms_(ms) {}
    void ClearResults() override {}
    void Search(std::string_view, std::string_view, std::string_view, int32_t) override {}
    int32_t GetCount() const override { return 1; }
    TLyricSearchResult GetItem(int32_t) const override { return {"晴天", "歌手", 1}; }
    std::optional<std::string> Download(int32_t) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms_));
        return std::string("[00:01.00]故事的小黄花\n");
    }

private:
    int ms_;
};

// One track start whose lyric comes from a service that answers after Arg ms, the UI thread's
// loop turning meanwhile as the player's does; longest_stall_ms is the worst lateness of a
// 5 ms timer on that loop from the start of the lookup until its result is shown.
void BM_StallWhileLyricDownloads(benchmark::State& state) {
    const int ms = int(state.range(0));
    const std::filesystem::path none = std::filesystem::temp_directory_path() / "tunola-bench-none";
    TSlowService service(ms);
    int64_t worst = 0;
    for (auto _ : state) {
        TLyricLoader loader(
            &service, [] { return true; },
            [](std::function<void()> f) {
                QMetaObject::invokeMethod(qApp, std::move(f), Qt::QueuedConnection);
            });
        TEventLoopStallProbe probe;
        probe.Start();
        bool shown = false;
        loader.Load({none / "a.mp3", "晴天", "歌手"}, none,
                    [&](const TLyricLookup&) { shown = true; });
        QElapsedTimer clock;
        clock.start();
        while (!shown && clock.elapsed() < ms + 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        probe.Stop();
        worst = std::max<int64_t>(worst, probe.WorstStallMs());
    }
    state.counters["longest_stall_ms"] = double(worst);
}
BENCHMARK(BM_StallWhileLyricDownloads)->Arg(1000)->Arg(5000)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
