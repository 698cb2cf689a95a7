// The event file, the scene scripts and the help texts are text a person
// edits: any bytes must read without reading out of bounds, pages stay within
// their size, and typing over any page ends at its length. Bytes the check for
// damaged text lets through decode to characters only, never to a box.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "base/text_encoding.h"
#include "scenes/event.h"
#include "scenes/scripted_scene.h"
#include "world/info_board.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  if (SjisUnreadableAt(text) == std::string::npos &&
      SjisToCodepoints(text.data(), static_cast<long>(text.size())).find(U'\uFFFD') !=
          std::u32string::npos)
    std::abort();
  int allEnd = 0;
  for (int number : {0, 1, 7}) {
    for (const EventPage& page : Event::ParsePages(text, number, &allEnd)) {
      if (page.text.size() > 511 || page.kind < 0 || page.kind > 2) std::abort();
      const int length = static_cast<int>(page.text.size());
      int shown = 0;
      for (int i = 0; i <= length; ++i) shown = Event::NextShown(page.text, shown, length);
      if (shown != length) std::abort();
    }
  }
  for (const ScriptPage& page : ParseScript(text)) {
    if (page.text.size() > 511 || page.speaker < 0 || page.speaker > 3) std::abort();
    for (int place : page.place)
      if (place < -1 || place > 3) std::abort();
    const int length = static_cast<int>(page.text.size());
    int shown = 0, delay = 0;
    for (int i = 0; i <= 4 * length + 4; ++i)
      shown = ScriptedScene::NextShown(page.text, shown, length, &delay);
    if (shown != length) std::abort();
  }
  const InfoEntry entry = ParseInfoLine(text);
  if (entry.picture < -9 || entry.picture > 9 || entry.text.size() > 1023) std::abort();
  return 0;
}
