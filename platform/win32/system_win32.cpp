// The game's file-system services on Windows: whole-file replacement, the
// user's folders, the program's folder and the single-instance lock. Paths
// are UTF-8 in the game and UTF-16 towards Windows.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "base/atomic_file.h"
#include "base/single_instance.h"
#include "base/user_dirs.h"
// Beside this file: it is built into base, whose include folders leave out
// the backends' folders.
#include "wide_text.h"

namespace {

std::string LastErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string out = n ? Utf8FromWide(text) : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == '.'))
    out.pop_back();
  return out;
}

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Removes "NAME.tmpPID" files beside the target whose process has ended.
void RemoveStaleTemporaries(const std::string& target) {
  const std::string dir = DirectoryOf(target), prefix = NameOf(target) + ".tmp";
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(WideFromUtf8(dir + "/" + prefix + "*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    const std::string name = Utf8FromWide(found.cFileName);
    if (name.size() <= prefix.size()) continue;
    char* end = nullptr;
    const unsigned long pid = std::strtoul(name.c_str() + prefix.size(), &end, 10);
    if (*end != '\0' || pid == 0 || pid == GetCurrentProcessId()) continue;
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process) {
      const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
      CloseHandle(process);
      if (running) continue;
    } else if (GetLastError() == ERROR_ACCESS_DENIED) {
      continue;  // someone else's process
    }
    DeleteFileW(WideFromUtf8(dir + "/" + name).c_str());
  } while (FindNextFileW(find, &found));
  FindClose(find);
}

std::string KnownFolder(const KNOWNFOLDERID& id) {
  wchar_t* path = nullptr;
  std::string out;
  if (SUCCEEDED(SHGetKnownFolderPath(id, KF_FLAG_CREATE, nullptr, &path))) out = Utf8FromWide(path);
  CoTaskMemFree(path);
  return out;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error) {
  auto fail = [&](DWORD code) {
    *error = "cannot write " + path + ": " + LastErrorText(code);
    return false;
  };
  RemoveStaleTemporaries(path);
  const std::wstring target = WideFromUtf8(path);
  const DWORD attributes = GetFileAttributesW(target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return fail(ERROR_DIRECTORY);
    // A read-only file stays as it is.
    if (attributes & FILE_ATTRIBUTE_READONLY) return fail(ERROR_ACCESS_DENIED);
  }
  const std::wstring temp = target + L".tmp" + std::to_wstring(GetCurrentProcessId());
  HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return fail(GetLastError());
  DWORD code = 0;
  size_t done = 0;
  while (done < contents.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(contents.size() - done, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, contents.data() + done, chunk, &written, nullptr)) {
      code = GetLastError();
      break;
    }
    done += written;
  }
  if (!code && !FlushFileBuffers(file)) code = GetLastError();
  CloseHandle(file);
  if (!code && !MoveFileExW(temp.c_str(), target.c_str(),
                            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    code = GetLastError();
  if (code) {
    DeleteFileW(temp.c_str());
    return fail(code);
  }
  return true;
}

std::string UserConfigDirectory() {
  const std::string base = KnownFolder(FOLDERID_RoamingAppData);
  return base.empty() ? "" : base + "\\Orvelune";
}

std::string UserDataDirectory() {
  return UserConfigDirectory();
}

bool MakeDirectories(const std::string& path) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  const size_t slash = path.find_last_of("/\\");
  if (slash != std::string::npos && slash > 0 && path[slash - 1] != ':' &&
      !MakeDirectories(path.substr(0, slash)))
    return false;
  return CreateDirectoryW(WideFromUtf8(path).c_str(), nullptr) ||
         GetLastError() == ERROR_ALREADY_EXISTS;
}

std::string ProgramDirectory() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return "";
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return DirectoryOf(Utf8FromWide(path));
}

std::string SystemLanguageTag() {
  // The user's display language, the one Windows itself speaks to them in.
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? "ja-JP" : "en";
}

SingleInstanceGuard::SingleInstanceGuard(std::string lockPath) : path_(std::move(lockPath)) {
  if (path_.empty()) {
    wchar_t temp[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, temp);
    path_ = (n > 0 && n <= MAX_PATH ? Utf8FromWide(temp) : std::string(".\\")) + "orvelune.lock";
  }
}

SingleInstanceGuard::~SingleInstanceGuard() {
  if (handle_ >= 0) CloseHandle(reinterpret_cast<HANDLE>(handle_));  // closing drops the lock
}

SingleInstanceGuard::Result SingleInstanceGuard::TryAcquire(std::string* why) {
  if (handle_ >= 0) return Result::kAcquired;
  // Opened without sharing: a second opener is refused until this process
  // closes the file or ends.
  HANDLE file = CreateFileW(WideFromUtf8(path_).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD code = GetLastError();
    if (code == ERROR_SHARING_VIOLATION) {
      if (why) *why = "another copy is running";
      return Result::kHeldByAnother;
    }
    if (why) *why = "cannot open " + path_ + ": " + LastErrorText(code);
    return Result::kUnusable;
  }
  handle_ = reinterpret_cast<intptr_t>(file);
  return Result::kAcquired;
}
