// Reading and writing PNG files; the codec itself is libpng on Linux and the
// Windows Imaging Component on Windows.
#include "platform/png_image.h"

#include <fstream>
#include <sstream>

#include "base/atomic_file.h"

bool LoadPng(const std::string& path, Image* out, std::string* why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *why = "cannot open " + path;
    return false;
  }
  std::ostringstream buf;
  buf << in.rdbuf();
  const std::string bytes = buf.str();
  if (!DecodePng(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out, why)) {
    *why = path + ": " + *why;
    return false;
  }
  return true;
}

bool SavePng(const std::string& path, const Image& image, std::string* why) {
  std::vector<uint8_t> bytes;
  if (!EncodePng(image, &bytes, why)) return false;
  return WriteFileAtomically(path, std::string(bytes.begin(), bytes.end()), why);
}
