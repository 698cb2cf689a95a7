// orvelune-sim --dump-stage PATH: reads one stage file with the real reader
// (nothing else runs) and prints what it made as one JSON object.
#pragma once

#include <string>

// The JSON of a stage file's objects as they are right after loading; false
// (with the loader's report on stderr) when the file cannot be read.
bool StageDumpJson(const std::string& path, std::string* json);
