// The OpenGL 3.3 core rendering device: Direct3D 9's fixed-function pipeline
// as far as the game uses it, reproduced by one shader program. Frames are
// drawn into a 1280x720 picture that Present scales, letterboxed, into the
// window.
#pragma once

#include <functional>
#include <string>

struct SDL_Window;
class GraphicsDevice;

constexpr int kBackBufferWidth = 1280;
constexpr int kBackBufferHeight = 720;

// The window must have been created with SDL_WINDOW_OPENGL. msaaSamples 0
// draws without multisampling. atExit runs after the device is gone (to
// close a window the device owns). Returns null and an explanation on failure.
GraphicsDevice* CreateGlDevice(SDL_Window* window, int msaaSamples, std::string* error,
                               std::function<void()> atExit = nullptr);

// A device that draws into an invisible window of SDL's offscreen video
// driver: real pictures without any display, for screenshots and tests.
GraphicsDevice* CreateOffscreenGlDevice(std::string* error);
