#pragma once
// TTunDeskTopLrc: the desktop lyrics, one line at a time in large type, cross-fading from line
// to line. A frameless, always-on-top tool window (no taskbar entry) at 200/255 opacity; it
// stays where the user puts it when the main window's group moves (Tag 3) but the skinned
// windows still snap to it. On show it spans the width of its screen near the bottom; a drag
// moves it up or down only. Locked, it lets every click through to the windows under it;
// unlocking is the owner's menu entry (and the window's own menu while it is not locked).
// UI thread only.

#include <CnAAFadeText.h>

#include <QWidget>

#include <functional>

class QMenu;
class QAction;

namespace tunola {

class TTunDeskTopLrc : public QWidget {
    Q_OBJECT
public:
    explicit TTunDeskTopLrc(QWidget* parent = nullptr);

    static constexpr int kTag = 3;
    static constexpr double kOpacity = 200.0 / 255.0;
    static constexpr const char* kLockCaption = "锁定桌面歌词";

    TCnAAFadeText* CnAAFadeText1 = nullptr;

    // The line the desktop shows: a text that differs from the last one given replaces the
    // line (while the window is shown) and fades in. Called on every playback tick, it also
    // makes the fade's steps that fell due.
    void ShowDesktopText(const QString& text);
    const QString& LastDesktopText() const { return lastDesktopText_; }

    bool Locked() const { return locked_; }
    void SetLocked(bool locked);
    // Fired whenever the lock changes (the owner keeps its menu entry in step).
    std::function<void(bool)> OnLockChanged;

    // Where the window goes on show, on the screen area `screen`.
    static QRect PlaceOnScreen(const QRect& screen, int height);

    // Shown, not minimised and exposed.
    bool Showing() const;

    QMenu* ContextMenu() const { return menu_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyLock();

    QString lastDesktopText_;
    bool locked_ = false;
    bool dragging_ = false;
    int pressY_ = 0; // pointer's screen y minus the window's top at the press
    QMenu* menu_ = nullptr;
    QAction* lockEntry_ = nullptr;
};

} // namespace tunola
