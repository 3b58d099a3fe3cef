#pragma once
// The player's windows as the skin sees them (forms with their named components, built from
// the control library where it has the class and from plain widgets where a later window
// brings its own), and skin folders written on the fly.

#include "ZuSkin.h"

#include <QImage>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>
#include <string>

namespace tunola::testing_support {

void EnsureWidgetApplication();

struct TPlayerWindows {
    TPlayerWindows();

    std::unique_ptr<QWidget> Main, Plist, Share, Lrc, DesktopLrc;

    // Registers all five windows with `skin`.
    void Register(TZuSkin& skin) const;

    template <class T = QWidget> T* Find(TZuSkinWindowId window, const char* name) const {
        return Window(window)->findChild<T*>(QString::fromLatin1(name));
    }
    QWidget* Window(TZuSkinWindowId window) const;
};

class TSkinFolder {
public:
    TSkinFolder();
    // Folder path with its trailing "/".
    std::string Path() const;
    std::string SkinFile() const { return Path() + "skin.xml"; }
    // Writes skin.xml: `windows` inside a "tunola.skin" root of version 2.0.
    void WriteSkin(const std::string& windows) const;
    void WriteFile(const std::string& name, const std::string& bytes) const;
    // A PNG of one colour (0xAARRGGBB).
    void WritePng(const std::string& name, int width, int height, QRgb color) const;

private:
    QTemporaryDir dir_;
};

} // namespace tunola::testing_support
