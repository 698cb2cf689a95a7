#include "render/sound_sets.h"

#include "base/failed_files.h"
#include "base/report_error.h"
#include "render/sound_paths.h"

int SoundSetCore::Load() {
  // A set one of whose files failed and has not changed waits without
  // reading the others again.
  for (int i = 0; i < count_; ++i)
    if (FailedBefore(paths_[i])) return 0;
  Release();
  buffers_.clear();
  for (int i = 0; i < count_; ++i) {
    auto buffer = std::make_unique<SoundBuffer>();
    if (!buffer->Load(paths_[i])) {
      ReportError(failureText_);
      buffers_.clear();
      return 0;
    }
    buffers_.push_back(std::move(buffer));
  }
  request_.assign(count_, 0);
  started_.assign(count_, 0);
  rewind_.assign(count_, 0);
  deferred_.assign(count_, 0);
  return 1;
}

void SoundSetCore::Release() {
  for (auto& b : buffers_) b->Release();
  buffers_.clear();
}

void SoundSetCore::Update() {
  startedNow_.clear();
  if (buffers_.empty()) return;
  for (int i = 0; i < count_; ++i) {
    SoundBuffer& b = *buffers_[i];
    const int r = request_[i];
    if (rewind_[i] == 1) {
      rewind_[i] = 0;
      b.Rewind(0);
      startedNow_.push_back(i);
    }
    switch (r) {
      case 0:
        if (b.IsPlaying() || started_[i] == 1) {
          b.Stop();
          b.Rewind(0);
          started_[i] = 0;
        }
        break;
      case 1:
        if (started_[i] == 0) {
          b.Play(0);
          started_[i] = 1;
          startedNow_.push_back(i);
        }
        if (started_[i] == 1 && !b.IsPlaying()) {
          request_[i] = 0;
          b.Stop();
          b.Rewind(0);
          started_[i] = 0;
        }
        break;
      case 2:
        if (started_[i] == 0) {
          b.Play(DSBPLAY_LOOPING);
          started_[i] = 1;
          startedNow_.push_back(i);
        }
        break;
      default:
        break;
    }
  }
}

void SoundSetCore::Request(int i, int value) {
  if (i >= 0 && i < static_cast<int>(request_.size())) request_[i] = value;
}

int SoundSetCore::GetRequest(int i) const {
  return i >= 0 && i < static_cast<int>(request_.size()) ? request_[i] : 0;
}

int SoundSetCore::IsStarted(int i) const {
  return i >= 0 && i < static_cast<int>(started_.size()) ? started_[i] : 0;
}

void SoundSetCore::PlayOnce(int i) {
  if (i < 0 || i >= static_cast<int>(request_.size())) return;
  if (request_[i] == 1 && Valid(i) && buffers_[i]->IsPlaying())
    rewind_[i] = 1;  // restart from the beginning at the next update
  else
    request_[i] = 1;
}

int SoundSetCore::IsPlaying(int i) {
  return Valid(i) ? buffers_[i]->IsPlaying() : 0;
}

void SoundSetCore::Defer(int i, int value) {
  if (i >= 0 && i < static_cast<int>(deferred_.size())) deferred_[i] = value;
}

void SoundSetCore::ApplyDeferred() {
  for (size_t i = 0; i < deferred_.size(); ++i) {
    if (deferred_[i] != 0) {
      request_[i] = deferred_[i];
      deferred_[i] = 0;
    }
  }
}

void SoundSetCore::StopAll() {
  for (size_t i = 0; i < request_.size(); ++i) request_[i] = 0;
  Update();
}

SoundSetCore GameSoundSet() {
  return SoundSetCore(kGameSoundPaths, kGameSoundCount, "サウンドの読み込みに失敗 -GameSound-");
}
SoundSetCore EventSoundSet() {
  return SoundSetCore(kEventSoundPaths, kEventSoundCount, "サウンドの読み込みに失敗 -EventSound-");
}
SoundSetCore TitleSoundSet() {
  return SoundSetCore(kTitleSoundPaths, kTitleSoundCount, "サウンドの読み込みに失敗 -GameSound-");
}
SoundSetCore CreditSoundSet() {
  return SoundSetCore(kCreditSoundPaths, kCreditSoundCount,
                      "サウンドの読み込みに失敗 -CreditSound-");
}
