// JPEG pictures of the window definitions, decoded with libjpeg.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include <QImage>

// Decodes a whole JPEG picture to a 24-bit RGB image (grey pictures too). Any libjpeg error or
// warning (a truncated or damaged picture, a colour space it cannot turn into RGB) raises
// Exception "Ошибка в изображении JPEG: <libjpeg's message>": never a partly decoded picture.
QImage DecodeJpeg(const unsigned char* data, size_t size);
QImage DecodeJpeg(const std::vector<unsigned char>& data);

// A picture as a form definition stores it: the bytes of the JPEG file as hexadecimal digits
// (either case), any white space between them ignored. Raises
// "Неверные шестнадцатеричные данные изображения" for another character or an odd number of
// digits, then the errors of DecodeJpeg.
QImage DecodeJpegHex(const std::string& hex);
std::vector<unsigned char> HexToBytes(const std::string& hex);
