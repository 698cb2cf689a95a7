// Files the program writes are replaced whole or not at all: the contents go
// to a temporary file beside the target, are flushed to disk, and the
// temporary file is renamed over the target.
//
// A target that is a symbolic link is written through the link (the link
// stays); a target that exists but may not be written is left alone and the
// write fails, as opening it for writing would; the new file keeps the old
// one's permissions. Temporary files that an earlier run left behind (killed
// before its rename) are removed, and a failed write removes its own. Errors
// name the target.
#pragma once

#include <string>

bool WriteFileAtomically(const std::string& path, const std::string& contents, std::string* error);
