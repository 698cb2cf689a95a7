#include "base/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Follows a chain of symbolic links to the file they name (which need not
// exist yet); the path itself when it is no link.
std::string Resolve(const std::string& path) {
  std::string current = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(current.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return current;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(current.c_str(), target, sizeof target - 1);
    if (n <= 0) return current;
    target[n] = '\0';
    current = target[0] == '/' ? std::string(target) : DirectoryOf(current) + "/" + target;
  }
  return current;
}

// Removes "NAME.tmpPID" files beside the target whose process has ended.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string dir = DirectoryOf(target), prefix = NameOf(target) + ".tmp";
  DIR* d = ::opendir(dir.c_str());
  if (!d) return;
  while (const dirent* e = ::readdir(d)) {
    const std::string name = e->d_name;
    if (name.compare(0, prefix.size(), prefix) != 0 || name.size() == prefix.size()) continue;
    char* end = nullptr;
    const long pid = std::strtol(name.c_str() + prefix.size(), &end, 10);
    if (*end != '\0' || pid <= 0) continue;
    if (pid == ::getpid()) continue;
    if (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM) continue;  // still running
    ::unlink((dir + "/" + name).c_str());
  }
  ::closedir(d);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error) {
  const std::string target = Resolve(path);
  auto fail = [&](int code) {
    *error = "cannot write " + path + ": " + std::strerror(code);
    return false;
  };
  RemoveStaleTemporaries(target);

  mode_t mode = 0644;
  struct stat st;
  if (::stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode)) return fail(EISDIR);
    // A file that may not be written (or that nobody may write, which even
    // the superuser respects here) stays as it is.
    if ((st.st_mode & 0222) == 0) return fail(EACCES);
    if (::access(target.c_str(), W_OK) != 0) return fail(errno);
    mode = st.st_mode & 07777;
  }

  const std::string temp = target + ".tmp" + std::to_string(::getpid());
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return fail(errno);
  ::fchmod(fd, mode);  // whatever the umask
  size_t done = 0;
  int code = 0;
  while (done < contents.size()) {
    const ssize_t n = ::write(fd, contents.data() + done, contents.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      code = errno;
      break;
    }
    done += static_cast<size_t>(n);
  }
  if (!code && ::fsync(fd) != 0) code = errno;
  if (::close(fd) != 0 && !code) code = errno;
  if (!code && ::rename(temp.c_str(), target.c_str()) != 0) code = errno;
  if (code) {
    ::unlink(temp.c_str());
    return fail(code);
  }
  // The rename itself reaches the disk with the directory.
  const int dirFd = ::open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    ::fsync(dirFd);
    ::close(dirFd);
  }
  return true;
}
