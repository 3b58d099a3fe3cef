#pragma once
// TTunLrc: the skinned lyrics window under the playlist window. It holds the lyric display
// Pb_lrc, the two offset buttons (b5: the lyric half a second later, f5: earlier), the button
// that shows or hides the desktop lyrics and the close button, which hides the window. It moves
// with the main window's group and is resized from its edges.
// UI thread only.

#include "ZuLrcShow.h"

#include <ZuButton.h>
#include <ZuForm.h>
#include <ZuWindow.h>

#include <functional>

namespace tunola {

class TTunLrc : public TZuFormEx {
    Q_OBJECT
public:
    explicit TTunLrc(QWidget* parent = nullptr);

    static constexpr int kOffsetStepMs = 500;

    TZuWindow* ZuWindow1 = nullptr;
    TZuButton* btn_lrc = nullptr;
    TZuButton* btn_close = nullptr;
    TZuLrcShow* Pb_lrc = nullptr;
    TZuButton* b5 = nullptr;
    TZuButton* f5 = nullptr;

    // btn_lrc: the desktop lyrics shown when hidden, hidden when shown.
    std::function<void()> OnToggleDesktopLyrics;

    void b5Click();
    void f5Click();
    void btn_closeClick();

    // Shown, not minimised and exposed: the display has something to show.
    bool Showing() const;
};

} // namespace tunola
