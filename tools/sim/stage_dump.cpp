#include "tools/sim/stage_dump.h"

#include <vector>

#include "base/json_writer.h"
#include "world/enemies.h"
#include "world/field_chip.h"
#include "world/game_state.h"
#include "world/player.h"
#include "world/run_state.h"
#include "world/world_values.h"

bool StageDumpJson(const std::string& path, std::string* out) {
  // The stage is read into a run of its own.
  RunState run;
  CharacterList characters;
  auto* player = new Player(run);
  characters.push_back(player);
  GimmickNode* head = nullptr;
  FieldChip reader(run);
  const int ok = reader.LoadFile(head, characters, path);
  if (ok) {
    JsonWriter json;
    json.BeginObject();
    json.Key("goal").Vec(run.world.goalPosition);
    json.Key("bosses_left").Int(run.game.bossesLeft);
    json.Key("enemies_left").Int(run.game.enemiesLeft);
    json.Key("player").BeginObject();
    json.Key("pos").Vec(player->position);
    json.Key("rot").Vec(player->rotation);
    json.Key("upside_down").Int(player->upsideDown);
    json.EndObject();
    // Gimmicks in file order: the list's head is the last one read.
    std::vector<GimmickBase*> inOrder;
    for (GimmickNode* n = head; n; n = n->next) inOrder.insert(inOrder.begin(), n->object.get());
    json.Key("gimmicks").BeginArray();
    for (GimmickBase* g : inOrder) {
      json.BeginObject();
      json.Key("class").String(g->ClassName());
      json.Key("kind").Int(g->gimmickKind);
      json.Key("pos").Vec(g->position);
      json.Key("rot").Vec(g->rotation);
      json.Key("upside_down").Int(g->upsideDown);
      g->DumpParameters(json);
      json.EndObject();
    }
    json.EndArray();
    json.Key("characters").BeginArray();
    bool first = true;
    for (CharacterBase* c : characters) {
      if (first) {
        first = false;
        continue;
      }
      json.BeginObject();
      json.Key("class").String(c->ClassName());
      json.Key("pos").Vec(c->position);
      json.Key("rot").Vec(c->rotation);
      json.Key("upside_down").Int(c->upsideDown);
      json.EndObject();
    }
    json.EndArray();
    json.EndObject();
    *out = json.Text();
  }
  DeleteGimmickList(head);
  for (CharacterBase* c : characters) c->Release();  // the list deletes them
  return ok != 0;
}
