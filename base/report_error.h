// The common error report. Every load and start-up failure passes its
// Japanese message here; it goes to stderr (UTF-8) so a player or a tester
// always learns why the program stopped.
#pragma once

#include <string>
#include <vector>

void ReportError(const char* text);
// A line of detail (a file name, a library's reason) printed under the report.
void ReportErrorDetail(const char* detail);

// The reports since the last clear, for tests.
const std::vector<std::string>& ReportedErrors();
void ClearReportedErrors();
