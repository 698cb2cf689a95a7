// The SDL backend's keyboard as the game reads it: key events delivered
// between two frames, Alt+Enter, and the focus leaving the window.
#include <SDL.h>
#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "platform/input_types.h"
#include "platform/sdl_gl/sdl_backend.h"

namespace {

class SdlInputTest : public testing::Test {
 protected:
  void SetUp() override {
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    backend_ = CreateSdlBackend(SdlBackendOptions{});
    ASSERT_TRUE(backend_);
    window_.reset(backend_->CreateGameWindow("test", 1280, 720, false));
    ASSERT_TRUE(window_);
    input_.reset(backend_->CreateInputSource());
    ASSERT_TRUE(input_);
  }
  void TearDown() override {
    input_.reset();
    window_.reset();
    backend_.reset();
  }

  static void Key(Uint32 type, SDL_Scancode code, Uint16 mod = KMOD_NONE) {
    SDL_Event e{};
    e.type = type;
    e.key.state = type == SDL_KEYDOWN ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.scancode = code;
    e.key.keysym.mod = mod;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  static void Focus(Uint8 event) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = event;
    ASSERT_EQ(SDL_PushEvent(&e), 1);
  }
  // What the frame loop does between two frames: takes every waiting
  // message, then reads the keyboard once.
  void Frame(uint8_t keys[256]) {
    WindowMessage m;
    while (window_->PeekMessage(&m)) {
    }
    ASSERT_TRUE(input_->ReadKeyboard(keys));
  }

  std::unique_ptr<Backend> backend_;
  std::unique_ptr<GameWindow> window_;
  std::unique_ptr<InputSource> input_;
};

TEST_F(SdlInputTest, ATapShorterThanAFrameIsSeenInOneFrame) {
  uint8_t keys[256];
  Key(SDL_KEYDOWN, SDL_SCANCODE_SPACE);
  Key(SDL_KEYUP, SDL_SCANCODE_SPACE);
  Frame(keys);
  EXPECT_EQ(keys[DIK_SPACE], 0x80);
  Frame(keys);
  EXPECT_EQ(keys[DIK_SPACE], 0);
}

TEST_F(SdlInputTest, AltEnterNeverReachesTheGameAsReturn) {
  uint8_t keys[256];
  Key(SDL_KEYDOWN, SDL_SCANCODE_LALT, KMOD_LALT);
  Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN, KMOD_LALT);
  Frame(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0);
  Key(SDL_KEYUP, SDL_SCANCODE_LALT);  // Alt let go first, Return still held
  Frame(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0);
  Key(SDL_KEYUP, SDL_SCANCODE_RETURN);
  Frame(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0);
  // A plain Return afterwards is the game's again.
  Key(SDL_KEYDOWN, SDL_SCANCODE_RETURN);
  Frame(keys);
  EXPECT_EQ(keys[DIK_RETURN], 0x80);
  // The chord did what it is for: the window went to full screen.
  SDL_Window* shown = nullptr;
  for (Uint32 id = 1; id < 64 && !shown; ++id) shown = SDL_GetWindowFromID(id);
  ASSERT_NE(shown, nullptr);
  EXPECT_NE(SDL_GetWindowFlags(shown) & SDL_WINDOW_FULLSCREEN_DESKTOP, 0u);
}

TEST_F(SdlInputTest, KeysHeldWhenTheFocusLeavesAreLetGo) {
  uint8_t keys[256];
  Key(SDL_KEYDOWN, SDL_SCANCODE_RIGHT);
  Frame(keys);
  EXPECT_EQ(keys[DIK_RIGHT], 0x80);
  Focus(SDL_WINDOWEVENT_FOCUS_LOST);
  Frame(keys);
  Frame(keys);
  EXPECT_EQ(keys[DIK_RIGHT], 0);
}

}  // namespace
