// A look at the skinned controls: the main, playlist and lyrics windows of the Default skin,
// docked as the player places them, with their buttons and sliders, and a window of list boxes
// in their three looks (the first as the library window's result list). Not a test.
//
//   tunola_controls_demo [skin folder]          interactive
//   tunola_controls_demo --script [skin folder] plays a short scene with synthesised pointer
//       events and prints "STAGE <n>" whenever a picture is worth taking (see the stages
//       below), then quits.

#include "ZuButton.h"
#include "ZuForm.h"
#include "ZuFormSnap.h"
#include "ZuListControl.h"
#include "ZuSlider.h"
#include "ZuWindow.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

using namespace tunola;

namespace {

struct Frame {
    const char* File;
    int Width, Height;
    TZuPiece Pieces[9]; // tl, tm, tr, bl, bm, br, lm, rm, tc
    TColor Color;
};

// The Default skin's frames, as its skin.xml gives them.
const Frame kMainFrame{"main_frame.png",
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
                        {0, 0, 0, 0}},
                       0x26201D};
const Frame kPlaylistFrame{"plist_frame.png",
                           464,
                           166,
                           {{0, 0, 24, 42},
                            {24, 0, 8, 42},
                            {136, 0, 24, 42},
                            {0, 50, 24, 12},
                            {24, 50, 8, 12},
                            {136, 50, 24, 12},
                            {0, 42, 14, 8},
                            {146, 42, 14, 8},
                            {32, 0, 96, 42}},
                           0x171310};
const Frame kLyricsFrame{"lrc_frame.png",
                         464,
                         128,
                         {{0, 0, 24, 42},
                          {24, 0, 8, 42},
                          {104, 0, 24, 42},
                          {0, 50, 24, 12},
                          {24, 50, 8, 12},
                          {104, 50, 24, 12},
                          {0, 42, 14, 8},
                          {114, 42, 14, 8},
                          {32, 0, 64, 42}},
                         0x171310};

class Demo {
public:
    explicit Demo(QString skinDir) : dir_(std::move(skinDir)) {
        main_ = MakeForm(kMainFrame, kZuTagLeader);
        playlist_ = MakeForm(kPlaylistFrame, kZuTagFree);
        lyrics_ = MakeForm(kLyricsFrame, kZuTagFree);
        main_->setWindowTitle(QStringLiteral("TunOla Main Window"));

        auto* mainForm = main_.get();
        Button(mainForm, "main_menu.png", {378, 4, 26, 22}, 52, 26);
        Button(mainForm, "main_min.png", {406, 4, 26, 22}, 52, 26)->OnClick = [](QWidget& b) {
            b.window()->showMinimized();
        };
        Button(mainForm, "main_close.png", {434, 4, 26, 22}, 52, 26)->OnClick = [](QWidget&) {
            QApplication::quit();
        };
        Button(mainForm, "main_previous.png", {22, 186, 36, 36}, 72, 36);
        next_ = Button(mainForm, "main_next.png", {118, 186, 36, 36}, 72, 36);
        play_ = Checked(mainForm, "main_play.png", {64, 180, 48, 48});
        sound_ = Checked(mainForm, "main_sound.png", {262, 192, 24, 24});
        list_ = Checked(mainForm, "main_list.png", {392, 190, 28, 28});
        Checked(mainForm, "main_library.png", {424, 190, 28, 28});
        for (TZuCheckedButton* toggle : {play_, sound_})
            toggle->OnClick = [toggle](QWidget&) { toggle->SetChecked(!toggle->Checked()); };
        list_->SetChecked(true);
        list_->OnClick = [this](QWidget&) {
            playlist_->setVisible(!playlist_->isVisible());
            list_->SetChecked(playlist_->isVisible());
        };
        progress_ = Slider(mainForm, "main_progress.png", {12, 156, 440, 14});
        progress_->SetMax(245);
        progress_->SetPosition(74);
        volume_ = Slider(mainForm, "main_volume.png", {290, 197, 84, 14});
        volume_->SetMax(100);
        volume_->SetPosition(70);

        Button(playlist_.get(), "plist_menu.png", {4, 4, 26, 22}, 52, 26);
        Button(playlist_.get(), "plist_close.png", {434, 4, 26, 22}, 52, 26)->OnClick =
            [this](QWidget&) {
                playlist_->hide();
                list_->SetChecked(false);
            };
        Button(lyrics_.get(), "lrc_later.png", {6, 5, 44, 20}, 88, 44);
        Button(lyrics_.get(), "lrc_earlier.png", {52, 5, 44, 20}, 88, 44);
        Button(lyrics_.get(), "lrc_desktop.png", {406, 4, 26, 22}, 52, 26);
        Button(lyrics_.get(), "lrc_close.png", {434, 4, 26, 22}, 52, 26)->OnClick =
            [this](QWidget&) { lyrics_->hide(); };

        // Placed as the player places them: the playlist and lyrics windows under the main one.
        main_->move(200, 100);
        playlist_->move(200, 100 + kMainFrame.Height);
        lyrics_->move(200, 100 + kMainFrame.Height + kPlaylistFrame.Height);
        MakeLists();
    }

