// The "[key]" section of the settings file, line by line: every line either binds or is
// skipped, and a binding is written back as a line that reads as the same binding.
#include <string_view>

#include "fuzz/fuzz_support.h"
#include "settings/key_bindings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  KeyBindingReader reader;
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    KeyBinding binding{};
    if (ParseKeyBindingLine(line, binding)) {
      KeyBinding back{};
      FUZZ_CHECK(ParseKeyBindingLine(FormatKeyBindingLine(binding), back) && back == binding);
    }
    if (!AddKeyBindingLine(reader, line)) break;
  }
  KeyBindingTable keyboard{}, joypad{};
  FinishKeyBindings(reader, keyboard, joypad);
  FUZZ_CHECK(keyboard.entries.size() <= kMaxKeyboardBindings && joypad.entries.size() <= kMaxJoypadBindings);
  return 0;
}
