// tunola-make-demo: the demo music folder for a fresh machine, and its lyrics on a service.
//
//   tunola-make-demo MUSIC_DIR                 writes a few short tagged tracks
//   tunola-make-demo --upload HOST:PORT        uploads their lyrics to a running service
//
// Tracks are generated tones (WAV; MP3 as well when lame is installed) with Chinese and Latin
// titles; the lyrics go to the service the way the player uploads them (GBK form body), so the
// player's own lyric download is what shows them.

#include "ShareLinks.h"
#include "TextCodec.h"

#include <httplib.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <string>
#include <vector>

namespace {

struct TDemoTrack {
    const char* File;
    const char* Title;
    const char* Artist;
    double Hz;
    const char* Lyric;
};

const TDemoTrack kTracks[] = {
    {"晨光.wav", "晨光", "听风乐队", 440,
     "[ti:晨光]\n[ar:听风乐队]\n[00:00.50]清晨的第一缕光\n[00:04.00]照在窗前的书桌上\n"
     "[00:08.00]风从远方吹来\n[00:12.00]带着海的声音\n[00:16.00]我们一起唱\n"},
    {"夜空.wav", "夜空", "林小雨", 523.25,
     "[ti:夜空]\n[ar:林小雨]\n[00:00.50]抬头看那片夜空\n[00:04.00]星星一颗一颗亮起\n"
     "[00:08.00]你在远方是否也看见\n[00:12.00]同一片温柔的光\n"},
    {"River Song.wav", "River Song", "The Quiet Hours", 392,
     "[ti:River Song]\n[ar:The Quiet Hours]\n[00:00.50]Down by the river in the morning\n"
     "[00:04.00]Water singing over stone\n[00:08.00]Every current finds the sea\n"
     "[00:12.00]Every song will find its home\n"},
    {"Blue Window.mp3", "Blue Window", "Mira Chen", 349.23,
     "[ti:Blue Window]\n[ar:Mira Chen]\n[00:00.50]Rain on a blue window\n"
     "[00:04.00]Light on the floor\n[00:08.00]Humming a tune that I\n"
     "[00:12.00]Heard here before\n"},
};

bool WriteTone(const std::filesystem::path& out, double hz, double seconds) {
    const int rate = 22050;
    const auto frames = static_cast<uint32_t>(seconds * rate);
    std::ofstream f(out, std::ios::binary | std::ios::trunc);
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            f.put(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    f.write("RIFF", 4);
    put(36 + frames * 2, 4);
    f.write("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(rate, 4);
    put(rate * 2, 4);
    put(2, 2);
    put(16, 2);
    f.write("data", 4);
    put(frames * 2, 4);
    for (uint32_t i = 0; i < frames; ++i) {
        // A soft tone with a slow swell, so the demo is pleasant to leave playing.
        const double t = static_cast<double>(i) / rate;
        const double env = 0.25 * (0.6 + 0.4 * std::sin(2 * std::numbers::pi * 0.25 * t));
        const double v = env * std::sin(2 * std::numbers::pi * hz * t);
        put(static_cast<uint16_t>(static_cast<int16_t>(std::lrint(v * 32767.0))), 2);
    }
    return static_cast<bool>(f);
}

bool Tag(const std::filesystem::path& file, const TDemoTrack& t) {
    TagLib::FileRef ref(file.c_str());
    if (ref.isNull() || !ref.tag())
        return false;
    ref.tag()->setTitle(TagLib::String(t.Title, TagLib::String::UTF8));
    ref.tag()->setArtist(TagLib::String(t.Artist, TagLib::String::UTF8));
    ref.tag()->setAlbum(TagLib::String("听风演示", TagLib::String::UTF8));
    return ref.save();
}

int MakeFolder(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir);
    for (const TDemoTrack& t : kTracks) {
        const std::filesystem::path out = dir / t.File;
        if (out.extension() == ".mp3") {
            const std::filesystem::path wav = dir / ".tmp-demo.wav";
            if (!WriteTone(wav, t.Hz, 30))
                return 1;
            const std::string cmd = "lame --quiet -b 64 '" + wav.string() + "' '" +
                                    out.string() + "' 2>/dev/null";
            const bool ok = std::system(cmd.c_str()) == 0;
            std::filesystem::remove(wav);
            if (!ok)
                continue; // no encoder: the WAV tracks are enough
        } else if (!WriteTone(out, t.Hz, 30)) {
            return 1;
        }
        if (!Tag(out, t)) {
            std::fprintf(stderr, "tunola-make-demo: cannot tag %s\n", out.c_str());
            return 1;
        }
    }
    std::printf("%s\n", dir.c_str());
    return 0;
}

std::string Enc(const std::string& utf8) {
    return tunola::SharePercentEncode(tunola::Utf8ToGb18030(utf8));
}

int Upload(const std::string& hostPort) {
    const size_t colon = hostPort.rfind(':');
    const std::string host = hostPort.substr(0, colon);
    const int port = colon == std::string::npos ? 80 : std::atoi(hostPort.c_str() + colon + 1);
    httplib::Client client(host, port);
    client.set_connection_timeout(5, 0);
    client.set_read_timeout(10, 0);
    for (const TDemoTrack& t : kTracks) {
        std::string lyric = t.Lyric;
        // Lyric files end their lines in CR LF, as the player uploads them.
        for (size_t at = lyric.find('\n'); at != std::string::npos; at = lyric.find('\n', at + 2))
            lyric.insert(at, "\r");
        const std::string body =
            "ltitle=" + Enc(t.Title) + "&lsinger=" + Enc(t.Artist) + "&llrc=" + Enc(lyric);
        auto r = client.Post("/lrcpost.asp", body, "application/x-www-form-urlencoded");
        if (!r || r->status != 200) {
            std::fprintf(stderr, "tunola-make-demo: upload of %s failed\n", t.Title);
            return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--upload")
        return Upload(argv[2]);
    if (argc == 2 && argv[1][0] != '-')
        return MakeFolder(argv[1]);
    std::fprintf(stderr, "usage: %s MUSIC_DIR | --upload HOST:PORT\n", argv[0]);
    return 2;
}
