// Models come from files: any bytes must give a well-formed model (indices
// within the vertices, subsets covering the triangles) or a refusal.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "render/xfile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  XModel model;
  std::string why;
  if (!ParseXFile(reinterpret_cast<const char*>(data), size, &model, &why)) {
    if (why.empty()) std::abort();
    return 0;
  }
  for (uint16_t i : model.indices)
    if (i >= model.vertices.size()) std::abort();
  if (model.subsetStart.size() != model.materials.size() + 1 ||
      model.subsetStart.back() != model.TriangleCount())
    std::abort();
  return 0;
}
