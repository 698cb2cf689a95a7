#include "base/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

SingleInstanceGuard::SingleInstanceGuard(std::string lockPath) : path_(std::move(lockPath)) {
  if (path_.empty()) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
      path_ = std::string(runtime) + "/orvelune.lock";
    else
      path_ = "/tmp/orvelune-" + std::to_string(::getuid()) + ".lock";
  }
}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (handle_ >= 0) ::close(static_cast<int>(handle_));  // closing drops the lock
}

SingleInstanceGuard::Result SingleInstanceGuard::TryAcquire(std::string* why) {
  if (handle_ >= 0) return Result::kAcquired;
  const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) {
    if (why) *why = "cannot open " + path_ + ": " + std::strerror(errno);
    return Result::kUnusable;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    const int code = errno;
    ::close(fd);
    if (code == EWOULDBLOCK) {
      if (why) *why = "another copy is running";
      return Result::kHeldByAnother;
    }
    if (why) *why = "cannot lock " + path_ + ": " + std::strerror(code);
    return Result::kUnusable;
  }
  handle_ = fd;
  return Result::kAcquired;
}
