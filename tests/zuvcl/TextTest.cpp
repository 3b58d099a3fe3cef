// Measuring and drawing text in TZuBitmapEx32.

#include "GuiApp.h"
#include "ZuBitmap32.h"

#include <gtest/gtest.h>

namespace tunola {
namespace {

class BitmapText : public testing::Test {
protected:
    void SetUp() override {
        testing_support::EnsureGuiApplication();
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(14);
        empty_.SetFont(font);
        sized_.SetFont(font);
        sized_.SetSize(40, 20);
    }
    TZuBitmapEx32 empty_, sized_;
};

TEST_F(BitmapText, WithoutPixelsEveryCrLfAddsALineAndTwoPixels) {
    for (const QString& text : {QStringLiteral("Tunola"), QStringLiteral("ab\r\ncd"),
                                QStringLiteral("\r\n\r\nx\n"), QStringLiteral("歌词\r\n")}) {
        const QSize line = sized_.TextExtent(text);
        const int breaks = int(text.count(QStringLiteral("\r\n")));
        EXPECT_GT(line.height(), 0);
        EXPECT_EQ(empty_.TextExtent(text),
                  QSize(line.width() + 2 * breaks, line.height() * (breaks + 1)))
            << text.toStdString();
        EXPECT_EQ(empty_.TextWidth(text), line.width() + 2 * breaks);
    }
    EXPECT_GT(sized_.TextWidth(QStringLiteral("WWW")), sized_.TextWidth(QStringLiteral("W")));
}

TEST_F(BitmapText, TextOutDrawsInTheFontColourAndKeepsAlphaMeaningful) {
    sized_.SetFontColor(0x0000FF); // red
    sized_.Clear(0xFFFFFFFFu);
    sized_.TextOut(2, 2, QStringLiteral("Hi"));
    int inked = 0;
    for (int32_t i = 0; i < 40 * 20; ++i) {
        const TColor32 p = sized_.Bits()[i];
        EXPECT_EQ(p >> 24, 255u); // over opaque pixels the result stays opaque
        inked += (p & 0xFFFFFF) == 0xFF0000;
    }
    EXPECT_GT(inked, 5);
    EXPECT_EQ(sized_.ScanLine(0)[0], 0xFFFFFFFFu); // nothing above the text's top

    // Over transparent pixels the text leaves its own coverage as alpha, in straight colour.
    sized_.Clear(0);
    sized_.TextOut(2, 2, QStringLiteral("Hi"));
    int solid = 0;
    for (int32_t i = 0; i < 40 * 20; ++i) {
        const TColor32 p = sized_.Bits()[i];
        if (p >> 24 == 255) {
            EXPECT_EQ(p, 0xFFFF0000u);
            ++solid;
        }
    }
    EXPECT_GT(solid, 5);
}

} // namespace
} // namespace tunola
