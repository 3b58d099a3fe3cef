#include "ZuSkinContext.h"

#include <AtomicFile.h>
#include <ZuBitmap32.h>
#include <ZuBmpReader.h>
#include <ZuPngReader.h>

#include <cctype>
#include <filesystem>
#include <span>

#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace tunola {

std::string SkinTargetName(const TZuSkinTarget& target) {
    std::string name(SkinWindowName(target.Window));
    if (!target.Component.empty())
        name += "/" + target.Component;
    return name;
}

QString SkinComponentName(std::string_view component) {
    return QString::fromUtf8(component.data(), qsizetype(component.size()));
}

QWidget* FindSkinControl(const QWidget& window, std::string_view name) {
    const QString wanted = SkinComponentName(name);
    // Breadth first, and not into other windows: a window made a child of another (to keep
    // them together on the task bar) keeps its components to itself.
    std::vector<const QObject*> level{&window};
    while (!level.empty()) {
        std::vector<const QObject*> next;
        for (const QObject* parent : level)
            for (QObject* child : parent->children()) {
                auto* widget = qobject_cast<QWidget*>(child);
                if (!widget || widget->isWindow())
                    continue;
                if (widget->objectName() == wanted)
                    return widget;
                next.push_back(widget);
            }
        level = std::move(next);
    }
    return nullptr;
}

QWidget* TZuSkinContext::Control(std::string_view name) const {
    return FindSkinControl(window_, name);
}

bool TZuSkinContext::LoadPicture(const TZuSkinImage& image, TZuBitmap32& picture) {
    if (!image) {
        result_.ImageFailures.push_back(SkinTargetName(target_) +
                                        ": no picture named in the skin folder");
        return false;
    }
    try {
        picture.Share(pictures_.Get(*image));
        return true;
    } catch (const std::exception& error) {
        result_.ImageFailures.push_back(SkinTargetName(target_) + ": " + *image + ": " +
                                        error.what());
    }
    return false;
}

namespace {

// Files larger than this are not pictures a skin would hold.
constexpr uintmax_t kMaxPictureFileSize = uintmax_t(256) << 20;

// The file is read by its bytes, not through a QString: a skin folder's name need not be
// UTF-8 (one unpacked from a Windows zip), and only the bytes name it.
TZuRasterImage ReadPicture(const std::string& path, const TZuImageLimits& limits) {
    const std::filesystem::path file = PathFromUtf8(path);
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error))
        throw EZuBitmapError("Cannot open file \"" + path + "\": not a regular file");
    const uintmax_t size = std::filesystem::file_size(file, error);
    if (error || size > kMaxPictureFileSize)
        throw EZuBitmapError("File \"" + path + "\" is too large");
    std::string bytes;
    if (!ReadWholeFile(file, bytes))
        throw EZuBitmapError("Cannot read file \"" + path + "\"");
    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.data()),
                                        bytes.size());
    const size_t dot = path.find_last_of('.');
    std::string suffix = dot == std::string::npos ? "" : path.substr(dot + 1);
    for (char& c : suffix)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return suffix == "png" ? ReadPng(data, limits) : ReadBmp(data, limits);
}

} // namespace

const TZuBitmap32& TZuSkinPictures::Get(const std::string& path) {
    if (const auto it = decoded_.find(path); it != decoded_.end())
        return *it->second;
    if (const auto it = failed_.find(path); it != failed_.end())
        throw EZuBitmapError(it->second);
    try {
        const int64_t left = kMaxPixels - pixels_;
        if (left <= 0)
            throw EZuBitmapError("the skin's pictures are too large together");
        TZuImageLimits limits;
        limits.MaxPixels = std::min(limits.MaxPixels, left);
        auto picture = std::make_unique<TZuBitmap32>();
        picture->Assign(ReadPicture(path, limits));
        pixels_ += int64_t(picture->Width()) * picture->Height();
        return *decoded_.emplace(path, std::move(picture)).first->second;
    } catch (const std::exception& error) {
        failed_.emplace(path, error.what());
        throw;
    }
}

} // namespace tunola
