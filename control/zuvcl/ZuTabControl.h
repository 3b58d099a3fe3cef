#pragma once
// TZuTabControl: a skinned tab strip. Tabs sit side by side from the left, each as wide as its
// caption plus 20 pixels, TabSpacing apart; they are never wrapped or clipped, so a strip too
// narrow cuts the later tabs off. The Image holds three equal horizontal bands: band 0 is an
// inactive tab, band 1 the active one, and the whole image is the strip's background. Inactive
// tabs sit 2 pixels lower than the active one. A press on a tab that is not active selects it
// and fires OnTabChanged.
//
// Drags: the strip takes part in the in-process drags of other controls (a playlist view's
// rows, say) through DragOver/DragDrop, and in Qt drags whose source passes the same test.
// Which sources it accepts is the owner's AcceptDragFrom; the drop goes to OnDragDrop.
// UI thread only.

#include "ZuGraphicControl.h"

#include <QRect>
#include <QStringList>

#include <functional>
#include <vector>

namespace tunola {

// The tabs' rectangles for captions of the given text widths (pure layout).
std::vector<QRect> ZuTabLayout(const std::vector<int>& textWidths, int spacing, int tabHeight);
// A caption without its first "&" (what is measured).
QString ZuStripFirstAmpersand(const QString& caption);

class TZuTabControl : public TZuGraphicControlEx {
    Q_OBJECT
public:
    explicit TZuTabControl(QWidget* parent = nullptr);

    const QStringList& Tabs() const { return tabs_; }
    // Copies the list with every caption trimmed; ActiveTab is kept inside the new list
    // without firing OnTabChanged.
    void SetTabs(const QStringList& tabs);
    int16_t ActiveTab() const { return activeTab_; }
    // Above the last tab selects the last one, below 0 the first; fires OnTabChanged.
    void SetActiveTab(int tab);
    int16_t TabHeight() const { return tabHeight_; }
    void SetTabHeight(int height); // negative stores 0
    uint8_t TabSpacing() const { return tabSpacing_; }
    void SetTabSpacing(uint8_t spacing); // 0 stores 1
    TColor AColor() const { return aColor_; }
    void SetAColor(TColor color);
    TColor DColor() const { return dColor_; }
    void SetDColor(TColor color);

    // The tabs' rectangles from the last layout, one per caption.
    const std::vector<QRect>& TabRects() const { return rects_; }
    // The tab under a client point, or -1.
    int TabAt(QPoint p) const;

    TZuControlEvent OnTabChanged;

    // Drags from other controls.
    std::function<bool(QObject* source)> AcceptDragFrom;
    std::function<void(QWidget& sender, QObject* source, int x, int y)> OnDragDrop;
    // A drag from `source` is over the strip: true (and the drag-over flag set) when accepted.
    bool DragOver(QObject* source);
    // The drag left the strip without a drop.
    void DragLeave() { dragOver_ = false; }
    // A drop at client point (x, y): clears the flag and hands it to OnDragDrop.
    void DragDrop(QObject* source, int x, int y);
    bool IsDragOver() const { return dragOver_; }

protected:
    void PaintImage(TZuBitmap32& canvas) override;
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override;
    void changeEvent(QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Layout();

    QStringList tabs_;
    std::vector<QRect> rects_;
    int16_t activeTab_ = 0;
    int16_t tabHeight_ = 21;
    uint8_t tabSpacing_ = 0;
    TColor aColor_ = 0;
    TColor dColor_ = 0;
    bool dragOver_ = false;
};

} // namespace tunola
