#pragma once
// The pop-up menu a control or form may carry. A manual menu (AutoPopup off, the default) is
// opened by the control itself, on a right-button release or, for menu buttons, under the
// button; an automatic one is opened on the platform's context-menu request.

#include <QMenu>
#include <QPoint>
#include <QPointer>

class QContextMenuEvent;

namespace tunola {

class TZuPopupMenuLink {
public:
    QMenu* Menu() const;
    void SetMenu(QMenu* menu);
    bool AutoPopup() const { return autoPopup_; }
    void SetAutoPopup(bool autoPopup) { autoPopup_ = autoPopup; }

    // A menu is attached and it is left to the control to open it.
    bool IsManual() const;
    // Opens the menu at a screen point (without waiting for it to close).
    void PopupAt(const QPoint& globalPos) const;
    // The platform asks for a context menu: an automatic menu opens at the requested point.
    // An attached menu of either kind takes the request, so that no parent opens its own.
    void HandleContextMenu(QContextMenuEvent& event) const;

private:
    QPointer<QMenu> menu_;
    bool autoPopup_ = false;
};

} // namespace tunola
