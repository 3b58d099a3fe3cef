#include "WindowManners.h"

#include "PlayerActions.h"

#include <ZuForm.h>
#include <ZuFormSnap.h>
#include <ZuPlaylistItem.h>

#include <QApplication>
#include <QEvent>
#include <QWidget>

#include <vector>

namespace tunola {

TWindowManners::TWindowManners(TZuForm& main, TPlayerActions& actions, QString idleTitle)
    : QObject(&main), main_(main), actions_(actions), idleTitle_(std::move(idleTitle)),
      last_(main.geometry()) {
    main.installEventFilter(this);
    connect(&actions_, &TPlayerActions::PlaybackChanged, this, &TWindowManners::ShowTrackInTitle);
}

QString TWindowManners::TitleFor(const QString& caption) {
    QString track = caption.trimmed();
    // An entry without an artist has a caption ending in " - ".
    if (track.endsWith(QLatin1Char('-')))
        track = track.chopped(1).trimmed();
    return track.isEmpty() ? QStringLiteral("听风") : track + QStringLiteral(" - 听风");
}

void TWindowManners::ShowTrackInTitle() {
    const TZuPlaylistItem* entry = actions_.Current();
    if (!entry || actions_.State() == psStopped)
        main_.setWindowTitle(idleTitle_);
    else
        main_.setWindowTitle(TitleFor(QString::fromStdString(entry->Caption())));
}

bool TWindowManners::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &main_) {
        if (event->type() == QEvent::Move && !main_.InMoveSizeLoop() && main_.isVisible() &&
            !main_.isMinimized())
            FollowMove(main_.geometry());
        if (event->type() == QEvent::Move || event->type() == QEvent::Resize ||
            event->type() == QEvent::Show)
            last_ = main_.geometry();
    }
    return QObject::eventFilter(watched, event);
}

void TWindowManners::FollowMove(const QRect& now) {
    const QPoint delta = now.topLeft() - last_.topLeft();
    if (delta.isNull() || !last_.isValid())
        return;
    // The group as it stood beside the main window's old place; our own drag has moved its
    // members already, so they are no longer beside it and stay where they are.
    std::vector<TZuForm*> forms;
    std::vector<TZuFormPlace> places;
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* form = qobject_cast<TZuForm*>(widget);
        if (!form || form == &main_ || !form->isVisible() || form->isMinimized())
            continue;
        forms.push_back(form);
        places.push_back({form->geometry(), form->Tag()});
    }
    const std::vector<int> tags = FormGroup(last_, places);
    for (size_t i = 0; i < forms.size(); ++i)
        if (tags[i] == kZuTagMember)
            forms[i]->move(forms[i]->pos() + delta);
}

void BelongToMainWindow(QWidget& window, QWidget& main) {
    const bool shown = window.isVisible();
    const QRect place = window.geometry();
    window.setParent(&main, (window.windowFlags() & ~Qt::WindowType_Mask) | Qt::Tool);
    window.setGeometry(place);
    if (shown)
        window.show();
}

} // namespace tunola
