// JPEG pictures of the window definitions: whole pictures decode, damaged ones raise an error.
// The pictures are written here with libjpeg's compressor.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <unistd.h>

#include "platform/core/CFormat.h"
#include "platform/core/Exception.h"
#include "platform/media/Jpeg.h"

namespace {

// A width x height picture: red rising to the right, green rising downwards, blue constant.
std::vector<unsigned char> MakeJpeg(int width, int height, bool grey = false)
{
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* out = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &out, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = grey ? 1 : 3;
    cinfo.in_color_space = grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<size_t>(width) * static_cast<size_t>(cinfo.input_components));
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            if (grey) {
                row[static_cast<size_t>(x)] = static_cast<unsigned char>(x * 255 / (width - 1));
            } else {
                row[static_cast<size_t>(x) * 3] = static_cast<unsigned char>(x * 255 / (width - 1));
                row[static_cast<size_t>(x) * 3 + 1] = static_cast<unsigned char>(y * 255 / (height - 1));
                row[static_cast<size_t>(x) * 3 + 2] = 128;
            }
        }
        JSAMPROW p = row.data();
        jpeg_write_scanlines(&cinfo, &p, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<unsigned char> bytes(out, out + size);
    std::free(out);
    return bytes;
}

// As a form definition keeps it: upper-case hex digits, 32 bytes a line, indented.
std::string Hex(const std::vector<unsigned char>& bytes)
{
    std::string s;
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (i % 32 == 0) s += "\n    ";
        s += Format("%02X", bytes[i]);
    }
    return s + "\n";
}

std::string DecodeError(const std::vector<unsigned char>& bytes)
{
    try {
        DecodeJpeg(bytes);
    } catch (const Exception& e) {
        return e.Message;
    }
    return "(decoded)";
}

} // namespace

TEST(Jpeg, DecodesAPictureToItsSizeAndColours)
{
    const QImage img = DecodeJpeg(MakeJpeg(120, 80));
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.width(), 120);
    EXPECT_EQ(img.height(), 80);
    const QColor corner = img.pixelColor(119, 79);
    EXPECT_NEAR(corner.red(), 255, 12);
    EXPECT_NEAR(corner.green(), 255, 12);
    EXPECT_NEAR(corner.blue(), 128, 12);
    const QColor origin = img.pixelColor(0, 0);
    EXPECT_NEAR(origin.red(), 0, 12);
    EXPECT_NEAR(origin.green(), 0, 12);
}

TEST(Jpeg, DecodesAGreyPictureAsRgb)
{
    const QImage img = DecodeJpeg(MakeJpeg(33, 17, true));
    EXPECT_EQ(img.size(), QSize(33, 17));
    EXPECT_NEAR(img.pixelColor(32, 5).red(), 255, 12);
    EXPECT_EQ(img.pixelColor(32, 5).red(), img.pixelColor(32, 5).blue());
}

TEST(Jpeg, DecodesTheHexTextOfAFormDefinition)
{
    const std::vector<unsigned char> jpeg = MakeJpeg(64, 48);
    std::string hex = Hex(jpeg);
    EXPECT_EQ(HexToBytes(hex), jpeg);
    EXPECT_EQ(DecodeJpegHex(hex).size(), QSize(64, 48));
    for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(DecodeJpegHex(hex).size(), QSize(64, 48));
}

TEST(Jpeg, BadHexTextIsRefused)
{
    for (const char* text : {"FFD8 FFZ0", "FFD8F", "FF,D8"}) {
        try {
            DecodeJpegHex(text);
            ADD_FAILURE() << text << " was accepted";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, "Неверные шестнадцатеричные данные изображения") << text;
        }
    }
}

// A picture cut short would decode with grey filler at the bottom; it must be an error instead.
TEST(Jpeg, TruncatedOrDamagedPicturesRaiseAnError)
{
    std::vector<unsigned char> jpeg = MakeJpeg(120, 80);
    std::vector<unsigned char> cut(jpeg.begin(), jpeg.begin() + static_cast<long>(jpeg.size() / 2));
    EXPECT_EQ(DecodeError(cut), "Ошибка в изображении JPEG: Premature end of JPEG file");

    std::vector<unsigned char> headerOnly(jpeg.begin(), jpeg.begin() + 20);
    EXPECT_EQ(DecodeError(headerOnly), "Ошибка в изображении JPEG: Premature end of JPEG file");

    EXPECT_EQ(DecodeError({'G', 'I', 'F', '8', '9', 'a', 0, 0}),
              "Ошибка в изображении JPEG: Not a JPEG file: starts with 0x47 0x49");
    EXPECT_EQ(DecodeError({}), "Ошибка в изображении JPEG: Empty input file");

    // A header claiming 60000 x 60000 pixels: refused before anything is allocated. The size
    // stands in the SOF0 marker (FF C0), 5 bytes after it: height, then width, 16 bits each.
    std::vector<unsigned char> huge = jpeg;
    for (size_t i = 0; i + 8 < huge.size(); ++i)
        if (huge[i] == 0xFF && huge[i + 1] == 0xC0) {
            huge[i + 5] = huge[i + 7] = 0xEA;
            huge[i + 6] = huge[i + 8] = 0x60;
            break;
        }
    EXPECT_EQ(DecodeError(huge), "Ошибка в изображении JPEG: picture of 60000x60000 is too large");

    // A marker planted in the middle of the entropy-coded data.
    std::vector<unsigned char> damaged = jpeg;
    const size_t mid = damaged.size() * 2 / 3;
    damaged[mid] = 0xFF;
    damaged[mid + 1] = 0xD9;
    const std::string message = DecodeError(damaged);
    EXPECT_EQ(message.rfind("Ошибка в изображении JPEG: ", 0), 0u) << message;
}

TEST(Jpeg, DecodesAPictureMadeByImageMagick)
{
    if (std::system("command -v convert >/dev/null 2>&1") != 0) GTEST_SKIP() << "ImageMagick is not installed";
    char name[] = "/tmp/velo_jpeg_XXXXXX";
    const int fd = mkstemp(name);
    ASSERT_GE(fd, 0);
    close(fd);
    const std::string file = std::string(name) + ".jpg";
    ASSERT_EQ(std::system(("convert -size 50x30 gradient:red-blue " + file + " 2>/dev/null").c_str()), 0);
    std::vector<unsigned char> bytes;
    if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) bytes.push_back(static_cast<unsigned char>(c));
        std::fclose(f);
    }
    std::remove(file.c_str());
    std::remove(name);
    EXPECT_EQ(DecodeJpeg(bytes).size(), QSize(50, 30));
}
