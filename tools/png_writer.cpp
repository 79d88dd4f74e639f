#include "tools/png_writer.h"

#include "tools/output_file.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace nimbrel {
namespace {

struct PngFailure {
    char message[256] = "";
};

void on_error(png_structp png, png_const_charp message) {
    auto* failure = static_cast<PngFailure*>(png_get_error_ptr(png));
    std::snprintf(failure->message, sizeof failure->message, "%s", message);
    png_longjmp(png, 1);
}

void on_warning(png_structp, png_const_charp) {}

// libpng leaves this function by longjmp on failure, so only plain data may live in its frame.
bool encode(std::FILE* file, const IndexedSurface& frame, const PaletteEntries& palette,
            png_bytep row, PngFailure* failure) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, failure, on_error, on_warning);
    if (png == nullptr) return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(frame.width()),
                 static_cast<png_uint_32>(frame.height()), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const std::uint8_t* indices = frame.indices();
    for (int y = 0; y < frame.height(); ++y) {
        png_bytep out = row;
        for (int x = 0; x < frame.width(); ++x) {
            const PaletteEntry& c = palette[*indices++];
            *out++ = c.red;
            *out++ = c.green;
            *out++ = c.blue;
        }
        png_write_row(png, row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

} // namespace

bool write_png(const std::string& path, const IndexedSurface& frame, const PaletteEntries& palette,
               std::string& error) {
    if (frame.width() <= 0 || frame.height() <= 0) {
        error = "cannot write an empty frame to " + path;
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        error = "cannot create " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(frame.width()) * 3);
    PngFailure failure;
    bool ok = encode(file, frame, palette, row.data(), &failure);
    if (!ok)
        error = "cannot write " + path + ": " +
                (failure.message[0] ? failure.message : "out of memory");
    if (std::fflush(file) != 0 || std::ferror(file)) {
        if (ok) error = "cannot write " + path + ": " + std::strerror(errno);
        ok = false;
    }
    if (std::fclose(file) != 0 && ok) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        ok = false;
    }
    if (!ok) remove_failed_output(path);
    return ok;
}

} // namespace nimbrel
