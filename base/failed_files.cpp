#include "base/failed_files.h"

#include <sys/stat.h>

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
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return look;
  look.exists = true;
  look.size = st.st_size;
  look.mtimeSec = st.st_mtim.tv_sec;
  look.mtimeNsec = st.st_mtim.tv_nsec;
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
