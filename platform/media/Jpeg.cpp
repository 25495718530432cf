// JPEG decoding. libjpeg reports errors by calling back and must not return to its caller, so the
// error manager jumps back to Decode with longjmp; Decode therefore keeps only plain C data on
// its frame and writes into an image that lives in its caller. Warnings jump back the same way:
// libjpeg warns and goes on with grey filler when the data are truncated or damaged.
#include "platform/media/Jpeg.h"

#include <csetjmp>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "platform/core/Exception.h"

namespace {

constexpr uint64_t kMaxPictureBytes = 256u << 20;

struct ErrorManager {
    jpeg_error_mgr pub;  // first, so libjpeg's pointer to it is a pointer to the whole
    std::jmp_buf back;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void Fail(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    err->pub.format_message(cinfo, err->message);
    std::longjmp(err->back, 1);
}

void OnMessage(j_common_ptr cinfo, int level)
{
    if (level < 0) Fail(cinfo);  // a warning: the picture is damaged
}

// Returns false with the reason in message. *image may hold a partial picture then.
bool Decode(const unsigned char* data, size_t size, QImage* image, char* message)
{
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = Fail;
    err.pub.emit_message = OnMessage;
    err.message[0] = '\0';
    if (setjmp(err.back)) {
        jpeg_destroy_decompress(&cinfo);
        std::memcpy(message, err.message, sizeof err.message);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    // A damaged header may claim a picture of gigabytes; ours are window-sized.
    if (static_cast<uint64_t>(cinfo.image_width) * cinfo.image_height * 3 > kMaxPictureBytes) {
        std::snprintf(message, JMSG_LENGTH_MAX, "picture of %ux%u is too large", cinfo.image_width, cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    cinfo.out_color_space = JCS_RGB;
    jpeg_start_decompress(&cinfo);
    *image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height), QImage::Format_RGB888);
    if (image->isNull()) {
        std::snprintf(message, JMSG_LENGTH_MAX, "no memory for a picture of %ux%u", cinfo.output_width,
                      cinfo.output_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    const bool clean = cinfo.err->num_warnings == 0;
    jpeg_destroy_decompress(&cinfo);
    if (!clean) std::snprintf(message, JMSG_LENGTH_MAX, "damaged data");
    return clean;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

} // namespace

QImage DecodeJpeg(const unsigned char* data, size_t size)
{
    QImage image;
    char message[JMSG_LENGTH_MAX];
    if (!Decode(data, size, &image, message)) throw Exception(std::string("Ошибка в изображении JPEG: ") + message);
    return image;
}

QImage DecodeJpeg(const std::vector<unsigned char>& data) { return DecodeJpeg(data.data(), data.size()); }

std::vector<unsigned char> HexToBytes(const std::string& hex)
{
    std::vector<unsigned char> bytes;
    bytes.reserve(hex.size() / 2);
    int high = -1;
    for (char c : hex) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        const int d = HexDigit(c);
        if (d < 0) throw Exception("Неверные шестнадцатеричные данные изображения");
        if (high < 0) {
            high = d;
        } else {
            bytes.push_back(static_cast<unsigned char>(high * 16 + d));
            high = -1;
        }
    }
    if (high >= 0) throw Exception("Неверные шестнадцатеричные данные изображения");
    return bytes;
}

QImage DecodeJpegHex(const std::string& hex) { return DecodeJpeg(HexToBytes(hex)); }
