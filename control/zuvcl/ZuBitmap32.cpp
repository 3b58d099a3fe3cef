#include "ZuBitmap32.h"

#include "ZuBmpReader.h"
#include "ZuPngReader.h"

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <vector>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace tunola {

namespace {

static_assert(std::endian::native == std::endian::little,
              "TColor32 pixels are B, G, R, A in memory only on little-endian processors");

// Pixel rows start on cache lines, which suits the vector loops.
constexpr std::align_val_t kPixelAlignment{64};
// One gibibyte of pixels; larger requests fail like a failed allocation.
constexpr uint64_t kMaxPixels = uint64_t(1) << 28;
// CopyToDC converts this many pixels at a time.
constexpr int64_t kBandPixels = 32 * 1024;
// Files larger than this are not pictures a skin would hold.
constexpr qint64 kMaxFileSize = qint64(256) << 20;

constexpr char kDataFormatError[] = "Invalid bitmap data";

void PutInt32(QByteArray& out, int32_t v) {
    const uint32_t u = uint32_t(v);
    const char bytes[4] = {char(u & 0xFF), char((u >> 8) & 0xFF), char((u >> 16) & 0xFF),
                           char(u >> 24)};
    out.append(bytes, 4);
}

int32_t GetInt32(QByteArrayView in, qsizetype at) {
    const auto* b = reinterpret_cast<const uint8_t*>(in.data()) + at;
    return int32_t(uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 |
                   uint32_t(b[3]) << 24);
}

} // namespace

void TZuBitmap32::PixelDeleter::operator()(TColor32* pixels) const {
    ::operator delete[](pixels, kPixelAlignment);
}

TZuBitmap32::TZuBitmap32() = default;

TZuBitmap32::~TZuBitmap32() {
    // No events from a dying bitmap: only the memory goes, under the lock of any sharer.
    Lock();
    ReleasePixels();
    StoreSize(0, 0);
    Unlock();
}

bool TZuBitmap32::Empty() const {
    return !pixels_ || TZuCustomMap::Empty();
}

void TZuBitmap32::SetOpacity(uint8_t opacity) {
    if (opacity == opacity_)
        return;
    opacity_ = opacity;
    Changed();
}

void TZuBitmap32::ReleasePixels() {
    surface_.reset();
    pixels_.reset();
}

std::shared_ptr<TColor32> TZuBitmap32::NewPixels(uint64_t count) {
    if (count > kMaxPixels)
        throw EZuBitmapError("Can't allocate DIB handle");
    auto* memory = static_cast<TColor32*>(
        ::operator new[](count * sizeof(TColor32), kPixelAlignment, std::nothrow));
    if (!memory)
        throw EZuBitmapError("Can't allocate DIB handle");
    return std::shared_ptr<TColor32>(memory, PixelDeleter());
}

std::unique_ptr<QImage> TZuBitmap32::MakeSurface(TColor32* memory, int32_t width, int32_t height) {
    auto surface = std::make_unique<QImage>(reinterpret_cast<uchar*>(memory), width, height,
                                            qsizetype(width) * 4, QImage::Format_ARGB32);
    if (surface->isNull() || surface->constBits() != reinterpret_cast<uchar*>(memory))
        throw EZuBitmapError("Can't create compatible DC");
    return surface;
}

void TZuBitmap32::ChangeSize(int32_t width, int32_t height) {
    ReleasePixels();
    StoreSize(0, 0);
    if (width <= 0 || height <= 0) {
        StoreSize(width, height);
        return;
    }
    const uint64_t count = uint64_t(width) * uint64_t(height);
    std::shared_ptr<TColor32> pixels = NewPixels(count);
    std::memset(pixels.get(), 0, count * sizeof(TColor32));
    auto surface = MakeSurface(pixels.get(), width, height);
    pixels_ = std::move(pixels);
    surface_ = std::move(surface);
    StoreSize(width, height);
}

void TZuBitmap32::Detach() {
    if (!SharesPixels())
        return;
    const uint64_t count = uint64_t(Width()) * uint64_t(Height());
    std::shared_ptr<TColor32> pixels = NewPixels(count);
    std::memcpy(pixels.get(), pixels_.get(), count * sizeof(TColor32));
    surface_ = MakeSurface(pixels.get(), Width(), Height());
    pixels_ = std::move(pixels);
}

void TZuBitmap32::Share(const TZuBitmap32& source) {
    if (&source == this || (pixels_ && pixels_ == source.pixels_))
        return;
    if (source.Empty()) {
        SetSize(source.Width(), source.Height());
        Changed();
        return;
    }
    // The surface lies over the shared pixels; writing through it detaches first (Surface).
    auto surface = MakeSurface(source.pixels_.get(), source.Width(), source.Height());
    Lock();
    ReleasePixels();
    pixels_ = source.pixels_;
    surface_ = std::move(surface);
    StoreSize(source.Width(), source.Height());
    Unlock();
    Changed();
}

void TZuBitmap32::Clear(TColor32 color) {
    if (!Empty())
        BlendRoutines().FillLongword(Bits(), Width() * Height(), color);
    Changed();
}

void TZuBitmap32::FillRect(const TZuRect& rect, TColor32 color) {
    const TZuRect r = ZuIntersect(rect, BoundsRect());
    if (!Empty() && !r.IsEmpty()) {
        const auto& fill = BlendRoutines().FillLongword;
        for (int32_t y = r.Top; y < r.Bottom; ++y)
            fill(PixelPtr(r.Left, y), int32_t(r.Width()), color);
    }
    Changed();
}

void TZuBitmap32::HorzLine(int32_t x1, int32_t y, int32_t x2, TColor32 color) {
    if (Empty() || y < 0 || y >= Height())
        return;
    const int32_t from = std::max(x1, 0);
    const int32_t to = std::min(x2, Width() - 1);
    if (from <= to)
        BlendRoutines().FillLongword(PixelPtr(from, y), to - from + 1, color);
}

void TZuBitmap32::VertLine(int32_t x, int32_t y1, int32_t y2, TColor32 color) {
    if (Empty() || x < 0 || x >= Width())
        return;
    const int32_t to = std::min(y2, Height() - 1);
    for (int32_t y = std::max(y1, 0); y <= to; ++y)
        *PixelPtr(x, y) = color;
}

void TZuBitmap32::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2, TColor32 color,
                       bool includeLast) {
    auto plot = [&](int64_t x, int64_t y) {
        if (!Empty() && x >= 0 && y >= 0 && x < Width() && y < Height())
            *PixelPtr(int32_t(x), int32_t(y)) = color;
    };
    const int64_t dx = int64_t(x2) - x1;
    const int64_t dy = int64_t(y2) - y1;
    if (dx == 0 || dy == 0) {
        if (dx > 0)
            HorzLine(x1, y1, x2 - 1, color);
        else if (dx < 0)
            HorzLine(x2 + 1, y1, x1, color);
        else if (dy > 0)
            VertLine(x1, y1, y2 - 1, color);
        else if (dy < 0)
            VertLine(x1, y2 + 1, y1, color);
    } else {
        const int64_t sx = dx > 0 ? 1 : -1;
        const int64_t sy = dy > 0 ? 1 : -1;
        const int64_t major = std::max(std::abs(dx), std::abs(dy));
        const int64_t minor = std::min(std::abs(dx), std::abs(dy));
        const bool alongX = std::abs(dx) >= std::abs(dy);
        int64_t x = x1;
        int64_t y = y1;
        int64_t error = major / 2;
        for (int64_t i = 0; i < major; ++i) {
            plot(x, y);
            error -= minor;
            if (error < 0) {
                error += major;
                if (alongX)
                    y += sy;
                else
                    x += sx;
            }
            if (alongX)
                x += sx;
            else
                y += sy;
        }
    }
    if (includeLast)
        plot(x2, y2);
    Changed();
}

