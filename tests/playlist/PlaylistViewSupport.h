#pragma once
// Helpers for the playlist view and window tests: entries with known captions, and reading
// back what a widget painted. PlaylistTestMain.cpp makes the QApplication.

#include <ZuColor32.h>
#include <ZuPlaylistModel.h>

#include <QImage>
#include <QRect>

#include <initializer_list>
#include <string>

class QWidget;

namespace tunola::test {

// Appends entries captioned "1" … "n" (title = caption), each `seconds` long.
void FillNumbered(TZuPlaylistModel& model, int n, double seconds = 245);
// The captions in list order, joined with ",".
std::string Captions(const TZuPlaylistModel& model);
// The indices of the selected entries, joined with ",".
std::string SelectedRows(const TZuPlaylistModel& model);

// What the widget paints, as 0xAARRGGBB pixels.
QImage Grab(QWidget& widget);
// Pixels of `color` inside `area` (alpha ignored).
int CountColor(const QImage& image, const QRect& area, TColor32 color);

// Shows a top-level widget and waits until it can take input.
void ShowAndWait(QWidget& widget);

} // namespace tunola::test
