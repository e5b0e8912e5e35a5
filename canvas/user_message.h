// Messages for the user from code that has no window of its own. The core reports what went
// wrong where it happens ("Cannot open png file.") through one sink; the Windows shell installs
// a sink that shows a message box, the command-line tool one that prints to standard error,
// and tests one that records.
#pragma once

enum class MessageIcon : int {
  kError = 0,    // caption "Dotwright", error icon
  kWarning = 1,  // warning icon
  kStop = 2,     // stop icon
};

// text and caption are UTF-8. An empty caption means no caption.
using UserMessageSink = void (*)(const char* text, const char* caption, MessageIcon icon);

// Installs the sink; null restores the default, which writes "caption: text" to standard error.
void SetUserMessageSink(UserMessageSink sink);

// Shows a message through the installed sink.
void ShowUserMessage(const char* text, const char* caption = "Dotwright", MessageIcon icon = MessageIcon::kError);
