// The OpenGL 3.3 core rendering device: Direct3D 9's fixed-function pipeline
// as far as the game uses it, reproduced by shader programs. Frames are
// drawn into an off-screen picture of the game's 1280x720 shape that Present
// scales, letterboxed, into the window. The picture is 1280x720, or (when
// asked) as large as the window shows it, so a large or high-DPI window gets
// a sharp picture; the game draws in 1280x720 units either way.
#pragma once

#include <functional>
#include <string>

struct SDL_Window;
class GraphicsDevice;

constexpr int kBackBufferWidth = 1280;
constexpr int kBackBufferHeight = 720;

enum class PictureSize {
  kFixed,             // always 1280x720
  kWindowOnHardware,  // the window's size, except on a software rasteriser
                      // (where every pixel costs the processor)
  kWindow,            // the window's size
};

// Where frames are drawn. Through an off-screen picture always (which keeps
// the last frame readable for screenshots), or straight into the window
// whenever the window shows the picture at its own size without
// multisampling (saving a copy of every frame; ReadLastFrame then reads the
// window's shown buffer).
enum class FrameTarget { kPicture, kWindowWhenItFits };

// The window must have been created with SDL_WINDOW_OPENGL. msaaSamples 0
// draws without multisampling. atExit runs after the device is gone (to
// close a window the device owns). Returns null and an explanation on failure.
GraphicsDevice* CreateGlDevice(SDL_Window* window, int msaaSamples, std::string* error,
                               std::function<void()> atExit = nullptr,
                               PictureSize size = PictureSize::kFixed,
                               FrameTarget target = FrameTarget::kPicture);

// A device that draws into an invisible window of SDL's offscreen video
// driver: real pictures without any display, for screenshots and tests.
GraphicsDevice* CreateOffscreenGlDevice(std::string* error, int width = kBackBufferWidth,
                                        int height = kBackBufferHeight,
                                        PictureSize size = PictureSize::kFixed,
                                        FrameTarget target = FrameTarget::kPicture);

// Asks SDL for the window's buffers a frame drawn straight into it needs:
// 8-bit colour with alpha and a 24-bit depth buffer, like the off-screen
// picture. Call before creating the window.
void RequestWindowBuffers();
