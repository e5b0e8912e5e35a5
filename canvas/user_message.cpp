#include "canvas/user_message.h"

#include <atomic>
#include <cstdio>

namespace {

void WriteToStandardError(const char* text, const char* caption, MessageIcon) {
  if (caption && *caption)
    std::fprintf(stderr, "%s: %s\n", caption, text ? text : "");
  else
    std::fprintf(stderr, "%s\n", text ? text : "");
}

// Worker threads (file pieces) may report too.
std::atomic<UserMessageSink> gSink{WriteToStandardError};

}  // namespace

void SetUserMessageSink(UserMessageSink sink) { gSink = sink ? sink : WriteToStandardError; }

void ShowUserMessage(const char* text, const char* caption, MessageIcon icon) { gSink.load()(text, caption, icon); }
