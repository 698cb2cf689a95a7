// Stage files are content anyone can edit: any bytes must load in bounded
// time without reading past the end, making only objects with finite places.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "world/field_chip.h"
#include "world/player.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CharacterList characters;
  auto* player = new Player();
  characters.push_back(player);
  GimmickNode* head = nullptr;
  FieldChip reader;
  reader.LoadBytes(head, characters, std::string(reinterpret_cast<const char*>(data), size));
  for (GimmickNode* n = head; n; n = n->next)
    if (!std::isfinite(n->object->position.x) || !std::isfinite(n->object->position.y))
      std::abort();
  DeleteGimmickList(head);
  // The list deletes the characters.
  return 0;
}
