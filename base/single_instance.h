// Only one copy of the game runs per user: the first start holds a lock on a
// file in the user's runtime directory (on Windows: opens it for itself
// alone); the system drops the lock when the process ends, however it ends.
#pragma once

#include <cstdint>
#include <string>

class SingleInstanceGuard {
 public:
  // lockPath empty: $XDG_RUNTIME_DIR/orvelune.lock, or /tmp/orvelune-UID.lock
  // (on Windows: orvelune.lock in the user's temporary folder).
  explicit SingleInstanceGuard(std::string lockPath = "");
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  enum class Result {
    kAcquired,       // this process now holds the lock
    kHeldByAnother,  // another copy of the game runs
    kUnusable,       // the lock file cannot be made or locked (the reason in *why)
  };
  Result TryAcquire(std::string* why = nullptr);
  // True when this process now holds the lock.
  bool Acquire(std::string* why = nullptr) { return TryAcquire(why) == Result::kAcquired; }
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  intptr_t handle_ = -1;  // the open lock file (a descriptor, or a Windows handle)
};
