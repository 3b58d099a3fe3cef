#pragma once
// TZuLinkLabel: a text label that behaves like a web link. Under the mouse it is underlined and
// takes its active colours; a click runs OnClick and then opens URL (trimmed) with the
// desktop's handler for it. UI thread only.

#include "ZuColor32.h"
#include "ZuControlEvents.h"

#include <QLabel>
#include <QUrl>

#include <functional>

namespace tunola {

class TZuLinkLabel : public QLabel {
    Q_OBJECT
public:
    // What a new label shows and opens until it is given its own address.
    static constexpr const char* kPlaceholder = "https://www.example.com/";

    explicit TZuLinkLabel(QWidget* parent = nullptr);

    TColor ActiveColor() const { return activeColor_; }
    void SetActiveColor(TColor color);
    TColor NormalColor() const { return normalColor_; }
    void SetNormalColor(TColor color);
    TColor ActiveBackColor() const { return activeBackColor_; }
    void SetActiveBackColor(TColor color);
    TColor NormalBackColor() const { return normalBackColor_; }
    void SetNormalBackColor(TColor color);
    const QString& URL() const { return url_; }
    void SetURL(const QString& url);

    bool Hovered() const { return hovered_; }

    TZuControlEvent OnClick;
    TZuControlEvent OnMouseEnter;
    TZuControlEvent OnMouseLeave;
    // Opens an address; the desktop's handler unless replaced. A failure is ignored.
    std::function<bool(const QUrl&)> Opener;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void ShowState();

    TColor activeColor_ = 0x0000FF; // red
    TColor normalColor_ = 0xFF0000; // blue
    TColor activeBackColor_ = clBtnFace;
    TColor normalBackColor_ = clBtnFace;
    QString url_;
    bool hovered_ = false;
    bool pressed_ = false;
};

} // namespace tunola
