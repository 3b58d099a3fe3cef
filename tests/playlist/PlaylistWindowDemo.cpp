// Shows the skinned playlist window with twenty entries, to look at it:
//   playlist_window_demo [skin folder] [seconds before quitting, 0 = stay] [playing row]
// The list lives in a temporary file; nothing of the user's is touched.

#include "PlaylistSkin.h"
#include "TunPlayList.h"

#include <PlaylistStore.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QTimer>

namespace {

struct DemoHost : tunola::IPlaylistHost {
    void PlayEntry(int) override {}
    void StopPlayback() override {}
    void SetListButtonChecked(bool) override {}
};

const char* const kTracks[][3] = {
    {"晚风里的信", "林间小队", "252"},
    {"Morning Tide", "The Harbour Lights", "227"},
    {"山海之间", "青禾", "303"},
    {"纸飞机", "陈小溪", "201"},
    {"Neon Rain (Live)", "Echo Lane", "298"},
    {"城南旧事", "白鹭乐团", "270"},
    {"Paper Moon", "Ivy & the Rivers", "189"},
    {"夏夜蝉鸣", "沈一", "284"},
    {"A Very Long Title That Does Not Fit Into One Row Of The Playlist", "Somebody", "3725"},
    {"雨后", "", "96"},
    {"Lighthouse", "North Sea Choir", "241"},
    {"归途", "何远", "317"},
    {"Static Bloom", "Parallel Days", "205"},
    {"月光小夜曲", "林间小队", "233"},
    {"Cold Coffee", "Maple Street", "198"},
    {"远方的灯", "青禾", "264"},
    {"Tin Soldier", "The Harbour Lights", "176"},
    {"风筝", "陈小溪", "222"},
    {"Slow Orbit", "Echo Lane", "351"},
    {"再见，夏天", "白鹭乐团", "289"},
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString skinDir = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                     : QStringLiteral(TUNOLA_TEST_SOURCE_DIR "/data/skin/Default");
    const int seconds = argc > 2 ? std::atoi(argv[2]) : 0;
    const int playing = argc > 3 ? std::atoi(argv[3]) : 2;

    QTemporaryDir dir;
    tunola::TAppState state;
    state.ProgramDir = dir.path().toStdString() + "/";
    state.PlaylistFile = state.ProgramDir + "Default.pls";
    {
        tunola::TZuPlaylistModel model;
        for (const auto& track : kTracks) {
            tunola::TZuPlaylistItem entry;
            entry.SetTitle(track[0]);
            entry.SetArtist(track[1]);
            entry.SetCaption(tunola::MakeCaption(track[0], track[1]));
            entry.SetFileName(std::string("/music/") + track[0] + ".mp3");
            entry.SetLongTime(std::atof(track[2]) / 86400.0);
            model.Items().Add(std::move(entry));
        }
        tunola::SaveList(model.Items(), state.PlaylistFile);
    }

    DemoHost host;
    tunola::TTunPlayList window(state, nullptr, host);
    tunola::TZuSkin skin;
    tunola::RegisterPlaylistSkin(skin, window);
    skin.LoadSkin((skinDir + QStringLiteral("/skin.xml")).toStdString());
    window.lv_list->Items().GetItem(4)->SetSelected(true);
    window.show();
    window.lv_list->SetCurrentItem(playing);
    window.move(40, 40);
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, &app, &QApplication::quit);
    return app.exec();
}
