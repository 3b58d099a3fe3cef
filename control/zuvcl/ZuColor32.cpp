#include "ZuColor32.h"

#include <QGuiApplication>
#include <QPalette>

#include <array>
#include <optional>

namespace tunola {

namespace {

struct SystemColorRole {
    QPalette::ColorGroup Group;
    QPalette::ColorRole Role;
};

// The platform's system colour table by index, mapped onto the palette roles that paint the
// same kind of surface. Index 25 has never named a colour; it stays black.
constexpr int kSystemColorCount = 31;
constexpr std::array<std::optional<SystemColorRole>, kSystemColorCount> kSystemColorRoles = {{
    SystemColorRole{QPalette::Active, QPalette::Button},            // scroll bar
    SystemColorRole{QPalette::Active, QPalette::Dark},              // desktop
    SystemColorRole{QPalette::Active, QPalette::Highlight},         // active caption
    SystemColorRole{QPalette::Inactive, QPalette::Highlight},       // inactive caption
    SystemColorRole{QPalette::Active, QPalette::Window},            // menu
    SystemColorRole{QPalette::Active, QPalette::Base},              // window
    SystemColorRole{QPalette::Active, QPalette::Shadow},            // window frame
    SystemColorRole{QPalette::Active, QPalette::WindowText},        // menu text
    SystemColorRole{QPalette::Active, QPalette::Text},              // window text
    SystemColorRole{QPalette::Active, QPalette::HighlightedText},   // caption text
    SystemColorRole{QPalette::Active, QPalette::Window},            // active border
    SystemColorRole{QPalette::Inactive, QPalette::Window},          // inactive border
    SystemColorRole{QPalette::Active, QPalette::Mid},               // application workspace
    SystemColorRole{QPalette::Active, QPalette::Highlight},         // highlight
    SystemColorRole{QPalette::Active, QPalette::HighlightedText},   // highlight text
    SystemColorRole{QPalette::Active, QPalette::Button},            // button face
    SystemColorRole{QPalette::Active, QPalette::Dark},              // button shadow
    SystemColorRole{QPalette::Disabled, QPalette::Text},            // grey text
    SystemColorRole{QPalette::Active, QPalette::ButtonText},        // button text
    SystemColorRole{QPalette::Inactive, QPalette::HighlightedText}, // inactive caption text
    SystemColorRole{QPalette::Active, QPalette::Light},             // button highlight
    SystemColorRole{QPalette::Active, QPalette::Shadow},            // 3-D dark shadow
    SystemColorRole{QPalette::Active, QPalette::Midlight},          // 3-D light
    SystemColorRole{QPalette::Active, QPalette::ToolTipText},       // tooltip text
    SystemColorRole{QPalette::Active, QPalette::ToolTipBase},       // tooltip background
    std::nullopt,                                                   // (unused index)
    SystemColorRole{QPalette::Active, QPalette::Link},              // hot-tracked item
    SystemColorRole{QPalette::Active, QPalette::Highlight},         // caption gradient
    SystemColorRole{QPalette::Inactive, QPalette::Highlight},       // inactive caption gradient
    SystemColorRole{QPalette::Active, QPalette::Highlight},         // menu highlight
    SystemColorRole{QPalette::Active, QPalette::Window},            // menu bar
}};

TColor32 FromPlatformRgb(TColor color) {
    const uint32_t bgr = uint32_t(color);
    return 0xFF000000u | ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF);
}

TColor32 SystemColor(TColor color, const QPalette& palette) {
    const int index = color & 0xFF;
    if (index >= kSystemColorCount || !kSystemColorRoles[index])
        return 0xFF000000u;
    const SystemColorRole& role = *kSystemColorRoles[index];
    return 0xFF000000u | (palette.color(role.Group, role.Role).rgb() & 0x00FFFFFFu);
}

} // namespace

TColor32 Color32(TColor color, const QPalette& palette) {
    return color < 0 ? SystemColor(color, palette) : FromPlatformRgb(color);
}

TColor32 Color32(TColor color) {
    return color < 0 ? SystemColor(color, QGuiApplication::palette()) : FromPlatformRgb(color);
}

} // namespace tunola
