// The playlist view and window under load: painting the view and scrolling it by the wheel on
// lists of every length (a paint must stay under 2 ms however long the list), and adding
// 1,000 files with their lengths and tags through the playlist window (one save included).
//
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise. A paint is a
// synchronous repaint() of the whole view as the playlist window shows it (444 x 118, the
// Default skin's font and colours), with a current row and a selected row in sight.

#include "TunPlayList.h"
#include "ZuPlaylist.h"

#include <AudioLibrary.h>
#include <PlaylistStore.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWheelEvent>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>

using namespace tunola;

namespace {

void Fill(TZuPlaylistModel& model, int count) {
    TZuPlaylistItems& items = model.Items();
    items.BeginUpdate();
    for (int i = 0; i < count; ++i) {
        const bool chinese = i % 2 == 1;
        const std::string n = std::to_string(i);
        const std::string title = chinese ? "晴天的歌 第" + n + "首" : "Song number " + n;
        const std::string artist = chinese ? "周杰伦" : "The Example Band";
        TZuPlaylistItem entry;
        entry.SetTitle(title);
        entry.SetArtist(artist);
        entry.SetCaption(MakeCaption(title, artist));
        entry.SetFileName("/home/listener/Music/" + title + ".mp3");
        entry.SetLongTime((120.0 + i % 300) / 86400);
        items.Add(std::move(entry));
    }
    items.EndUpdate();
}

// A view dressed like the Default skin's, shown, scrolled to the middle of `count` entries.
std::unique_ptr<TZuPlaylist> MakeView(int count) {
    auto view = std::make_unique<TZuPlaylist>();
    view->resize(444, 118);
    view->SetScrollBarWidth(8);
    view->ScrollBar().SetSliderW(8);
    view->ScrollBar().SetSliderH(28);
    view->SetAutoHideScrollBar(true);
    view->SetTimeFormat("nn:ss");
    view->SetBackColor(0xFF101317);
    view->SetSelectionColor(0xFF163D38);
    view->SetTextColor(0xFFC4CAD4);
    view->SetTextCurrentColor(0xFF2BD4AE);
    view->SetTextSelectedColor(0xFFFFFFFF);
    QFont font(QStringLiteral("WenQuanYi Micro Hei"));
    font.setPixelSize(12);
    view->setFont(font);
    Fill(view->Model(), count);
    view->show();
    QApplication::processEvents();
    const int middle = count / 2;
    view->SetCurrentItem(middle);
    if (TZuPlaylistItem* entry = view->Items().GetItem(middle + 2))
        entry->SetSelected(true);
    QApplication::processEvents();
    return view;
}

void BM_Paint(benchmark::State& state) {
    const auto view = MakeView(int(state.range(0)));
    for (auto _ : state)
        view->repaint();
}
BENCHMARK(BM_Paint)->Arg(10)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

// One wheel notch and the paint it causes; the direction turns at either end of the list.
void BM_WheelStep(benchmark::State& state) {
    const auto view = MakeView(int(state.range(0)));
    int direction = -120;
    const QPointF at(100, 50);
    for (auto _ : state) {
        const int before = view->TopIndex();
        QWheelEvent event(at, view->mapToGlobal(at), {}, {0, direction}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(view.get(), &event);
        view->repaint();
        if (view->TopIndex() == before)
            direction = -direction;
    }
}
BENCHMARK(BM_WheelStep)->Arg(1000)->Arg(100000)->Unit(benchmark::kMicrosecond);

struct FakeHost : IPlaylistHost {
    void PlayEntry(int) override {}
    void StopPlayback() override {}
    void SetListButtonChecked(bool) override {}
};

void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += char(value >> (8 * i) & 0xFF);
}

// A 16-bit mono WAV of `seconds` of a quiet tone.
void WriteWav(const QString& path, double seconds) {
    const uint32_t rate = 22050;
    const uint32_t frames = uint32_t(seconds * rate);
    std::string bytes = "RIFF";
    Put(bytes, 36 + frames * 2, 4);
    bytes += "WAVEfmt ";
    Put(bytes, 16, 4);
    Put(bytes, 1, 2);
    Put(bytes, 1, 2);
    Put(bytes, rate, 4);
    Put(bytes, rate * 2, 4);
    Put(bytes, 2, 2);
    Put(bytes, 16, 2);
    bytes += "data";
    Put(bytes, frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i)
        Put(bytes, uint32_t(int16_t(3000 * std::sin(i * 0.06))) & 0xFFFF, 2);
    std::ofstream(path.toStdString(), std::ios::binary) << bytes;
}

// 1,000 copies of one track in a fresh folder: WAV (no tags), or a tagged MP3 made by lame.
QStringList MakeFiles(const QString& folder, bool mp3) {
    const QString wav = folder + QStringLiteral("/source.wav");
    WriteWav(wav, 3);
    QString source = wav;
    if (mp3) {
        source = folder + QStringLiteral("/source.mp3");
        QProcess lame;
        lame.start(QStringLiteral("lame"),
                   {QStringLiteral("--quiet"), QStringLiteral("--tt"), QStringLiteral("晴天的歌"),
                    QStringLiteral("--ta"), QStringLiteral("The Example Band"), wav, source});
        if (!lame.waitForFinished(60000) || lame.exitCode() != 0)
            return {};
    }
    const QString suffix = mp3 ? QStringLiteral(".mp3") : QStringLiteral(".wav");
    QStringList files;
    for (int i = 0; i < 1000; ++i) {
        const QString file =
            folder + QStringLiteral("/track %1").arg(i, 4, 10, QLatin1Char('0')) + suffix;
        QFile::copy(source, file);
        files.push_back(file);
    }
    return files;
}

// Adding 1,000 files through the playlist window, as "添加音乐" does after the dialog: the
// entries go in by name, the reader threads open each file as a decode-only stream for its
// length and tags, and the list is saved once they are in. Timed until then.
void BM_AddFiles(benchmark::State& state) {
    QTemporaryDir dir;
    const QStringList files = MakeFiles(dir.path(), state.range(0) == 1);
    if (files.isEmpty()) {
        state.SkipWithError("lame is not installed");
        return;
    }
    TAppState app;
    app.ProgramDir = dir.path().toStdString() + "/";
    app.PlaylistFile = app.ProgramDir + "Default.pls";
    tunaudio::TAudioLibrary audio("");
    FakeHost host;
    TTunPlayList window(app, &audio, host);
    for (auto _ : state) {
        state.PauseTiming();
        window.Playlist().Items().ClearAll();
        state.ResumeTiming();
        window.AddPaths(files, -1);
        while (window.Filling())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (window.Playlist().Items().Count() != files.size())
            state.SkipWithError("not every file was added");
    }
    state.SetLabel(state.range(0) == 1 ? "mp3 with ID3 tags" : "wav");
    state.counters["files_per_s"] =
        benchmark::Counter(double(files.size()) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AddFiles)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
