#pragma once
// The playlist window's dialogs, as replaceable functions: tests answer them
// without a dialog on screen. An empty answer means the user cancelled.
//
// Filters come in the form the player builds them, "description|*.a;*.b|description|*.c",
// and are turned into Qt's "description (*.a *.b);;description (*.c)".
// UI thread only.

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace tunola {

struct TPlaylistDialogs {
    // Several existing files (adding music).
    std::function<QStringList(QWidget* parent, const QString& title, const QString& filter)>
        OpenFiles;
    // One existing file (opening a list).
    std::function<QString(QWidget* parent, const QString& title, const QString& filter)> OpenFile;
    // A file to write, given `defaultSuffix` when the name has none (a new list).
    std::function<QString(QWidget* parent, const QString& title, const QString& filter,
                          const QString& defaultSuffix)>
        SaveFile;
    // An existing folder (adding a folder).
    std::function<QString(QWidget* parent, const QString& title)> OpenFolder;
    // One line of text (a stream address).
    std::function<QString(QWidget* parent, const QString& title, const QString& label)> AskText;
    // Tells the user why something could not be done.
    std::function<void(QWidget* parent, const QString& title, const QString& text)> Message;
};

// The dialogs on screen (Qt's own, the same on every platform). They open in the folder the
// last one was left in.
TPlaylistDialogs ScreenDialogs();

// "所有音乐|*.mp3;*.ogg" -> "所有音乐 (*.mp3 *.MP3 *.ogg *.OGG)"; pairs are joined with ";;".
// The dialog matches names by case on most file systems, so upper-case names are listed too.
QString QtFileFilter(const QString& filter);
// Every pattern of such a filter, in order, without repeats: {"*.mp3", "*.ogg"}.
QStringList FilterPatterns(const QString& filter);

} // namespace tunola
