#include "SpectrumBox.h"

#include <ZuSkin.h>

#include <QPainter>

namespace tunola {

TSpectrumBox::TSpectrumBox(QWidget* parent) : QWidget(parent) {}

void TSpectrumBox::SetPainter(std::unique_ptr<TSpectrum> painter) {
    painter_ = std::move(painter);
    // With a painter the box covers itself: nothing under it needs painting first.
    setAttribute(Qt::WA_OpaquePaintEvent, painter_ != nullptr);
    update();
}

void TSpectrumBox::DrawFrame(std::span<const float> magnitudes) {
    if (!painter_)
        return;
    // The frame reaches the screen in the paint that follows, as one block copy; a frame like
    // the last one (settled silence, a pause) costs no paint at all.
    if (painter_->Paint(nullptr, magnitudes, 1, 0, false))
        update();
}

void TSpectrumBox::paintEvent(QPaintEvent*) {
    if (!painter_)
        return;
    QPainter painter(this);
    painter_->CopyTo(painter);
}

void RegisterSpectrumSkin(TZuSkin& skin) {
    skin.Applier<TZuSkinSpectrum>() = [](const TZuSkinSpectrum& e, QWidget& control,
                                         TZuSkinContext&) { ApplySkinSpectrum(e, control); };
}

void ApplySkinSpectrum(const TZuSkinSpectrum& e, QWidget& control) {
    auto* box = qobject_cast<TSpectrumBox*>(&control);
    if (!box)
        return;
    box->SetPainter(nullptr);
    auto painter = std::make_unique<TSpectrum>(e.Bounds.W, e.Bounds.H);
    painter->BarColor = e.BarColor;
    painter->PeakColor = e.PeakColor;
    painter->BackColor = e.BackColor;
    painter->BarStyle = e.BarStyle;
    painter->MaxHeight = e.MaxHeight;
    painter->BarWidth = e.BarWidth;
    painter->LastBar = e.LastBar;
    // The new buffer starts in the skin's background colour.
    painter->Paint(nullptr, {}, 1, 0, true);
    box->SetPainter(std::move(painter));
}

} // namespace tunola
