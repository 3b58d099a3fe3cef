#include "ZuPopupMenuLink.h"

#include <QContextMenuEvent>

namespace tunola {

QMenu* TZuPopupMenuLink::Menu() const {
    return menu_.data();
}

void TZuPopupMenuLink::SetMenu(QMenu* menu) {
    menu_ = menu;
}

bool TZuPopupMenuLink::IsManual() const {
    return menu_ && !autoPopup_;
}

void TZuPopupMenuLink::PopupAt(const QPoint& globalPos) const {
    if (menu_)
        menu_->popup(globalPos);
}

void TZuPopupMenuLink::HandleContextMenu(QContextMenuEvent& event) const {
    if (!menu_) {
        event.ignore();
        return;
    }
    event.accept();
    if (autoPopup_)
        menu_->popup(event.globalPos());
}

} // namespace tunola
