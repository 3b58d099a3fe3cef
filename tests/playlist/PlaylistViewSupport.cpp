#include "PlaylistViewSupport.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

namespace tunola::test {

void FillNumbered(TZuPlaylistModel& model, int n, double seconds) {
    model.Items().BeginUpdate();
    for (int i = 1; i <= n; ++i) {
        TZuPlaylistItem entry;
        entry.SetTitle(std::to_string(i));
        entry.SetCaption(std::to_string(i));
        entry.SetFileName("/music/" + std::to_string(i) + ".mp3");
        entry.SetLongTime(seconds / 86400.0);
        model.Items().Add(std::move(entry));
    }
    model.Items().EndUpdate();
}

std::string Captions(const TZuPlaylistModel& model) {
    std::string out;
    for (int i = 0; i < model.Items().Count(); ++i)
        out += (i ? "," : "") + model.Items().GetItem(i)->Caption();
    return out;
}

std::string SelectedRows(const TZuPlaylistModel& model) {
    std::string out;
    for (int i = 0; i < model.Items().Count(); ++i)
        if (model.Items().GetItem(i)->Selected())
            out += (out.empty() ? "" : ",") + std::to_string(i);
    return out;
}

QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

int CountColor(const QImage& image, const QRect& area, TColor32 color) {
    int n = 0;
    const QRect r = area & image.rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (color & 0xFFFFFF))
                ++n;
    return n;
}

void ShowAndWait(QWidget& widget) {
    widget.show();
    (void)QTest::qWaitForWindowExposed(&widget);
}

} // namespace tunola::test
