#pragma once
// How the player's windows behave towards the window manager:
//  - a move of the main window that the window manager makes (Alt+drag, the keyboard move)
//    carries the windows docked to it, as our own drag does;
//  - the main window's title names the track that plays (the taskbar shows it);
//  - the other windows belong to the main window: no taskbar entries of their own, kept
//    above it and minimised with it by the window manager.
// UI thread.

#include <QObject>
#include <QRect>
#include <QString>

class QWidget;

namespace tunola {

class TPlayerActions;
class TZuForm;

class TWindowManners : public QObject {
    Q_OBJECT
public:
    // `idleTitle` is the main window's title while nothing plays. A child of `main`.
    TWindowManners(TZuForm& main, TPlayerActions& actions, QString idleTitle);

    // The window's title for the entry caption `caption` ("Title - Artist").
    static QString TitleFor(const QString& caption);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FollowMove(const QRect& now);
    void ShowTrackInTitle();

    TZuForm& main_;
    TPlayerActions& actions_;
    QString idleTitle_;
    QRect last_;
};

// Makes `window` one of the main window's own: a tool window kept with `main`, without a
// taskbar entry.
void BelongToMainWindow(QWidget& window, QWidget& main);

} // namespace tunola
