// The files that failed to load, remembered with what they looked like on
// disk (absent, or their size and modification time). A scene that waits for
// a file retries its start every frame; a file remembered here is refused at
// once, without being read, decoded or reported again, until it changes.
#pragma once

#include <string>

// What a file looks like on disk, to tell whether it changed: absent, or its
// size and modification time.
struct FileSignature {
  bool exists = false;
  long long size = 0;
  long long mtimeSec = 0, mtimeNsec = 0;
  bool operator==(const FileSignature& o) const = default;
};
FileSignature SignatureOf(const std::string& path);

// True when the file failed before and has not changed since.
bool FailedBefore(const std::string& path);
// Remembers a failure (the file as it is now).
void RememberFailure(const std::string& path);
// The last file remembered (empty when none), for the waiting screen.
std::string LastFailedFile();
// Forgets every failure (tests, a new run).
void ForgetFailures();
