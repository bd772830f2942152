// Decoding of JPEG pictures into 8-bit RGB pixels through libjpeg.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace qm {

// A decoded picture: Width x Height pixels, three bytes (R, G, B) each, rows top down.
struct TRgbImage {
  int Width = 0;
  int Height = 0;
  std::vector<std::uint8_t> Pixels;
};

// Decodes a JPEG held in memory. Grey-scale pictures come back as RGB.
// Raises EReadError with libjpeg's message when the data is not a JPEG or is
// damaged, and for pictures larger than maxPixels (a guard against headers
// that announce huge dimensions).
TRgbImage DecodeJpeg(const std::uint8_t* data, std::size_t size, std::size_t maxPixels = 64u << 20);

}  // namespace qm
