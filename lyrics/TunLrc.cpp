#include "TunLrc.h"

#include <CnAAMotion.h>
#include <ZuSkinnedForm.h>

namespace tunola {

TTunLrc::TTunLrc(QWidget* parent) : TZuFormEx(parent) {
    setObjectName(QStringLiteral("TunLrc"));
    setWindowRole(QStringLiteral("TUNOLA LRC"));
    setWindowTitle(QStringLiteral("歌词"));
    resize(354, 155);

    ZuWindow1 = MakeSkinBackground(*this);

    btn_lrc = MakeControl<TZuButton>(this, "btn_lrc", {312, 0, 17, 17});
    btn_close = MakeControl<TZuButton>(this, "btn_close", {288, 0, 17, 17});
    Pb_lrc = MakeControl<TZuLrcShow>(this, "Pb_lrc", {8, 32, 337, 113});
    b5 = MakeControl<TZuButton>(this, "b5", {8, 0, 44, 33});
    f5 = MakeControl<TZuButton>(this, "f5", {56, 0, 100, 41});

    btn_lrc->OnClick = [this](QWidget&) {
        if (OnToggleDesktopLyrics)
            OnToggleDesktopLyrics();
    };
    btn_close->OnClick = [this](QWidget&) { btn_closeClick(); };
    b5->OnClick = [this](QWidget&) { b5Click(); };
    f5->OnClick = [this](QWidget&) { f5Click(); };

    SizeFromEdges(*this);
}

void TTunLrc::b5Click() {
    Pb_lrc->SetLrcOffset(Pb_lrc->LrcOffset() - kOffsetStepMs);
}

void TTunLrc::f5Click() {
    Pb_lrc->SetLrcOffset(Pb_lrc->LrcOffset() + kOffsetStepMs);
}

void TTunLrc::btn_closeClick() {
    hide();
}

bool TTunLrc::Showing() const {
    return OnScreen(*this);
}

} // namespace tunola
