#include "scenes/game.h"

#include "app/json_writer.h"

Game::Game() : placeholder_("Game", "ゲーム本編") {}
int Game::Start() { return placeholder_.Start(); }
int Game::Update() { return placeholder_.Update(); }
void Game::Draw() { placeholder_.Draw(); }
void Game::Release() {}
int Game::GetResult() { return result_; }
void Game::DumpState(JsonWriter& json) const { json.Key("game_result").Int(result_); }
