#include "PlaylistSkin.h"

#include "TunPlayList.h"

#include <ZuSkinAppliers.h>

namespace tunola {

void RegisterPlaylistSkin(TZuSkin& skin, TTunPlayList& window) {
    skin.RegisterWindow(TZuSkinWindowId::Plist, &window);
    skin.Applier<TZuSkinList>() = ApplySkinList;
}

void ApplySkinList(const TZuSkinList& e, QWidget& control, TZuSkinContext& context) {
    auto* list = qobject_cast<TZuPlaylist*>(&control);
    if (!list)
        return;
    zuplaylist::TZuScrollBar& bar = list->ScrollBar();
    list->SetScrollBarWidth(e.ScrollBarWidth);
    bar.SetSliderW(e.SliderW);
    bar.SetSliderH(e.SliderH);
    list->SetBackColor(Color32(e.BackColor));
    list->SetSelectionColor(Color32(e.SelectionColor));
    list->SetTextColor(Color32(e.TextColor));
    list->SetTextCurrentColor(Color32(e.TextCurrentColor));
    list->SetTextSelectedColor(Color32(e.TextSelectedColor));
    if (e.TextFailedColor)
        list->SetTextFailedColor(Color32(*e.TextFailedColor));
    list->setFont(SkinFont(list->font(), e.Font));
    bar.SetNormalX(e.NormalX);
    bar.SetNormalY(e.NormalY);
    bar.SetPressedX(e.PressedX);
    bar.SetPressedY(e.PressedY);
    bar.SetHighlightedX(e.HighlightedX);
    bar.SetHighlightedY(e.HighlightedY);
    bar.SetTrackRect(e.TrackRect.X, e.TrackRect.Y, e.TrackRect.W, e.TrackRect.H);
    bar.SetBorder(0);
    context.LoadPicture(e.Image, bar.Image());
    if (auto* menu = context.Window().findChild<QMenu*>(QStringLiteral("pm_list"),
                                                        Qt::FindDirectChildrenOnly))
        list->SetPopupMenu(menu);
}

} // namespace tunola
