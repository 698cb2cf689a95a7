// The files that failed to load, remembered with what they looked like on
// disk (absent, or their size and modification time). A scene that waits for
// a file retries its start every frame; a file remembered here is refused at
// once, without being read, decoded or reported again, until it changes.
#pragma once

#include <string>

// True when the file failed before and has not changed since.
bool FailedBefore(const std::string& path);
// Remembers a failure (the file as it is now).
void RememberFailure(const std::string& path);
// The last file remembered (empty when none), for the waiting screen.
std::string LastFailedFile();
// Forgets every failure (tests, a new run).
void ForgetFailures();
