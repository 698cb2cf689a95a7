#include "platform/headless/headless_backend.h"

#include <cstdio>
#include <cstring>
#include <deque>

#include "platform/common/null_sound.h"
#include "platform/headless/counting_device.h"

struct HeadlessBackend::Shared {
  // Key presses reach the window as messages too, as they would on a desktop.
  std::deque<WindowMessage> keyMessages;
  int64_t framesRun = 0;
  int64_t maxFrames = -1;
  bool quitRequested = false;
  std::string title;
  std::optional<WindowDisplay> display;
};

namespace {

class HeadlessWindow : public GameWindow {
 public:
  explicit HeadlessWindow(std::shared_ptr<HeadlessBackend::Shared> shared)
      : shared_(std::move(shared)) {}

  bool PeekMessage(WindowMessage* message) override {
    if (!posted_.empty()) {
      *message = posted_.front();
      posted_.pop_front();
      return true;
    }
    if (!shared_->keyMessages.empty()) {
      *message = shared_->keyMessages.front();
      shared_->keyMessages.pop_front();
      return true;
    }
    if (shared_->quitRequested ||
        (shared_->maxFrames >= 0 && shared_->framesRun >= shared_->maxFrames)) {
      message->type = WindowMessageType::Quit;
      return true;
    }
    return false;
  }
  void PostMessage(const WindowMessage& message) override { posted_.push_back(message); }
  void SetTitle(const char* text) override { shared_->title = text; }
  void Show() override {}
  void SetDisplay(const WindowDisplay& display) override { shared_->display = display; }

 private:
  std::shared_ptr<HeadlessBackend::Shared> shared_;
  std::deque<WindowMessage> posted_;
};

// Plays the script: the events of frame n apply when frame n reads its input.
class ScriptedInput : public InputSource {
 public:
  ScriptedInput(const InputScript& script, std::shared_ptr<HeadlessBackend::Shared> shared)
      : events_(script.events), shared_(std::move(shared)) {}

  bool ReadKeyboard(uint8_t keys[256]) override {
    const int64_t frame = shared_->framesRun;
    for (; next_ < events_.size() && events_[next_].frame <= frame; ++next_) Apply(events_[next_]);
    std::memcpy(keys, keys_, 256);
    ++shared_->framesRun;
    return true;
  }

  bool ReadPad(int index, XINPUT_STATE* state) override {
    if (index != 0 || !connected_) return false;
    if (std::memcmp(&state->Gamepad, &pad_, sizeof pad_) != 0) ++state->dwPacketNumber;
    state->Gamepad = pad_;
    return true;
  }

 private:
  void Apply(const InputEvent& e) {
    using K = InputEvent::Kind;
    switch (e.kind) {
      case K::KeyDown:
        if (!keys_[e.code]) shared_->keyMessages.push_back({WindowMessageType::KeyDown, e.code});
        keys_[e.code] = 0x80;
        break;
      case K::KeyUp:
        keys_[e.code] = 0;
        break;
      case K::PadDown:
        connected_ = true;
        pad_.wButtons |= static_cast<uint16_t>(e.code);
        break;
      case K::PadUp:
        connected_ = true;
        pad_.wButtons &= static_cast<uint16_t>(~e.code);
        break;
      case K::Stick:
        connected_ = true;
        if (e.code) {
          pad_.sThumbRX = static_cast<int16_t>(e.x);
          pad_.sThumbRY = static_cast<int16_t>(e.y);
        } else {
          pad_.sThumbLX = static_cast<int16_t>(e.x);
          pad_.sThumbLY = static_cast<int16_t>(e.y);
        }
        break;
      case K::Trigger:
        connected_ = true;
        (e.code ? pad_.bRightTrigger : pad_.bLeftTrigger) = static_cast<uint8_t>(e.x);
        break;
      case K::PadConnect:
        connected_ = true;
        break;
      case K::PadDisconnect:
        connected_ = false;
        break;
      case K::Quit:
        shared_->quitRequested = true;
        break;
    }
  }

  std::vector<InputEvent> events_;
  std::shared_ptr<HeadlessBackend::Shared> shared_;
  size_t next_ = 0;
  uint8_t keys_[256] = {};
  XINPUT_GAMEPAD pad_;
  bool connected_ = false;
};

}  // namespace

HeadlessBackend::HeadlessBackend(HeadlessOptions options)
    : options_(std::move(options)), shared_(std::make_shared<Shared>()) {
  shared_->maxFrames = options_.maxFrames;
}

HeadlessBackend::~HeadlessBackend() = default;

GameWindow* HeadlessBackend::CreateGameWindow(const char*, int, int, bool) {
  return new HeadlessWindow(shared_);
}

GraphicsDevice* HeadlessBackend::CreateDevice(GameWindow*, bool) {
  if (!options_.renderPictures) return new CountingDevice();
  std::string error = "no device that draws pictures was given";
  GraphicsDevice* device = options_.pictureDevice ? options_.pictureDevice(&error) : nullptr;
  if (!device) std::fprintf(stderr, "  %s\n", error.c_str());
  return device;
}

InputSource* HeadlessBackend::CreateInputSource() {
  return new ScriptedInput(options_.script, shared_);
}

SoundDevice* HeadlessBackend::CreateSoundDevice() {
  return CreateNullSoundDevice(clock_);
}

int64_t HeadlessBackend::FramesRun() const {
  return shared_->framesRun;
}
const std::string& HeadlessBackend::WindowTitle() const {
  return shared_->title;
}
std::optional<WindowDisplay> HeadlessBackend::LastDisplayRequest() const {
  return shared_->display;
}
void HeadlessBackend::RequestQuit() {
  shared_->quitRequested = true;
}
