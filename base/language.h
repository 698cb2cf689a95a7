// The language the player reads: Japanese (the game's own) or English.
// English content sits beside the Japanese in the same formats, in a
// parallel folder below the content root ("Resource_Orvelune/en/..."), and
// is read by the same readers: only the files that hold text a player reads
// have an English copy, and only those paths are redirected.
#pragma once

#include <string>
#include <vector>

enum class Language { kJapanese, kEnglish };

// The language in use; Japanese until set. Set once at start-up.
void SetLanguage(Language language);
Language CurrentLanguage();

// "ja" or "en" (any case); false for anything else.
bool ParseLanguage(const std::string& code, Language* out);
const char* LanguageCode(Language language);

// The language the system's locale asks for, from the values of LC_ALL,
// LC_MESSAGES and LANG in that order (the first that is set and not empty
// decides, as setlocale does): a "ja" locale gives Japanese, any other
// (including C and POSIX, or none at all) English.
Language LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);
// The same, read from this process's environment; where none of the three
// is set, the system's language (on Windows, the user's display language).
Language LanguageFromEnvironment();

// The content files (relative to the content root) that have an English copy.
const std::vector<std::string>& LocalizedFiles();
// The folder of a language's copies, relative to the content root ("" for
// Japanese, whose files are the originals).
std::string LanguageFolder(Language language);
// The path to read for a content file in the current language: the English
// copy of a localized file when English is in use, otherwise the path as it
// is. Paths are matched after the last "Resource_Orvelune/" in them.
std::string LocalizedPath(const std::string& path);
