#include "LyricsSkin.h"

#include "TunDeskTopLrc.h"
#include "TunLrc.h"

#include <ZuColor32.h>
#include <ZuSkinAppliers.h>

namespace tunola {

void RegisterLyricsSkin(TZuSkin& skin, TTunLrc& lyrics, TTunDeskTopLrc& desktop) {
    skin.RegisterWindow(TZuSkinWindowId::Lrc, &lyrics);
    skin.RegisterWindow(TZuSkinWindowId::DesktopLrc, &desktop);
    skin.Applier<TZuSkinLrcView>() = ApplySkinLrcView;
    skin.Applier<TZuSkinDesktopLrc>() = ApplySkinDesktopLrc;
}

void ApplySkinLrcView(const TZuSkinLrcView& e, QWidget& control, TZuSkinContext&) {
    auto* view = qobject_cast<TZuLrcShow*>(&control);
    if (!view)
        return;
    view->SetLrcSpace(e.LrcSpace);
    view->SetBGColor(Color32(e.BGColor));
    view->SetLrcColor(Color32(e.LrcColor));
    view->SetLrcCurrColor(Color32(e.LrcCurrColor));
    view->SetLrcFont(SkinFont(view->LrcFont(), TZuSkinFont{e.FontName, e.FontSize}));
}

void ApplySkinDesktopLrc(const TZuSkinDesktopLrc& e, QWidget& window, TZuSkinContext&) {
    auto* desktop = qobject_cast<TTunDeskTopLrc*>(&window);
    if (!desktop)
        return;
    TCnAAFadeText& fade = *desktop->CnAAFadeText1;
    if (!fade.Fonts().empty()) {
        TCnFontLabel& label = fade.Fonts().front();
        label.Effect.Gradual.StartColor = Color32(e.ColorBegin);
        label.Effect.Gradual.EndColor = Color32(e.ColorEnd);
        label.Font = SkinFont(label.Font, e.Font);
    }
    TCnFadeTextParam text = fade.Text();
    text.BackColor = Color32(e.BackColor);
    fade.SetText(text);
}

} // namespace tunola
