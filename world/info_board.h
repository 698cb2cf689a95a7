// A sign board on the field: while the player stands at it, a panel with the
// board's help text slides up from the bottom of the screen.
#pragma once

#include "world/object_base.h"

class Mesh;

class InfoBoard : public GimmickBase {
 public:
  explicit InfoBoard(int textNumber);
  const char* ClassName() const override { return "InfoBoard"; }
  void DumpParameters(JsonWriter& json) const override;

  Mesh* mesh;
  int touching = 0;
  int textNumber;
};
