// The hand-written text sources in content/ are UTF-8; the game reads
// Shift-JIS. Every .csv and .txt file is converted and placed at the same
// path below Resource_Orvelune/. A character Shift-JIS cannot hold is an
// error naming the file and line, so no text silently turns into '?'.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/text_encoding.h"
#include "tools/assetgen/assetgen.h"

bool ConvertContent(const std::string& contentDir, AssetSet& out, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(contentDir, ec)) {
    *error = "content directory " + contentDir + " not found";
    return false;
  }
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(contentDir)) {
    const std::string ext = entry.path().extension().string();
    if (entry.is_regular_file() && (ext == ".csv" || ext == ".txt" || ext == ".stage"))
      files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& path : files) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    std::string sjis;
    std::istringstream lines(text.str());
    std::string line;
    int lineNo = 0;
    while (std::getline(lines, line)) {
      ++lineNo;
      if (!line.empty() && line.back() == '\r') line.pop_back();
      const std::string converted = Utf8ToSjis(line);
      // '?' in the output that was not in the input means a lost character.
      if (std::count(converted.begin(), converted.end(), '?') !=
          std::count(line.begin(), line.end(), '?')) {
        *error = path.string() + ":" + std::to_string(lineNo) +
                 ": a character that Shift-JIS cannot hold";
        return false;
      }
      sjis += converted;
      sjis += '\n';
    }
    fs::path target = fs::relative(path, contentDir);
    if (path.extension() == ".stage") {
      std::string compiled;
      if (!CompileStage(sjis, path.string(), &compiled, error)) return false;
      sjis = compiled;
      target.replace_extension(".csv");
    }
    out.Add("Resource_Orvelune/" + target.generic_string(), sjis);
  }
  return true;
}
