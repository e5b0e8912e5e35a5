#include "settings/command_ids.h"

namespace {

constexpr bool AscendingIds() {
  for (int i = 1; i < kCommandCount; ++i)
    if (kCommandNames[i - 1].id >= kCommandNames[i].id) return false;
  return true;
}
// Also makes every id unique; CommandNameOf relies on it.
static_assert(AscendingIds(), "DOTWRIGHT_COMMANDS must list ids in ascending order");

}  // namespace

std::string_view CommandNameOf(CommandId id) {
  for (const CommandName& c : kCommandNames)
    if (c.id == id) return c.name;
  return {};
}

int32_t CommandIdOfName(std::string_view name) {
  for (const CommandName& c : kCommandNames)
    if (c.name == name) return c.id;
  return -1;
}

int32_t CommandRunIndex(CommandId id, CommandId first, int32_t count) {
  int32_t k = static_cast<int32_t>(id) - static_cast<int32_t>(first);
  return k >= 0 && k < count ? k : -1;
}
