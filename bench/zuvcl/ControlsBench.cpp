// What the skinned controls cost per paint, with the Default skin's pictures: composing a
// window frame, building the window shape, one slider or fading-button frame from backdrop to
// screen copy, and one snapping proposal; then whole repaints of real widgets through Qt on the
// offscreen platform.

#include "ZuButton.h"
#include "ZuForm.h"
#include "ZuFormSnap.h"
#include "ZuPixelCopy.h"
#include "ZuSlider.h"
#include "ZuSliderPaint.h"
#include "ZuWindow.h"
#include "ZuWindowFrame.h"

#include <QApplication>
#include <QEnterEvent>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <vector>

namespace tunola {
namespace {

QString SkinFile(const char* name) {
    return QStringLiteral(TUNOLA_TEST_SOURCE_DIR "/data/skin/Default/") + QLatin1String(name);
}

struct Frame {
    const char* File;
    int Width, Height;
    TZuFramePieces Pieces;
};

// As the Default skin's skin.xml gives them.
Frame MainFrame() {
    return {"main_frame.png",
            464,
            238,
            {{0, 0, 140, 150},
             {140, 0, 8, 150},
             {148, 0, 24, 150},
             {0, 158, 24, 88},
             {24, 158, 8, 88},
             {148, 158, 24, 88},
             {0, 150, 12, 8},
             {160, 150, 12, 8},
             {0, 0, 0, 0}}};
}

Frame LibraryFrame() {
    return {"share_frame.png",
            772,
            532,
            {{0, 0, 24, 52},
             {24, 0, 8, 52},
             {120, 0, 24, 52},
             {0, 60, 24, 12},
             {24, 60, 8, 12},
             {120, 60, 24, 12},
             {0, 52, 14, 8},
             {130, 52, 14, 8},
             {32, 0, 80, 52}}};
}

void ComposeFrame(benchmark::State& state, Frame frame) {
    TZuBitmap32 image, surface;
    image.LoadFromFile(SkinFile(frame.File));
    for (auto _ : state) {
        PaintWindowFrame(surface, frame.Width, frame.Height, 0xFF1D2026u, image, frame.Pieces);
        benchmark::DoNotOptimize(surface.Bits());
    }
    state.SetItemsProcessed(state.iterations() * frame.Width * frame.Height);
}
BENCHMARK_CAPTURE(ComposeFrame, main464x238, MainFrame());
BENCHMARK_CAPTURE(ComposeFrame, library772x532, LibraryFrame());

void WindowShapeFromCorners(benchmark::State& state) {
    const Frame frame = MainFrame();
    TZuBitmap32 image;
    image.LoadFromFile(SkinFile(frame.File));
    for (auto _ : state) {
        const TZuCornerCutOuts cuts = CornerCutOuts(image, frame.Pieces);
        QRegion shape = WindowShape(QSize(frame.Width, frame.Height), cuts, frame.Pieces);
        benchmark::DoNotOptimize(shape);
    }
}
BENCHMARK(WindowShapeFromCorners);

// One paint of the position slider without Qt: its backdrop from the form's back buffer, the
// tiles and thumb, and the copy to a screen-like image.
void SliderFrame(benchmark::State& state) {
    TZuBitmap32 back, image, canvas;
    back.SetSize(464, 238);
    back.Clear(0xFF1D2026u);
    image.LoadFromFile(SkinFile("main_progress.png"));
    canvas.SetSize(440, 14);
    QImage screen(440, 14, QImage::Format_RGB32);
    TZuSliderLook look;
    look.Style = ssMix;
    look.Width = 440;
    look.Height = 14;
    look.Offset = 130;
    look.PreviewOffset = 130;
    look.TileA = {0, 0, 440, 14};
    look.TileB = {0, 14, 440, 14};
    look.Border = 3;
    look.Normal = {0, 28, 14, 14};
    look.Pressed = {28, 28, 14, 14};
    look.Highlighted = {14, 28, 14, 14};
    for (auto _ : state) {
        CopyPixels(canvas, 0, 0, back, ZuBounds(12, 156, 440, 14));
        PaintSliderBlendEx(canvas, image, look);
        QPainter painter(&screen);
        canvas.CopyToDC(painter, 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * 440 * 14);
}
BENCHMARK(SliderFrame);

// One fade step of the play button: backdrop, normal picture, highlighted picture blended.
void ButtonFadeFrame(benchmark::State& state) {
    TZuBitmap32 back, image, canvas;
    back.SetSize(464, 238);
    back.Clear(0xFF1D2026u);
    image.LoadFromFile(SkinFile("main_play.png"));
    canvas.SetSize(48, 48);
    QImage screen(48, 48, QImage::Format_RGB32);
    for (auto _ : state) {
        CopyPixels(canvas, 0, 0, back, ZuBounds(64, 180, 48, 48));
        image.Draw(canvas, 0, 0, ZuBounds(0, 0, 48, 48));
        image.DrawBlended(canvas, 0, 0, 127, ZuBounds(48, 0, 48, 48));
        QPainter painter(&screen);
        canvas.CopyToDC(painter, 0, 0);
    }
    state.SetItemsProcessed(state.iterations() * 48 * 48);
}
BENCHMARK(ButtonFadeFrame);

void SnapOneProposal(benchmark::State& state) {
    const std::vector<TZuFormPlace> others = {{{300, 438, 464, 166}, kZuTagMember},
                                              {{300, 604, 464, 128}, kZuTagMember},
                                              {{764, 200, 772, 532}, kZuTagMember},
                                              {{100, 700, 600, 84}, kZuTagLoner}};
    TZuSnapInput in;
    in.Proposal = QRect(305, 195, 464, 238);
    in.Tag = kZuTagLeader;
    in.WorkArea = QRect(0, 0, 1920, 1040);
    for (auto _ : state) {
        QRect r = SnapProposal(in, others);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(SnapOneProposal);

// Whole repaints through Qt (paint event, backing store, flush to the offscreen screen): what a
// position change of the slider or one fade step costs the UI thread.
class MainWindowFixture {
public:
    MainWindowFixture() {
        form.resize(464, 238);
        auto* background = new TZuWindow(&form);
        background->setEnabled(false);
        const Frame frame = MainFrame();
        background->Image().LoadFromFile(SkinFile(frame.File));
        const TZuFramePieces& p = frame.Pieces;
        background->SetTopLeft(p.TopLeft.X, p.TopLeft.Y, p.TopLeft.W, p.TopLeft.H);
        background->SetTopMiddle(p.TopMiddle.X, p.TopMiddle.Y, p.TopMiddle.W, p.TopMiddle.H);
        background->SetTopRight(p.TopRight.X, p.TopRight.Y, p.TopRight.W, p.TopRight.H);
        slider = new TZuSliderBlendEx(&form);
        slider->setGeometry(12, 156, 440, 14);
        slider->Image().LoadFromFile(SkinFile("main_progress.png"));
        slider->SetTileA(0, 0, 440, 14);
        slider->SetTileB(0, 14, 440, 14);
        slider->SetBorder(3);
        slider->SetSliderW(14);
        slider->SetSliderH(14);
        slider->SetStyle(ssMix);
        slider->SetMax(245);
        button = new TZuButton(&form);
        button->setGeometry(64, 180, 48, 48);
        button->Image().LoadFromFile(SkinFile("main_play.png"));
        button->SetFade(6);
        form.show();
        QApplication::processEvents();
    }

    TZuFormEx form;
    TZuSliderBlendEx* slider = nullptr;
    TZuButton* button = nullptr;
};

void RepaintProgressSlider(benchmark::State& state) {
    MainWindowFixture window;
    int position = 0;
    for (auto _ : state) {
        window.slider->SetPosition(position = (position + 1) % 245);
        window.slider->repaint();
    }
}
BENCHMARK(RepaintProgressSlider);

void RepaintFadeStep(benchmark::State& state) {
    MainWindowFixture window;
    TZuButton& button = *window.button;
    const QPointF inside(24, 24);
    for (auto _ : state) {
        // Keep it fading: in when it has settled on normal, out when highlighted.
        if (button.State() == TZuButtonState::bsNormal) {
            QEnterEvent enter(inside, inside, button.mapToGlobal(inside));
            QApplication::sendEvent(&button, &enter);
        } else if (button.State() == TZuButtonState::bsHighlighted) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&button, &leave);
        }
        button.FadeTimerTimer();
        button.repaint();
    }
}
BENCHMARK(RepaintFadeStep);

} // namespace
} // namespace tunola