    void Show() {
        for (TZuFormEx* form : {main_.get(), playlist_.get(), lyrics_.get()})
            form->show();
        lists_->show();
    }

    // The scene for the screenshots. Each step runs after the previous one has had time to
    // paint (and the buttons to fade).
    void PlayScript() {
        play_->SetChecked(true);
        Steps({
            [this] { QTest::mouseMove(next_, QPoint(18, 18)); },
            [] { Stage(1); }, // docked windows; "next" highlighted
            [this] {
                QTest::mouseMove(progress_, QPoint(300, 7));
                QTest::mousePress(progress_, Qt::LeftButton, {}, QPoint(300, 7));
                QTest::mouseMove(progress_, QPoint(330, 7));
            },
            [] { Stage(2); }, // progress thumb pressed at 74 s, its preview further on
            [this] {
                QTest::mouseRelease(progress_, Qt::LeftButton, {}, QPoint(330, 7));
                Drag(*main_, QPoint(300, 120), QPoint(150, 60), {});
            },
            [] { Stage(3); }, // the main window moved; the docked windows came along
            [this] {
                // Shift: the main window leaves its group; then the lyrics window is dragged
                // to 6 pixels right of the main window and 4 below its top, and docks there.
                Drag(*main_, QPoint(300, 120), QPoint(-120, 0), Qt::ShiftModifier);
                const QPoint target = main_->geometry().topRight() + QPoint(1 + 6, 4);
                Drag(*lyrics_, QPoint(230, 60), target - lyrics_->pos(), {});
            },
            [] { Stage(4); },
            [this] {
                // The result list: a wheel notch scrolls smoothly, a row is hovered, the
                // scroll bar's thumb is under the mouse.
                QWheelEvent wheel(QPointF(60, 60), results_->mapToGlobal(QPointF(60, 60)), {},
                                  {0, -120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
                QApplication::sendEvent(results_, &wheel);
            },
            [this] {
                results_->SetItemIndex(5);
                const TZuScrollBarLayout l = results_->ScrollBar().Layout();
                QTest::mouseMove(&results_->ScrollBar(),
                                 QPoint(8, l.ThumbStart + l.ThumbLength / 2));
            },
            [] { Stage(5); },
            [] { QApplication::quit(); },
        });
    }

private:
    // Search results as the library window lists them, in the three looks side by side.
    void MakeLists() {
        lists_ = std::make_unique<QWidget>();
        lists_->setWindowTitle(QStringLiteral("TunOla List Boxes"));
        lists_->setAutoFillBackground(true);
        QPalette back = lists_->palette();
        back.setColor(QPalette::Window, QColor(0x1D, 0x20, 0x26));
        lists_->setPalette(back);
        lists_->resize(3 * 270 + 40, 420);
        QStringList rows;
        const char* titles[] = {"月光", "Blue in Green", "夜曲",
                                "A Very Long Title That Does Not Fit In The Row At All", "So What"};
        const char* artists[] = {"小野", "Miles Davis", "周", "Someone", "Quartet"};
        for (int i = 0; i < 40; ++i)
            rows << QStringLiteral(" %1. ").arg(i + 1, 3) + QString::fromUtf8(titles[i % 5]) +
                        QStringLiteral(" - ") + QString::fromUtf8(artists[i % 5]);
        const TListControlGUI styles[] = {lcgFlat, lcgLowered, lcgIintaglio};
        for (int i = 0; i < 3; ++i) {
            auto* list = new TZuListBox(lists_.get());
            list->setGeometry(10 + i * 280, 10, 270, 400);
            list->SetGUIStyle(styles[i]);
            list->SetItems(rows);
            if (i == 0) {
                list->SetAutoItemHeight(false);
                list->SetItemHeight(22);
                list->setFont(QFont(QStringLiteral("Tahoma"), 9));
                list->SetItemIndex(2);
                list->SetActiveItem(4);
                results_ = list;
            } else {
                list->SetMultiSelect(true);
                list->SetFontColor(i == 2 ? 0x000000 : 0xC4BBB5);
                list->SetColor(i == 1 ? 0x404040 : 0xFFFFFF);
                for (int r : {1, 2, 3, 7})
                    list->SetSelected(r, true);
                list->SetActiveItem(5);
                list->SetItemIndex(3);
            }
        }
        lists_->move(200 + kMainFrame.Width + 10, 100);
    }

    std::unique_ptr<TZuFormEx> MakeForm(const Frame& frame, int tag) {
        auto form = std::make_unique<TZuFormEx>();
        form->SetTag(tag);
        form->resize(frame.Width, frame.Height);
        auto* background = new TZuWindow(form.get());
        background->setEnabled(false); // presses on the background drag the window
        background->Image().LoadFromFile(dir_ + "/" + frame.File);
        const TZuPiece* p = frame.Pieces;
        background->SetTopLeft(p[0].X, p[0].Y, p[0].W, p[0].H);
        background->SetTopMiddle(p[1].X, p[1].Y, p[1].W, p[1].H);
        background->SetTopRight(p[2].X, p[2].Y, p[2].W, p[2].H);
        background->SetBottomLeft(p[3].X, p[3].Y, p[3].W, p[3].H);
        background->SetBottomMiddle(p[4].X, p[4].Y, p[4].W, p[4].H);
        background->SetBottomRight(p[5].X, p[5].Y, p[5].W, p[5].H);
        background->SetLeftMiddle(p[6].X, p[6].Y, p[6].W, p[6].H);
        background->SetRightMiddle(p[7].X, p[7].Y, p[7].W, p[7].H);
        background->SetTitleCenter(p[8].X, p[8].Y, p[8].W, p[8].H);
        background->SetColor(frame.Color);
        background->RebuildRegions(true);
        // The window's own edge hit-test: resize cursors on the border, resizing on a press.
        TZuFormEx* raw = form.get();
        form->OnMouseMove = [raw](QWidget&, Qt::KeyboardModifiers, int x, int y) {
            if (raw->windowState() == Qt::WindowNoState)
                HitTestBorder(*raw, x, y, false, 6);
        };
        form->OnMouseDown = [raw](QWidget&, Qt::MouseButton button, Qt::KeyboardModifiers, int x,
                                  int y) {
            if (button == Qt::LeftButton && raw->windowState() == Qt::WindowNoState)
                HitTestBorder(*raw, x, y, true, 6);
        };
        return form;
    }

    TZuButton* Button(QWidget* parent, const char* file, QRect bounds, int pressedX,
                      int highlightedX) {
        auto* button = new TZuButton(parent);
        Setup(*button, file, bounds, pressedX, highlightedX);
        return button;
    }

    // Checked buttons: the checked pictures in the second row.
    TZuCheckedButton* Checked(QWidget* parent, const char* file, QRect bounds) {
        auto* button = new TZuCheckedButton(parent);
        const int w = bounds.width();
        const int h = bounds.height();
        Setup(*button, file, bounds, 2 * w, w);
        button->SetCheckedY(int16_t(h));
        button->SetCheckedPX(int16_t(2 * w));
        button->SetCheckedPY(int16_t(h));
        button->SetCheckedHX(int16_t(w));
        button->SetCheckedHY(int16_t(h));
        return button;
    }

    void Setup(TZuButton& button, const char* file, QRect bounds, int pressedX, int highlightedX) {
        button.setGeometry(bounds);
        button.SetPressedX(int16_t(pressedX));
        button.SetHighlightedX(int16_t(highlightedX));
        button.SetFade(6);
        button.Image().LoadFromFile(dir_ + "/" + file);
    }

    TZuSliderBlendEx* Slider(QWidget* parent, const char* file, QRect bounds) {
        auto* slider = new TZuSliderBlendEx(parent);
        slider->setGeometry(bounds);
        slider->SetNormalY(28);
        slider->SetPressedX(28);
        slider->SetPressedY(28);
        slider->SetHighlightedX(14);
        slider->SetHighlightedY(28);
        slider->SetSliderW(14);
        slider->SetSliderH(14);
        slider->SetTileA(0, 0, int16_t(bounds.width()), 14);
        slider->SetTileB(0, 14, int16_t(bounds.width()), 14);
        slider->SetBorder(3);
        slider->SetStyle(ssMix);
        slider->Image().LoadFromFile(dir_ + "/" + file);
        return slider;
    }

    // Drags a form by `delta` from its client point `grip`, in a few steps as a hand would.
    static void Drag(TZuForm& form, QPoint grip, QPoint delta, Qt::KeyboardModifiers keys) {
        const QPoint start = form.mapToGlobal(grip);
        QTest::mouseMove(&form, grip);
        QTest::mousePress(&form, Qt::LeftButton, keys, grip);
        constexpr int kSteps = 8;
        for (int i = 1; i <= kSteps; ++i) {
            const QPoint at = start + delta * i / kSteps;
            QTest::mouseEvent(QTest::MouseMove, &form, Qt::NoButton, keys, form.mapFromGlobal(at));
        }
        QTest::mouseRelease(&form, Qt::LeftButton, keys, form.mapFromGlobal(start + delta));
    }

    static void Stage(int n) {
        std::printf("STAGE %d\n", n);
        std::fflush(stdout);
    }

    // Runs the steps one after another, 1.5 s apart (time for a screenshot).
    void Steps(std::vector<std::function<void()>> steps) {
        steps_ = std::move(steps);
        auto* timer = new QTimer(main_.get());
        timer->setInterval(1500);
        QObject::connect(timer, &QTimer::timeout, [this, timer] {
            if (next_step_ >= steps_.size()) {
                timer->stop();
                return;
            }
            steps_[next_step_++]();
        });
        timer->start();
    }

    QString dir_;
    std::unique_ptr<TZuFormEx> main_, playlist_, lyrics_;
    std::unique_ptr<QWidget> lists_;
    TZuListBox* results_ = nullptr;
    TZuButton* next_ = nullptr;
    TZuCheckedButton* play_ = nullptr;
    TZuCheckedButton* sound_ = nullptr;
    TZuCheckedButton* list_ = nullptr;
    TZuSliderBlendEx* progress_ = nullptr;
    TZuSliderBlendEx* volume_ = nullptr;
    std::vector<std::function<void()>> steps_;
    size_t next_step_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QStringList args = QApplication::arguments().mid(1);
    const bool script = args.removeAll(QStringLiteral("--script")) > 0;
    const QString dir =
        args.isEmpty() ? QStringLiteral(TUNOLA_TEST_SOURCE_DIR "/data/skin/Default") : args.first();
    if (!QDir(dir).exists()) {
        std::fprintf(stderr, "no skin folder %s\n", qPrintable(dir));
        return 1;
    }
    Demo demo(dir);
    demo.Show();
    if (script)
        demo.PlayScript();
    return app.exec();
}
