// PNG images: reading for textures, writing for screenshots and generated
// content. Pixels are A8R8G8B8 words, rows from the top.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> argb;
};

// Decodes a PNG held in memory; false with a reason for anything else.
bool DecodePng(const uint8_t* bytes, size_t size, Image* out, std::string* why);
bool LoadPng(const std::string& path, Image* out, std::string* why);
// Encodes to PNG bytes (RGBA, or RGB when every pixel is opaque).
bool EncodePng(const Image& image, std::vector<uint8_t>* out, std::string* why);
// Writes atomically: the file is replaced whole or left as it was.
bool SavePng(const std::string& path, const Image& image, std::string* why);
