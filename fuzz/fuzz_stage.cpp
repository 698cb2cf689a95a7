// Stage files are content anyone can edit: any bytes must load in bounded
// time without reading past the end, making only objects with finite places.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "world/field_chip.h"
#include "world/player.h"
#include "world/run_state.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RunState run;
  CharacterList characters;
  auto* player = new Player(run);
  characters.push_back(player);
  GimmickNode* head = nullptr;
  FieldChip reader(run);
  reader.LoadBytes(head, characters, std::string(reinterpret_cast<const char*>(data), size));
  for (GimmickNode* n = head; n; n = n->next)
    if (!std::isfinite(n->object->position.x) || !std::isfinite(n->object->position.y))
      std::abort();
  DeleteGimmickList(head);
  // The list deletes the characters.
  return 0;
}
