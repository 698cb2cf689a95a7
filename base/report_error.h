// The common error report. Every load and start-up failure passes its
// Japanese message here; it goes to stderr (UTF-8) so a player or a tester
// always learns why the program stopped.
#pragma once

#include <string>
#include <vector>

// Prints the Japanese text, then one English line that says what failed,
// names the file or device and what to do. subject: the file the failure is
// about (relative paths are shown from the working directory); empty for
// reports that follow another (they name the last file reported) or that
// are about a device.
void ReportError(const char* text, const std::string& subject = "");
// Remembers the file a coming report is about, for loaders that print only a
// detail and leave the report to their caller.
void SetReportSubject(const std::string& path);
// The English line for a report (for tests and the waiting screen).
std::string EnglishReportLine(const std::string& japanese, const std::string& subject);
// A line of detail (a file name, a library's reason) printed under the report.
void ReportErrorDetail(const char* detail);

// The reports since the last clear, for tests.
const std::vector<std::string>& ReportedErrors();
// The same reports as they were printed (both lines of each, the player's
// language first), for a message box.
std::string ReportedErrorsText();
void ClearReportedErrors();
