#include "ControlsTestSupport.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <cctype>
#include <memory>

namespace tunola::testing_support {

namespace {

// The application lives from the first widget test to the end of the run, and goes while the
// rest of Qt is still there (a static one would be destroyed after Qt's own thread storage).
class WidgetApplication : public ::testing::Environment {
public:
    void TearDown() override { app_.reset(); }
    void Start() {
        static int argc = 1;
        static char name[] = "zuvcl_controls_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QApplication>(argc, argv);
    }

private:
    std::unique_ptr<QApplication> app_;
};

} // namespace

void EnsureWidgetApplication() {
    if (QApplication::instance())
        return;
    static WidgetApplication* environment = [] {
        auto* e = new WidgetApplication;
        ::testing::AddGlobalTestEnvironment(e); // owned by GoogleTest
        return e;
    }();
    environment->Start();
}

void PaintPiece(TZuBitmap32& image, const TZuPiece& piece, char letter, uint8_t alpha) {
    for (int y = 0; y < piece.H; ++y)
        for (int x = 0; x < piece.W; ++x)
            *image.PixelPtr(piece.X + x, piece.Y + y) = Tagged(letter, x, y, alpha);
}

void PaintStrip(TZuBitmap32& image, int32_t x, int32_t y, const std::string& pattern) {
    for (size_t i = 0; i < pattern.size(); ++i) {
        const auto c = static_cast<unsigned char>(pattern[i]);
        const bool first = std::isupper(c);
        *image.PixelPtr(x + int32_t(i), y) = Tagged(char(std::tolower(c)), first ? 0 : 1, 0);
    }
}

namespace {

char CharOf(TColor32 pixel, char blank) {
    const char letter = char((pixel >> 16) & 0xFF);
    if (!std::isalpha(static_cast<unsigned char>(letter)) && letter != '<' && letter != '>' &&
        letter != '[' && letter != ']')
        return blank;
    const bool first = ((pixel >> 8) & 0xFF) == 0;
    return first ? char(std::toupper(static_cast<unsigned char>(letter))) : letter;
}

} // namespace

std::string TaggedRow(const TZuBitmap32& bitmap, int32_t y, char blank) {
    std::string row;
    for (int32_t x = 0; x < bitmap.Width(); ++x)
        row += CharOf(bitmap.ScanLine(y)[x], blank);
    return row;
}

std::string TaggedColumn(const TZuBitmap32& bitmap, int32_t x, char blank) {
    std::string column;
    for (int32_t y = 0; y < bitmap.Height(); ++y)
        column += CharOf(bitmap.ScanLine(y)[x], blank);
    return column;
}

QImage Grab(QWidget& widget) {
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

TColor32 GrabPixel(QWidget& widget, int x, int y) {
    return Grab(widget).pixel(x, y);
}

void ShowAndWait(QWidget& widget) {
    widget.show();
    (void)QTest::qWaitForWindowExposed(&widget);
}

} // namespace tunola::testing_support
