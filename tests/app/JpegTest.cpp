// JPEG decoding: the shipped splash picture, damaged data and oversized headers.
#include "app/Jpeg.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/Exceptions.h"

namespace qm {
namespace {

std::vector<std::uint8_t> ReadSplash() {
  std::ifstream in(std::string(QM_SOURCE_DIR) + "/data/pictures/splash.jpg", std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(Jpeg, DecodesTheSplashPicture) {
  const auto bytes = ReadSplash();
  ASSERT_FALSE(bytes.empty());
  const TRgbImage image = DecodeJpeg(bytes.data(), bytes.size());
  EXPECT_EQ(image.Width, 400);
  EXPECT_EQ(image.Height, 300);
  ASSERT_EQ(image.Pixels.size(), 400u * 300u * 3u);
  // The top left corner is the dark blue of the background: blue dominates.
  EXPECT_GT(image.Pixels[2], image.Pixels[0]);
  EXPECT_LT(image.Pixels[0], 80);
}

TEST(Jpeg, RejectsWhatIsNotAPicture) {
  const std::string text = "begin GameMode\r\nend\r\n";
  EXPECT_THROW(DecodeJpeg(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()), EReadError);
  EXPECT_THROW(DecodeJpeg(nullptr, 0), EReadError);
}

TEST(Jpeg, TruncatedDataNeverReadsPastTheEnd) {
  const auto bytes = ReadSplash();
  for (std::size_t keep : {std::size_t{2}, std::size_t{200}, bytes.size() / 2, bytes.size() - 1}) {
    const std::vector<std::uint8_t> part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(keep));
    try {
      const TRgbImage image = DecodeJpeg(part.data(), part.size());
      // libjpeg pads a cut scan: the picture keeps its announced size.
      EXPECT_EQ(image.Pixels.size(), std::size_t(image.Width) * image.Height * 3) << keep;
    } catch (const EReadError& e) {
      EXPECT_FALSE(std::string(e.what()).empty()) << keep;
    }
  }
}

TEST(Jpeg, RefusesHeadersThatAnnounceHugePictures) {
  auto bytes = ReadSplash();
  // The frame header (SOF0 or SOF2): height and width follow the marker, its length and the precision.
  for (std::size_t i = 0; i + 9 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
      bytes[i + 5] = bytes[i + 6] = bytes[i + 7] = bytes[i + 8] = 0xFF;
      break;
    }
  }
  EXPECT_THROW(DecodeJpeg(bytes.data(), bytes.size()), EReadError);
}

}  // namespace
}  // namespace qm
