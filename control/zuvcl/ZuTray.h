#pragma once
// TZuTrayIcon: one icon in the desktop's notification area. It keeps the icon's tooltip (cut
// at 127 characters), can step through a list of frames, turns the mouse on the icon into
// requests to restore the owner window or to pop up a menu (and into events), hides the owner's
// taskbar entry while it is minimised, puts the icon back when the tray host comes back, and
// passes the end of the session on as events.
//
// Where no tray host runs the icon simply is not there: the owner then keeps its taskbar entry
// when minimised, so it can always be brought back.
//
// The notification area itself is behind IZuTrayPlatform (ZuTrayPlatform.cpp: Qt's tray icon,
// which is a StatusNotifierItem where a watcher runs on the session bus and an XEmbed icon
// otherwise); tests put a fake of their own in its place. UI thread only.

#include "ZuControlEvents.h"

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class QMenu;
class QTimer;
class QWidget;

namespace tunola {

enum TZuTrayIconClicks : uint8_t {
    ticNone,
    ticLeftClick,
    ticLeftDblClick,
    ticLeftClickUp,
    ticRightClick,
    ticRightDblClick,
    ticRightClickUp,
};

// What the icon reports, with the values the mouse and balloon messages have always had.
enum TZuTrayMessage : uint16_t {
    tmLButtonDown = 513,
    tmLButtonUp = 514,
    tmLButtonDblClk = 515,
    tmRButtonDown = 516,
    tmRButtonUp = 517,
    tmRButtonDblClk = 518,
    tmBalloonHide = 1027,
    tmBalloonTimeout = 1028,
    tmBalloonClick = 1029,
};

class IZuTrayPlatform {
public:
    virtual ~IZuTrayPlatform() = default;
    // Puts the icon into the notification area; false when there is none to put it in.
    virtual bool Add(const QIcon& icon, const QString& tip) = 0;
    virtual void Modify(const QIcon& icon, const QString& tip) = 0;
    virtual void Delete() = 0;
    // Shows `menu` at `at` and returns when it closes.
    virtual void PopupMenu(QMenu& menu, QPoint at) = 0;
    virtual QPoint CursorPos() const = 0;

    // Set by the component: the icon's messages, and the tray host coming back.
    std::function<void(TZuTrayMessage)> OnMessage;
    std::function<void()> OnHostReturned;
};

// Qt's tray icon (see above).
std::unique_ptr<IZuTrayPlatform> MakeZuTrayPlatform();

using TZuQueryEndSessionEvent = std::function<void(QObject& sender, bool& allowSessionToEnd)>;
using TZuTrayEvent = std::function<void(QObject& sender)>;

class TZuTrayIcon : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxHint = 127;

    // `owner` is the window that restore and minimise act on.
    explicit TZuTrayIcon(QWidget* owner, std::unique_ptr<IZuTrayPlatform> platform = {});
    ~TZuTrayIcon() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Animate() const { return animate_; }
    void SetAnimate(bool animate);
    bool HideOnMinimize() const { return hideOnMinimize_; }
    void SetHideOnMinimize(bool hide) { hideOnMinimize_ = hide; }
    const QString& Hint() const { return hint_; }
    void SetHint(const QString& hint);
    // The tooltip the icon shows: the hint cut at 127 characters.
    QString ShownHint() const { return hint_.left(kMaxHint); }
    QMenu* PopupMenu() const { return menu_; }
    void SetPopupMenu(QMenu* menu) { menu_ = menu; }
    // The animation frames; without any the application's icon is shown.
    const std::vector<QIcon>& Icons() const { return icons_; }
    void SetIcons(std::vector<QIcon> icons);
    int IconIndex() const { return iconIndex_; }
    void SetIconIndex(int index);
    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    TZuTrayIconClicks RestoreOn() const { return restoreOn_; }
    void SetRestoreOn(TZuTrayIconClicks click) { restoreOn_ = click; }
    TZuTrayIconClicks PopupMenuOn() const { return popupMenuOn_; }
    void SetPopupMenuOn(TZuTrayIconClicks click) { popupMenuOn_ = click; }

    // The icon's image now (a frame of Icons or the application's icon).
    const QIcon& CurrentIcon() const { return current_; }
    // The icon is in a notification area.
    bool Shown() const { return shown_; }
    bool MenuShowing() const { return menuShowing_; }

    TZuTrayEvent OnBalloonHintHide, OnBalloonHintClose, OnBalloonHintClick;
    TZuTrayEvent OnMinimizeApp, OnRestoreApp;
    TZuTrayEvent OnLButtonDown, OnLButtonUp, OnLButtonDblClick;
    TZuTrayEvent OnRButtonDown, OnRButtonUp, OnRButtonDblClick;
    TZuTrayEvent OnEndSession;
    TZuQueryEndSessionEvent OnQueryEndSession;

    // The icon's messages (the platform calls this; so can tests).
    void HandleMessage(TZuTrayMessage message);
    // Restores the owner (ignored while the menu shows or a restore runs).
    void Restore();
    // One animation step.
    void AnimationTick();
    // The session asks whether it may end / ends.
    bool QueryEndSession();
    void EndSession();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyIconIndex();
    void ShowMenu();
    void Minimized();
    void HostReturned();

    QPointer<QWidget> owner_;
    std::unique_ptr<IZuTrayPlatform> platform_;
    QPointer<QMenu> menu_;
    std::vector<QIcon> icons_;
    QIcon current_;
    QString hint_;
    std::unique_ptr<QTimer> timer_; // only while animating
    int iconIndex_ = 0;
    int interval_ = 1000;
    TZuTrayIconClicks restoreOn_ = ticLeftDblClick;
    TZuTrayIconClicks popupMenuOn_ = ticRightClickUp;
    bool enabled_ = false;
    bool wanted_ = false; // the owner asked for the icon (it comes when a host does)
    bool animate_ = false;
    bool hideOnMinimize_ = true;
    bool shown_ = false;
    bool menuShowing_ = false;
    bool restoring_ = false;
    bool sessionEnding_ = false;
};

} // namespace tunola
