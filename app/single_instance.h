// Only one copy of the game runs per user: the first start holds a lock on a
// file in the user's runtime directory; the system drops the lock when the
// process ends, however it ends.
#pragma once

#include <string>

class SingleInstanceGuard {
 public:
  // lockPath empty: $XDG_RUNTIME_DIR/orvelune.lock, or /tmp/orvelune-UID.lock.
  explicit SingleInstanceGuard(std::string lockPath = "");
  ~SingleInstanceGuard();
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  // True when this process now holds the lock; false when another holds it
  // (or the lock file cannot be used, with the reason in *why).
  bool Acquire(std::string* why = nullptr);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  int fd_ = -1;
};
