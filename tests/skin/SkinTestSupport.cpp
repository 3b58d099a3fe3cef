#include "SkinTestSupport.h"

#include <ZuButton.h>
#include <ZuSlider.h>
#include <ZuTabControl.h>
#include <ZuWindow.h>

#include <QApplication>
#include <QFile>
#include <QLabel>

namespace tunola::testing_support {

void EnsureWidgetApplication() {
    if (QApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "skin_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
}

namespace {

template <class T> T* Make(QWidget& parent, const char* name) {
    auto* widget = new T(&parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

std::unique_ptr<QWidget> MakeForm(int width, int height) {
    auto form = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    form->resize(width, height);
    Make<TZuWindow>(*form, "ZuWindow1");
    return form;
}

} // namespace

TPlayerWindows::TPlayerWindows() {
    EnsureWidgetApplication();
    Main = MakeForm(464, 238);
    for (const char* name : {"vb_previous", "vb_next", "vb_menu", "vb_min", "vb_close"})
        Make<TZuButton>(*Main, name);
    for (const char* name : {"vb_play", "vb_sound", "vb_list", "vb_share"})
        Make<TZuCheckedButton>(*Main, name);
    for (const char* name : {"pgb_music", "pgb_volume"})
        Make<TZuSliderBlendEx>(*Main, name);
    for (const char* name : {"vl_title", "vl_time", "vl_stack"})
        Make<QLabel>(*Main, name);
    Make<QWidget>(*Main, "pbx_ost");

    Plist = MakeForm(464, 166);
    Make<TZuButton>(*Plist, "btn_menu");
    Make<TZuButton>(*Plist, "btn_close");
    Make<QWidget>(*Plist, "lv_list");

    Share = MakeForm(772, 532);
    for (const char* name :
         {"btn_back", "btn_forward", "btn_refresh", "btn_min", "btn_max", "btn_close"})
        Make<TZuButton>(*Share, name);
    Make<QWidget>(*Share, "pnl_top");
    QWidget* pages = Make<QWidget>(*Share, "pnl_psvs");
    Make<QWidget>(*pages, "Panel2");
    Make<TZuTabControl>(*Share, "tab_pnl");

    Lrc = MakeForm(354, 155);
    for (const char* name : {"btn_lrc", "btn_close", "b5", "f5"})
        Make<TZuButton>(*Lrc, name);
    Make<QWidget>(*Lrc, "Pb_lrc");

    DesktopLrc = std::make_unique<QWidget>();
    DesktopLrc->resize(800, 100);
}

QWidget* TPlayerWindows::Window(TZuSkinWindowId window) const {
    switch (window) {
    case TZuSkinWindowId::Main:
        return Main.get();
    case TZuSkinWindowId::Plist:
        return Plist.get();
    case TZuSkinWindowId::Share:
        return Share.get();
    case TZuSkinWindowId::Lrc:
        return Lrc.get();
    case TZuSkinWindowId::DesktopLrc:
        return DesktopLrc.get();
    }
    return nullptr;
}

void TPlayerWindows::Register(TZuSkin& skin) const {
    for (int i = 0; i < kZuSkinWindowCount; ++i)
        skin.RegisterWindow(TZuSkinWindowId(i), Window(TZuSkinWindowId(i)));
}

TSkinFolder::TSkinFolder() = default;

std::string TSkinFolder::Path() const {
    return dir_.path().toStdString() + "/";
}

void TSkinFolder::WriteSkin(const std::string& windows) const {
    WriteFile("skin.xml",
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<tunola.skin ver=\"2.0\">\n" + windows +
                  "\n</tunola.skin>\n");
}

void TSkinFolder::WriteFile(const std::string& name, const std::string& bytes) const {
    QFile file(QString::fromStdString(Path() + name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes.data(), qint64(bytes.size()));
}

void TSkinFolder::WritePng(const std::string& name, int width, int height, QRgb color) const {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(color);
    image.save(QString::fromStdString(Path() + name), "PNG");
}

} // namespace tunola::testing_support
