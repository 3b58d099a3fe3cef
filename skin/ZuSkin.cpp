#include "ZuSkin.h"

#include "ZuAnchorKeeper.h"
#include "ZuSkinAppliers.h"
#include "ZuSkinReader.h"

#include <AtomicFile.h>

#include <QLoggingCategory>

#include <exception>
#include <filesystem>
#include <system_error>
#include <type_traits>
#include <variant>
#include <vector>

Q_LOGGING_CATEGORY(lcSkin, "tunola.skin", QtCriticalMsg)

namespace tunola {

namespace {

// A skin file is a few kilobytes; anything near this is not one.
constexpr uintmax_t kMaxSkinFileSize = 4u << 20;

// Bounds and anchors of a control the element places.
template <class TElement> void Place(const TElement& e, QWidget& control) {
    if constexpr (requires { e.Bounds; }) {
        control.setGeometry(e.Bounds.X, e.Bounds.Y, e.Bounds.W, e.Bounds.H);
        QWidget* parent = control.parentWidget();
        if (!parent)
            return;
        if (e.Anchors != kAnchorsLeftTop)
            TZuAnchorKeeper::Of(*parent).SetAnchors(control, e.Anchors);
        else if (TZuAnchorKeeper* keeper = TZuAnchorKeeper::Find(*parent))
            keeper->SetAnchors(control, e.Anchors);
    } else if constexpr (std::is_same_v<TElement, TZuSkinDesktopLrc>) {
        if (e.H > 0)
            control.resize(control.width(), e.H);
    }
}

} // namespace

TZuSkin::TZuSkin() {
    Applier<TZuSkinButton>() = ApplySkinButton;
    Applier<TZuSkinLabel>() = ApplySkinLabel;
    Applier<TZuSkinScrollText>() = ApplySkinScrollText;
    Applier<TZuSkinSlider>() = ApplySkinSlider;
    Applier<TZuSkinPanel>() = ApplySkinPanel;
    Applier<TZuSkinTab>() = ApplySkinTab;
}

void TZuSkin::RegisterWindow(TZuSkinWindowId id, QWidget* window) {
    windows_[size_t(id)] = window;
}

template <class TElement>
void TZuSkin::ApplyElement(const TElement& e, TZuSkinLoadResult& result,
                           TZuSkinPictures& pictures) {
    QWidget* window = Window(e.Target.Window);
    QWidget* control = window && !e.Target.Component.empty()
                           ? FindSkinControl(*window, e.Target.Component)
                           : window;
    if (!control) {
        result.Unreached.push_back(SkinTargetName(e.Target));
        return;
    }
    TZuSkinContext context(*window, e.Target, result, pictures);
    Place(e, *control);
    if (const TZuSkinApplier<TElement>& applier = Applier<TElement>())
        applier(e, *control, context);
    ++result.Applied;
}

void TZuSkin::ApplyWindowElement(const TZuSkinWindow& e, TZuSkinLoadResult& result,
                                 TZuSkinPictures& pictures) {
    QWidget* form = Window(e.Target.Window);
    if (!form) {
        result.Unreached.emplace_back(SkinWindowName(e.Target.Window));
        return;
    }
    TZuSkinContext context(*form, e.Target, result, pictures);
    ApplySkinWindow(e, *form, context);
    ++result.Applied;
}

void TZuSkin::Apply(const TZuSkinDocument& document, TZuSkinLoadResult& result) {
    result.Status = document.Status;
    result.WellFormed = document.WellFormed;
    result.Skipped = document.Skipped;
    // Pictures live as long as this load; the controls keep sharing theirs after it.
    TZuSkinPictures pictures;
    for (const TZuSkinElement& element : document.Elements) {
        const TZuSkinTarget& target =
            std::visit([](const auto& e) -> const TZuSkinTarget& { return e.Target; }, element);
        // One element going wrong must not cost the rest of the skin.
        try {
            std::visit(
                [&](const auto& e) {
                    if constexpr (std::is_same_v<std::decay_t<decltype(e)>, TZuSkinWindow>)
                        ApplyWindowElement(e, result, pictures);
                    else
                        ApplyElement(e, result, pictures);
                },
                element);
        } catch (const std::exception& error) {
            result.Failures.push_back(SkinTargetName(target) + ": " + error.what());
        } catch (...) {
            result.Failures.push_back(SkinTargetName(target) + ": unknown error");
        }
    }
    for (const TZuSkinSkip& skip : result.Skipped)
        qCDebug(lcSkin) << "line" << skip.Line << "element" << skip.Element.c_str() << "id"
                        << skip.Id.c_str() << "passed over, reason" << int(skip.Reason);
    for (const std::string& where : result.Unreached)
        qCDebug(lcSkin) << "no control for" << where.c_str();
    for (const std::string& failure : result.ImageFailures)
        qCDebug(lcSkin) << "picture left out:" << failure.c_str();
    for (const std::string& failure : result.Failures)
        qCDebug(lcSkin) << "element failed:" << failure.c_str();
}

bool TZuSkin::LoadSkin(const std::string& path, TZuSkinLoadResult* result) {
    TZuSkinLoadResult local;
    TZuSkinLoadResult& out = result ? *result : local;
    out = {};
    try {
        // Only a regular file of a sensible size: a pipe or a device named skin.xml must not
        // block or flood the player.
        const std::filesystem::path file = PathFromUtf8(path);
        std::error_code error;
        if (!std::filesystem::is_regular_file(file, error))
            return true;
        const uintmax_t size = std::filesystem::file_size(file, error);
        if (error || size > kMaxSkinFileSize)
            return true;
        std::string bytes;
        if (!ReadWholeFile(file, bytes))
            return true;

        const size_t slash = path.find_last_of("/\\");
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        const TZuSkinDocument document = ReadSkin(bytes, folder);
        out.Status = document.Status;
        if (document.Status == TZuSkinDocument::TStatus::WrongVersion)
            return false;
        Apply(document, out);
    } catch (const std::exception& error) {
        out.Failures.push_back(std::string("skin file: ") + error.what());
    }
    return true;
}

} // namespace tunola
