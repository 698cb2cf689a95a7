#include "base/report_error.h"

#include <cstdio>

namespace {
std::vector<std::string>& Reports() {
  static std::vector<std::string> reports;
  return reports;
}
}  // namespace

void ReportError(const char* text) {
  std::fprintf(stderr, "Orvelune: %s\n", text);
  std::fflush(stderr);
  if (Reports().size() < 1000) Reports().emplace_back(text);
}

void ReportErrorDetail(const char* detail) {
  std::fprintf(stderr, "  %s\n", detail);
  std::fflush(stderr);
}

const std::vector<std::string>& ReportedErrors() {
  return Reports();
}
void ClearReportedErrors() {
  Reports().clear();
}
