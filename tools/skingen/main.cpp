// tunola_skingen: draws the skins of our own into a skin folder, reads every skin back the way
// the player does, checks it, and composes preview pictures.
//
//   tunola_skingen --skins <data/skin> [--previews <docs/skins>] [--check-only]
//
// Run with QT_QPA_PLATFORM=offscreen; it needs no display. Exit status 1 when a check fails.

#include "SkinCheck.h"
#include "SkinPreview.h"
#include "Skins.h"

#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Draws, checks and previews Tunola's own skins.");
    parser.addHelpOption();
    const QCommandLineOption skinsOption("skins", "Skin folder to write (data/skin).", "folder");
    const QCommandLineOption previewOption("previews", "Folder for preview pictures.", "folder");
    const QCommandLineOption checkOnlyOption("check-only", "Only check the skins already there.");
    parser.addOptions({skinsOption, previewOption, checkOnlyOption});
    parser.process(app);
    if (!parser.isSet(skinsOption)) {
        std::fprintf(stderr, "tunola_skingen: --skins is required\n");
        return 2;
    }
    const QDir skins(parser.value(skinsOption));

    struct OwnSkin {
        const char* name;
        void (*write)(const QString&);
    };
    const OwnSkin ownSkins[] = {{"Default", writeDefaultSkin}, {"Porcelain", writePorcelainSkin}};

    bool allGood = true;
    try {
        for (const OwnSkin& own : ownSkins) {
            const QString folder = skins.filePath(own.name);
            if (!parser.isSet(checkOnlyOption))
                own.write(folder);

            SkinReport report;
            const ParsedSkin parsed = readSkin(folder, report);
            checkSkin(parsed, report);
            for (const QString& error : report.errors)
                std::fprintf(stderr, "%s: %s\n", own.name, qPrintable(error));
            std::printf("%s: %s (%zu windows, %zu controls)\n", own.name,
                        report.errors.isEmpty() ? "ok" : "FAILED", parsed.windows.size(),
                        parsed.children.size());
            allGood = allGood && report.errors.isEmpty();

            if (parser.isSet(previewOption))
                writeSkinPreviews(parsed, own.name, parser.value(previewOption));
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tunola_skingen: %s\n", e.what());
        return 1;
    }
    return allGood ? 0 : 1;
}
