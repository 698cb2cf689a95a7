// The PNG codec on libpng.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "platform/png_image.h"

namespace {

constexpr int kMaxDimension = 8192;

struct ReadState {
  const uint8_t* data;
  size_t size;
  size_t pos;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
  auto* s = static_cast<ReadState*>(png_get_io_ptr(png));
  if (count > s->size - s->pos) png_error(png, "truncated file");
  std::memcpy(out, s->data + s->pos, count);
  s->pos += count;
}

void OnError(png_structp png, png_const_charp message) {
  auto* why = static_cast<std::string*>(png_get_error_ptr(png));
  if (why) *why = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

void WriteToVector(png_structp png, png_bytep data, png_size_t count) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + count);
}

void FlushNothing(png_structp) {}

}  // namespace

bool DecodePng(const uint8_t* bytes, size_t size, Image* out, std::string* why) {
  if (size < 8 || png_sig_cmp(bytes, 0, 8) != 0) {
    *why = "not a PNG file";
    return false;
  }
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, why, OnError, OnWarning);
  if (!png) {
    *why = "out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  ReadState state{bytes, size, 0};
  std::vector<png_bytep> rows;
  std::vector<uint8_t> pixels;
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
    if (why->empty()) *why = "corrupt PNG";
    return false;
  }
  png_set_read_fn(png, &state, ReadFromMemory);
  png_set_user_limits(png, kMaxDimension, kMaxDimension);
  png_read_info(png, info);
  const png_uint_32 w = png_get_image_width(png, info);
  const png_uint_32 h = png_get_image_height(png, info);
  const int colorType = png_get_color_type(png, info);
  const int depth = png_get_bit_depth(png, info);
  if (depth == 16) png_set_strip_16(png);
  if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
  if (colorType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand_gray_1_2_4_to_8(png);
  if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
  if (colorType == PNG_COLOR_TYPE_GRAY || colorType == PNG_COLOR_TYPE_GRAY_ALPHA)
    png_set_gray_to_rgb(png);
  png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != static_cast<size_t>(w) * 4)
    png_error(png, "unexpected layout");
  pixels.resize(static_cast<size_t>(w) * h * 4);
  rows.resize(h);
  for (png_uint_32 y = 0; y < h; ++y) rows[y] = pixels.data() + static_cast<size_t>(y) * w * 4;
  png_read_image(png, rows.data());
  png_read_end(png, nullptr);
  png_destroy_read_struct(&png, &info, nullptr);

  out->width = static_cast<int>(w);
  out->height = static_cast<int>(h);
  out->argb.resize(static_cast<size_t>(w) * h);
  for (size_t i = 0; i < out->argb.size(); ++i) {
    const uint8_t* p = pixels.data() + i * 4;
    out->argb[i] = (static_cast<uint32_t>(p[3]) << 24) | (static_cast<uint32_t>(p[0]) << 16) |
                   (static_cast<uint32_t>(p[1]) << 8) | p[2];
  }
  return true;
}

bool EncodePng(const Image& image, std::vector<uint8_t>* out, std::string* why) {
  if (image.width <= 0 || image.height <= 0 ||
      image.argb.size() != static_cast<size_t>(image.width) * image.height) {
    *why = "bad image size";
    return false;
  }
  bool opaque = true;
  for (uint32_t p : image.argb)
    if ((p >> 24) != 0xFF) {
      opaque = false;
      break;
    }
  const int channels = opaque ? 3 : 4;
  std::vector<uint8_t> pixels(static_cast<size_t>(image.width) * image.height * channels);
  for (size_t i = 0; i < image.argb.size(); ++i) {
    const uint32_t p = image.argb[i];
    uint8_t* d = pixels.data() + i * channels;
    d[0] = static_cast<uint8_t>(p >> 16);
    d[1] = static_cast<uint8_t>(p >> 8);
    d[2] = static_cast<uint8_t>(p);
    if (channels == 4) d[3] = static_cast<uint8_t>(p >> 24);
  }
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, why, OnError, OnWarning);
  if (!png) {
    *why = "out of memory";
    return false;
  }
  png_infop info = png_create_info_struct(png);
  std::vector<png_bytep> rows(image.height);
  if (!info || setjmp(png_jmpbuf(png))) {
    png_destroy_write_struct(&png, info ? &info : nullptr);
    return false;
  }
  out->clear();
  png_set_write_fn(png, out, WriteToVector, FlushNothing);
  png_set_IHDR(png, info, image.width, image.height, 8,
               opaque ? PNG_COLOR_TYPE_RGB : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y)
    rows[y] = pixels.data() + static_cast<size_t>(y) * image.width * channels;
  png_write_image(png, rows.data());
  png_write_end(png, nullptr);
  png_destroy_write_struct(&png, &info);
  return true;
}
