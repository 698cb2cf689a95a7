// What the drawing loads once and lends to whoever draws: one owner for all
// of it, so its lifetimes read in one place.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "base/failed_files.h"
#include "platform/graphics_device.h"
#include "platform/png_image.h"
#include "render/constants.h"
#include "render/mesh.h"
#include "render/primitives.h"

// A picture as decoded (colour key applied), with what its file looked like
// then, so a changed file is decoded again.
struct DecodedPicture {
  FileSignature signature;
  Image image;
};

// The program's shared drawing content. There is one, as there is one
// device; each part says when it is made and given back.
struct SharedContent {
  // The models and textures every stage shares (render/preload.h): loaded at
  // start-up, kept until the program ends.
  Mesh objectMeshes[kObjectMeshCount];
  Mesh wallMeshes[kWallMeshCount];
  Mesh itemMeshes[kItemMeshCount];
  Texture* textures[kSharedTextureCount] = {};
  // The blob shadow's and the stun mark's quads (render/primitives.h): made
  // with the game scene, given back when it ends.
  std::unique_ptr<OnePolygon> shadow;
  std::unique_ptr<OnePolygon> effect;
  // Small pictures by path, decoded once (render/mesh.cpp): many models share
  // one texture, and a stage's load and a retry ask for the same files again.
  std::map<std::string, DecodedPicture> decodedPictures;
};
SharedContent& Shared();
