#include "base/failed_files.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>

namespace {

struct Memo {
  std::mutex lock;
  std::map<std::string, FileSignature> failed;
  std::string last;
};

Memo& TheMemo() {
  static Memo memo;
  return memo;
}

}  // namespace

FileSignature SignatureOf(const std::string& path) {
  FileSignature look;
  namespace fs = std::filesystem;
  std::error_code ec;
  const fs::file_status status = fs::status(path, ec);
  if (ec || !fs::exists(status)) return look;
  look.exists = true;
  if (fs::is_regular_file(status)) {
    const auto size = fs::file_size(path, ec);
    look.size = ec ? 0 : static_cast<decltype(look.size)>(size);
  }
  const auto written = fs::last_write_time(path, ec);
  if (!ec) {
    const int64_t ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
    look.mtimeSec = ns / 1000000000;
    look.mtimeNsec = ns % 1000000000;
  }
  return look;
}

bool FailedBefore(const std::string& path) {
  Memo& m = TheMemo();
  std::lock_guard<std::mutex> guard(m.lock);
  auto it = m.failed.find(path);
  if (it == m.failed.end()) return false;
  if (it->second == SignatureOf(path)) return true;
  m.failed.erase(it);  // changed on disk: try it again
  return false;
}

void RememberFailure(const std::string& path) {
  Memo& m = TheMemo();
  std::lock_guard<std::mutex> guard(m.lock);
  m.failed[path] = SignatureOf(path);
  m.last = path;
}

std::string LastFailedFile() {
  Memo& m = TheMemo();
  std::lock_guard<std::mutex> guard(m.lock);
  return m.last;
}

void ForgetFailures() {
  Memo& m = TheMemo();
  std::lock_guard<std::mutex> guard(m.lock);
  m.failed.clear();
  m.last.clear();
}
