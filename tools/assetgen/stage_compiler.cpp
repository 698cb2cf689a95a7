// Stage sources are written as pictures: a legend gives each character the
// codes of its cell, and two grids draw the upper side and the underside,
// one character per cell. This turns them into the stage format the game
// reads ("MU", rows of comma-separated cells, "MR", rows).
//
//   # comments start with '#'
//   margin 30        optional: both grids start 30 rows further towards -z
//   legend
//   #  ON0E          a character, then the codes of its cell (no spaces)
//   .  -             '-' means an empty cell
//   end
//   upper
//   ..###*###..
//   end
//   underside
//   ...
//   end
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/assetgen/assetgen.h"

bool CompileStage(const std::string& source, const std::string& name, std::string* out,
                  std::string* error) {
  std::map<char, std::string> legend;
  std::vector<std::string> upper, underside;
  std::vector<std::string>* grid = nullptr;
  bool inLegend = false;
  int margin = 0;
  std::istringstream in(source);
  std::string line;
  int lineNo = 0;
  auto fail = [&](const std::string& what) {
    *error = name + ":" + std::to_string(lineNo) + ": " + what;
    return false;
  };
  while (std::getline(in, line)) {
    ++lineNo;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!inLegend && !grid) {
      const size_t hash = line.find('#');
      const std::string word = line.substr(0, hash);
      std::istringstream w(word);
      std::string keyword;
      if (!(w >> keyword)) continue;
      if (keyword == "margin") {
        if (!(w >> margin) || margin < 0 || margin > 1000)
          return fail("margin needs a row count from 0 to 1000");
        continue;
      }
      if (keyword == "legend")
        inLegend = true;
      else if (keyword == "upper")
        grid = &upper;
      else if (keyword == "underside")
        grid = &underside;
      else
        return fail("expected legend, upper or underside");
      continue;
    }
    if (line == "end") {
      inLegend = false;
      grid = nullptr;
      continue;
    }
    if (inLegend) {
      std::istringstream w(line);
      std::string key, codes;
      if (!(w >> key)) continue;
      if (key.size() != 1) return fail("a legend entry is one character, then its codes");
      if (!(w >> codes)) return fail("no codes for '" + key + "'");
      legend[key[0]] = codes == "-" ? "" : codes;
      continue;
    }
    grid->push_back(line);
  }
  if (inLegend || grid) return fail("missing end");
  std::string result;
  for (const auto& [marker, rows] : {std::pair{"MU", &upper}, std::pair{"MR", &underside}}) {
    result += marker;
    result += "\n";
    result += std::string(static_cast<size_t>(margin), '\n');
    for (const std::string& row : *rows) {
      std::vector<std::string> cells;
      for (char c : row) {
        if (c == ' ') {
          cells.emplace_back();
          continue;
        }
        auto it = legend.find(c);
        if (it == legend.end()) {
          *error = name + ": the grid uses '" + std::string(1, c) + "', which the legend lacks";
          return false;
        }
        cells.push_back(it->second);
      }
      while (!cells.empty() && cells.back().empty()) cells.pop_back();
      for (size_t i = 0; i < cells.size(); ++i) result += (i ? "," : "") + cells[i];
      result += "\n";
    }
  }
  *out = result;
  return true;
}
