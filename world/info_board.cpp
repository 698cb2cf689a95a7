#include "world/info_board.h"

#include "app/json_writer.h"
#include "render/preload.h"
#include "world/world_values.h"

InfoBoard::InfoBoard(int number) : mesh(GetObjectMesh(kMeshInfoBoard)), textNumber(number) {
  World().activeBoard = 0;
}

void InfoBoard::DumpParameters(JsonWriter& json) const { json.Key("text").Int(textNumber); }
