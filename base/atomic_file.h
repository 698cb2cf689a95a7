// Files the program writes are replaced whole or not at all: the contents go
// to a temporary file beside the target, are flushed to disk, and the
// temporary file is renamed over the target.
#pragma once

#include <string>

bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error);
