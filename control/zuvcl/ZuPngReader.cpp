#include "ZuPngReader.h"

#include "ZuBitmapError.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

namespace tunola {

namespace {

// B, G, R, A in memory is 0xAARRGGBB only on little-endian processors.
static_assert(std::endian::native == std::endian::little);

// libpng reports errors by longjmp from its error callback back to the last setjmp. Only the
// two Run* functions below call setjmp, and between them and the callbacks there are libpng's
// C frames only; none of these frames holds an object with a destructor. Everything a phase
// produces goes through this plain struct.
struct PngInput {
    const uint8_t* Data;
    size_t Size;
    size_t Position;
    char Error[160];
};

extern "C" {

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* input = static_cast<PngInput*>(png_get_error_ptr(png));
    std::snprintf(input->Error, sizeof input->Error, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

void OnPngRead(png_structp png, png_bytep out, size_t length) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (length > input->Size - input->Position)
        png_error(png, "unexpected end of file");
    std::memcpy(out, input->Data + input->Position, length);
    input->Position += length;
}

} // extern "C"

struct PngHeader {
    png_uint_32 Width;
    png_uint_32 Height;
    bool HasAlpha;
    size_t RowBytes;
};

// Reads the chunks up to the image data and sets the transformations to 8-bit B, G, R, A.
bool RunReadHeader(png_structp png, png_infop info, PngHeader* header) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_info(png, info);
    const int colorType = png_get_color_type(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const bool hasKey = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    header->Width = png_get_image_width(png, info);
    header->Height = png_get_image_height(png, info);
    header->HasAlpha = hasKey || (colorType & PNG_COLOR_MASK_ALPHA) != 0;

    if (bitDepth == 16)
        png_set_scale_16(png);
    if (colorType == PNG_COLOR_TYPE_PALETTE)
        png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8)
        png_set_expand_gray_1_2_4_to_8(png);
    if (hasKey)
        png_set_tRNS_to_alpha(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0)
        png_set_gray_to_rgb(png);
    if (!header->HasAlpha)
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->RowBytes = png_get_rowbytes(png, info);
    return true;
}

bool RunReadRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png)))
        return false;
    png_read_image(png, rows);
    return true;
}

struct PngReadStructDeleter {
    png_infop Info = nullptr;
    void operator()(png_structp png) const {
        png_infop info = Info;
        png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    }
};

[[noreturn]] void Fail(const std::string& reason) {
    throw EZuBitmapError("Invalid PNG image: " + reason);
}

} // namespace

TZuRasterImage ReadPng(std::span<const uint8_t> bytes, const TZuImageLimits& limits) {
    PngInput input{bytes.data(), bytes.size(), 0, {}};
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0)
        Fail("not a PNG file");

    std::unique_ptr<png_struct, PngReadStructDeleter> png(
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, OnPngError, OnPngWarning));
    if (!png)
        throw EZuBitmapError("Out of memory reading PNG image");
    png_infop info = png_create_info_struct(png.get());
    if (!info)
        throw EZuBitmapError("Out of memory reading PNG image");
    png.get_deleter().Info = info;

    png_set_read_fn(png.get(), &input, OnPngRead);
    png_set_user_limits(png.get(), png_uint_32(limits.MaxWidth), png_uint_32(limits.MaxHeight));
    // Only the image chunks matter (header, palette, transparency, data). Every other chunk is
    // skipped unread, so that a chunk claiming gigabytes of text or profile costs nothing.
    png_set_keep_unknown_chunks(png.get(), PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_chunk_cache_max(png.get(), 256);
    png_set_chunk_malloc_max(png.get(), 8u << 20);
#if defined(FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION)
    // Let the fuzzer's mutations reach the decoder instead of stopping at the checksums.
    png_set_crc_action(png.get(), PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#ifdef PNG_IGNORE_ADLER32
    png_set_option(png.get(), PNG_IGNORE_ADLER32, PNG_OPTION_ON);
#endif
#endif

    PngHeader header{};
    if (!RunReadHeader(png.get(), info, &header))
        Fail(input.Error);
    if (uint64_t(header.Width) * header.Height > uint64_t(limits.MaxPixels))
        Fail("image too large");
    if (header.RowBytes != size_t(header.Width) * 4)
        Fail("unexpected pixel layout");

    TZuRasterImage image;
    image.Width = int32_t(header.Width);
    image.Height = int32_t(header.Height);
    image.HasAlpha = header.HasAlpha;
    image.Pixels.resize(size_t(header.Width) * header.Height);
    std::unique_ptr<png_bytep[]> rows(new png_bytep[header.Height]);
    for (png_uint_32 y = 0; y < header.Height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(image.Pixels.data() + size_t(y) * header.Width);
    if (!RunReadRows(png.get(), rows.get()))
        Fail(input.Error);
    return image;
}

} // namespace tunola
