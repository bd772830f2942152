// JPEG decoding through libjpeg's decompressor with a memory source.
#include "app/Jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "platform/Exceptions.h"

namespace qm {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return;
// it jumps back to the decoder, which raises the exception from C++ code.
struct TJpegError {
  jpeg_error_mgr Manager;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<TJpegError*>(info->err);
  (*info->err->format_message)(info, error->Message);
  std::longjmp(error->Jump, 1);
}

// Warnings (for instance a truncated file padded with an end marker) are not
// fatal; the picture decodes as far as the data goes.
void OnJpegMessage(j_common_ptr, int) {}

// Everything that needs cleaning up after a jump lives outside the frame
// that calls setjmp, so no destructor is skipped.
bool Decode(jpeg_decompress_struct& info, TJpegError& error, const std::uint8_t* data, std::size_t size,
            std::size_t maxPixels, TRgbImage& image, std::string& failure) {
  if (setjmp(error.Jump) != 0) {
    failure = error.Message;
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_calc_output_dimensions(&info);
  const std::size_t pixels = std::size_t{info.output_width} * info.output_height;
  if (pixels == 0 || pixels > maxPixels) {
    failure = "Picture too large";
    return false;
  }
  image.Width = static_cast<int>(info.output_width);
  image.Height = static_cast<int>(info.output_height);
  image.Pixels.resize(pixels * 3);
  jpeg_start_decompress(&info);
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image.Pixels.data() + std::size_t{info.output_scanline} * info.output_width * 3;
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  return true;
}

}  // namespace

TRgbImage DecodeJpeg(const std::uint8_t* data, std::size_t size, std::size_t maxPixels) {
  if (data == nullptr || size == 0) throw EReadError("Not a JPEG file");
  jpeg_decompress_struct info{};
  TJpegError error{};
  info.err = jpeg_std_error(&error.Manager);
  error.Manager.error_exit = OnJpegError;
  error.Manager.emit_message = OnJpegMessage;
  TRgbImage image;
  std::string failure;
  const bool ok = Decode(info, error, data, size, maxPixels, image, failure);
  jpeg_destroy_decompress(&info);
  if (!ok) throw EReadError(failure);
  return image;
}

}  // namespace qm
