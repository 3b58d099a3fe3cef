#pragma once
// The main window's spectrum box (pbx_ost) and the painter the skin makes for it. The box shows
// the painter's last frame; without a painter it draws nothing and the window's background
// shows through. UI thread only.

#include "Spectrum.h"

#include <QWidget>

#include <memory>
#include <span>

namespace tunola {

class TZuSkin;
struct TZuSkinSpectrum;

class TSpectrumBox : public QWidget {
    Q_OBJECT
public:
    explicit TSpectrumBox(QWidget* parent = nullptr);

    TSpectrum* Painter() const { return painter_.get(); }
    // Replaces the painter (null removes it).
    void SetPainter(std::unique_ptr<TSpectrum> painter);

    // One frame of the player's tick: the painter draws it and the box shows it.
    void DrawFrame(std::span<const float> magnitudes);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<TSpectrum> painter_;
};

// The skin's spectrum element: a new painter of the element's size with its colours, style,
// ceiling, bar width and last bar.
void RegisterSpectrumSkin(TZuSkin& skin);
void ApplySkinSpectrum(const TZuSkinSpectrum& e, QWidget& control);

} // namespace tunola
