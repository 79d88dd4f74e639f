#include "tools/gif_writer.h"

#include "tools/output_file.h"

#include <gif_lib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace nimbrel {
namespace {

std::string gif_error_text(int code) {
    const char* text = GifErrorString(code);
    return text != nullptr ? text : "error " + std::to_string(code);
}

// giflib writes through this so that the file is ours: created with the usual permissions,
// and its write errors seen when it is closed.
int write_to_file(GifFileType* gif, const GifByteType* data, int length) {
    return static_cast<int>(std::fwrite(data, 1, static_cast<std::size_t>(length),
                                        static_cast<std::FILE*>(gif->UserData)));
}

} // namespace

GifAnimation::GifAnimation(const std::string& path, int width, int height)
    : path_(path), width_(width), height_(height) {
    if (width < 1 || height < 1 || width > 65535 || height > 65535) {
        error_ = "a GIF frame must be 1 to 65535 pixels wide and high, not " +
                 std::to_string(width) + "x" + std::to_string(height);
        return;
    }
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr) {
        error_ = "cannot create " + path + ": " + std::strerror(errno);
        return;
    }
    int code = 0;
    gif_ = EGifOpen(file_, write_to_file, &code);
    if (gif_ == nullptr) {
        error_ = "cannot create " + path + ": " + gif_error_text(code);
        return;
    }
    EGifSetGifVersion(gif_, true);
    // No global colour table (each frame brings its own); the application block loops for ever.
    static const GifByteType application[] = {'N', 'E', 'T', 'S', 'C', 'A',
                                              'P', 'E', '2', '.', '0'};
    static const GifByteType loop_forever[] = {1, 0, 0};
    if (EGifPutScreenDesc(gif_, width, height, 8, 0, nullptr) == GIF_ERROR ||
        EGifPutExtensionLeader(gif_, APPLICATION_EXT_FUNC_CODE) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, sizeof application, application) == GIF_ERROR ||
        EGifPutExtensionBlock(gif_, sizeof loop_forever, loop_forever) == GIF_ERROR ||
        EGifPutExtensionTrailer(gif_) == GIF_ERROR)
        fail("header", gif_->Error);
}

GifAnimation::~GifAnimation() {
    close();
}

bool GifAnimation::fail(const std::string& what, int code) {
    if (error_.empty())
        error_ = "cannot write the " + what + " of " + path_ + ": " + gif_error_text(code);
    return false;
}

bool GifAnimation::add_frame(const IndexedSurface& frame, const PaletteEntries& palette,
                             int delay_cs) {
    if (!ok()) return false;
    if (frame.width() != width_ || frame.height() != height_) {
        error_ = "a frame of " + path_ + " has the wrong size";
        return false;
    }
    GraphicsControlBlock timing{};
    timing.DisposalMode = DISPOSE_DO_NOT;
    timing.UserInputFlag = false;
    timing.DelayTime = std::clamp(delay_cs, 0, 65535);
    timing.TransparentColor = NO_TRANSPARENT_COLOR;
    GifByteType extension[4];
    EGifGCBToExtension(&timing, extension);
    if (EGifPutExtension(gif_, GRAPHICS_EXT_FUNC_CODE, sizeof extension, extension) == GIF_ERROR)
        return fail("frame timing", gif_->Error);

    GifColorType colours[256];
    for (int i = 0; i < 256; ++i)
        colours[i] = {palette[i].red, palette[i].green, palette[i].blue};
    ColorMapObject* map = GifMakeMapObject(256, colours);
    if (map == nullptr) return fail("colour table", E_GIF_ERR_NOT_ENOUGH_MEM);
    const int put = EGifPutImageDesc(gif_, 0, 0, width_, height_, false, map);
    GifFreeMapObject(map); // giflib keeps its own copy
    if (put == GIF_ERROR) return fail("frame header", gif_->Error);

    // EGifPutLine takes a non-const row.
    std::vector<GifPixelType> row(static_cast<std::size_t>(width_));
    const std::uint8_t* indices = frame.indices();
    for (int y = 0; y < height_; ++y, indices += width_) {
        std::copy(indices, indices + width_, row.begin());
        if (EGifPutLine(gif_, row.data(), width_) == GIF_ERROR) return fail("pixels", gif_->Error);
    }
    return true;
}

bool GifAnimation::close() {
    if (gif_ != nullptr) {
        int code = 0;
        if (EGifCloseFile(gif_, &code) == GIF_ERROR) fail("end", code);
        gif_ = nullptr;
    }
    if (file_ != nullptr) {
        bool written = std::fflush(file_) == 0 && !std::ferror(file_);
        int cause = errno;
        if (std::fclose(file_) != 0) {
            written = false;
            cause = errno;
        }
        file_ = nullptr;
        if (!written && error_.empty())
            error_ = "cannot write " + path_ + ": " + std::strerror(cause);
        if (!error_.empty()) remove_failed_output(path_);
    }
    return error_.empty();
}

} // namespace nimbrel