void TZuBitmap32::MoveTo(int32_t x, int32_t y) {
    penX_ = x;
    penY_ = y;
}

void TZuBitmap32::LineTo(int32_t x, int32_t y, TColor32 color) {
    Line(penX_, penY_, x, y, color, false);
    MoveTo(x, y);
}

void TZuBitmap32::SetAllAlpha(uint8_t alpha) {
    if (!Empty()) {
        const uint32_t a = uint32_t(alpha) << 24;
        TColor32* p = Bits();
        const int64_t count = int64_t(Width()) * Height();
        for (int64_t i = 0; i < count; ++i)
            p[i] = (p[i] & 0x00FFFFFFu) | a;
    }
    Changed();
}

void TZuBitmap32::Assign(const TZuBitmap32* source) {
    if (source == this)
        return;
    BeginUpdate();
    try {
        if (!source || source->Empty()) {
            SetSize(source ? source->Width() : 0, source ? source->Height() : 0);
        } else {
            SetSize(source->Width(), source->Height());
            std::memcpy(Bits(), source->Bits(),
                        size_t(Width()) * size_t(Height()) * sizeof(TColor32));
        }
        if (source)
            SetOpacity(source->Opacity());
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Changed();
}

void TZuBitmap32::Assign(const TZuRasterImage& image) {
    if (image.Width < 0 || image.Height < 0 ||
        image.Pixels.size() != size_t(image.Width) * size_t(image.Height))
        throw EZuBitmapError("Invalid image");
    BeginUpdate();
    try {
        SetSize(image.Width, image.Height);
        if (!Empty()) {
            TColor32* p = Bits();
            std::copy(image.Pixels.begin(), image.Pixels.end(), p);
            const size_t count = image.Pixels.size();
            if (!image.HasAlpha)
                for (size_t i = 0; i < count; ++i)
                    p[i] |= 0xFF000000u;
            if (image.Transparent) {
                const TColor32 key = Color32(image.TransparentColor) & 0x00FFFFFFu;
                for (size_t i = 0; i < count; ++i)
                    if ((p[i] & 0x00FFFFFFu) == key)
                        p[i] = key;
            }
        }
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Changed();
}

void TZuBitmap32::Assign(const QImage& image) {
    const QImage argb = image.format() == QImage::Format_ARGB32
                            ? image
                            : image.convertToFormat(QImage::Format_ARGB32);
    if (!image.isNull() && argb.isNull())
        throw EZuBitmapError("Can't allocate DIB handle");
    BeginUpdate();
    try {
        SetSize(argb.width(), argb.height());
        for (int32_t y = 0; y < Height() && !Empty(); ++y)
            std::memcpy(ScanLine(y), argb.constScanLine(y), size_t(Width()) * sizeof(TColor32));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Changed();
}

void TZuBitmap32::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw EZuBitmapError(QStringLiteral("Cannot open file \"%1\": %2")
                                 .arg(fileName, file.errorString())
                                 .toStdString());
    // Pictures are regular files; a device or pipe has no size to check before reading.
    if (file.isSequential())
        throw EZuBitmapError(
            QStringLiteral("File \"%1\" is not a regular file").arg(fileName).toStdString());
    const qint64 size = file.size();
    if (size > kMaxFileSize)
        throw EZuBitmapError(
            QStringLiteral("File \"%1\" is too large").arg(fileName).toStdString());
    const QByteArray bytes = file.read(size);
    if (file.error() != QFileDevice::NoError)
        throw EZuBitmapError(QStringLiteral("Cannot read file \"%1\": %2")
                                 .arg(fileName, file.errorString())
                                 .toStdString());

    const std::span<const uint8_t> data(reinterpret_cast<const uint8_t*>(bytes.constData()),
                                        size_t(bytes.size()));
    const bool png =
        QFileInfo(fileName).suffix().compare(QLatin1String("png"), Qt::CaseInsensitive) == 0;
    Assign(png ? ReadPng(data) : ReadBmp(data));
}

void TZuBitmap32::Draw(TZuBitmap32& dst, int32_t x, int32_t y, const TZuRect& srcRect) const {
    DrawBlended(dst, x, y, opacity_, srcRect);
}

void TZuBitmap32::Draw(TZuBitmap32& dst, int32_t x, int32_t y) const {
    DrawBlended(dst, x, y, opacity_, BoundsRect());
}

void TZuBitmap32::DrawBlended(TZuBitmap32& dst, int32_t x, int32_t y, uint8_t masterAlpha,
                              const TZuRect& srcRect) const {
    BlockTransfer(dst.WritablePixelMap(), x, y, PixelMap(), srcRect, masterAlpha);
    dst.Changed();
}

void TZuBitmap32::StretchDraw(TZuBitmap32& dst, const TZuRect& dstRect,
                              const TZuRect& srcRect) const {
    StretchDraw(dst, dstRect, srcRect, opacity_);
}

void TZuBitmap32::StretchDraw(TZuBitmap32& dst, const TZuRect& dstRect, const TZuRect& srcRect,
                              uint8_t masterAlpha) const {
    StretchTransfer(dst.WritablePixelMap(), dstRect, PixelMap(), srcRect, masterAlpha);
    dst.Changed();
}

void TZuBitmap32::CopyToDC(QPainter& painter, int32_t x, int32_t y) const {
    if (Empty())
        return;
    // The device takes no alpha: the pixels go through a band in Format_RGB32 with the alpha
    // byte set, since Qt copies an RGB32 image's fourth byte as it is. One band serves every
    // bitmap of the thread and is kept between paints: a paint allocates nothing, and the
    // windows and controls do not each keep a band of their own (128 KiB apiece). The painter
    // must draw at once (a widget's backing store or an image, not a recording QPicture), since
    // the next band overwrites the pixels.
    thread_local std::vector<TColor32> band;
    const int32_t w = Width();
    const int32_t rows = int32_t(std::clamp<int64_t>(kBandPixels / w, 1, Height()));
    const size_t need = size_t(w) * size_t(rows);
    if (band.size() < need)
        band.resize(need);
    for (int32_t top = 0; top < Height(); top += rows) {
        const int32_t n = std::min(rows, Height() - top);
        for (int32_t r = 0; r < n; ++r) {
            const TColor32* in = ScanLine(top + r);
            TColor32* out = band.data() + size_t(r) * size_t(w);
            for (int32_t i = 0; i < w; ++i)
                out[i] = in[i] | 0xFF000000u;
        }
        const QImage image(reinterpret_cast<const uchar*>(band.data()), w, n, qsizetype(w) * 4,
                           QImage::Format_RGB32);
        painter.drawImage(QPoint(x, y + top), image);
    }
}

void TZuBitmap32::SpendToDC(QPainter& painter, int32_t x, int32_t y) {
    if (Empty())
        return;
    TColor32* p = Bits();
    const size_t count = size_t(Width()) * size_t(Height());
    for (size_t i = 0; i < count; ++i)
        p[i] |= 0xFF000000u;
    const QImage image(reinterpret_cast<const uchar*>(p), Width(), Height(),
                       qsizetype(Width()) * 4, QImage::Format_RGB32);
    painter.drawImage(QPoint(x, y), image);
}

QByteArray TZuBitmap32::SaveData() const {
    QByteArray out;
    const size_t pixelBytes = Empty() ? 0 : size_t(Width()) * size_t(Height()) * 4;
    out.reserve(qsizetype(8 + pixelBytes));
    PutInt32(out, Width());
    PutInt32(out, Height());
    if (pixelBytes)
        out.append(reinterpret_cast<const char*>(Bits()), qsizetype(pixelBytes));
    return out;
}

void TZuBitmap32::LoadData(QByteArrayView data) {
    if (data.size() < 8)
        throw EZuBitmapError(kDataFormatError);
    const int32_t w = GetInt32(data, 0);
    const int32_t h = GetInt32(data, 4);
    if (w < 0 || h < 0 || uint64_t(data.size() - 8) != uint64_t(w) * uint64_t(h) * 4)
        throw EZuBitmapError(kDataFormatError);
    BeginUpdate();
    try {
        SetSize(w, h);
        if (!Empty())
            std::memcpy(Bits(), data.data() + 8, size_t(data.size() - 8));
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
    Changed();
}

bool TZuBitmap32::SameImage(const TZuBitmap32& other) const {
    if (Empty() || other.Empty())
        return Empty() && other.Empty();
    return Width() == other.Width() && Height() == other.Height() &&
           std::memcmp(Bits(), other.Bits(), size_t(Width()) * size_t(Height()) * 4) == 0;
}

bool TZuBitmap32::DataDiffersFrom(const TZuBitmap32* ancestor) const {
    return ancestor ? !SameImage(*ancestor) : !Empty();
}

} // namespace tunola
