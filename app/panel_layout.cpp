#include "app/panel_layout.h"

#include <algorithm>

#include "app/command_state.h"

namespace {

bool On(int32_t value) { return value != 0; }

// The column's left edge: at the client's right edge with view_panel_right.
int32_t ColumnLeft(const AppSettings& settings, float s, int32_t clientWidth, int32_t scrollBarWidth) {
  return On(settings.view_panel_right) ? clientWidth - (Scaled(kColumnWidth, s) + scrollBarWidth) : 0;
}

}  // namespace

float UiScaleFactor(int32_t uiScaling) {
  switch (uiScaling) {
    case 150: return 1.5f;
    case 200: return 2.0f;
    case 300: return 3.0f;
    default: return 1.0f;
  }
}

int32_t Scaled(int32_t length, float s) { return static_cast<int32_t>(static_cast<float>(length) * s); }

float PanelScaleOfWidth(int32_t clientWidth) {
  if (clientWidth >= 384) return 3.0f;
  if (clientWidth >= 256) return 2.0f;
  if (clientWidth >= 192) return 1.5f;
  return 1.0f;
}

bool PanelMemberExists(PanelMember m, const ColumnContents& contents) {
  if (m == PanelMember::kTexture) return contents.textureItems > 0;
  if (m == PanelMember::kPaperTexture) return contents.materialItems > 0;
  return true;
}

int32_t PanelMemberHeight(PanelMember m, float s, const ColumnContents& contents) {
  if (m == PanelMember::kTexture) return Scaled(kListedRowHeight, s) * std::max(contents.textureItems, 0);
  if (m == PanelMember::kPaperTexture) return Scaled(kListedRowHeight, s) * std::max(contents.materialItems, 0);
  return Scaled(FactsOf(m).height, s);
}

bool PanelMemberShown(const AppSettings& settings, PanelMember m, const ColumnContents& contents) {
  return PanelMemberExists(m, contents) && On(settings.*FactsOf(m).visible);
}

MainLayout ComputeMainLayout(const AppSettings& settings, float s, int32_t clientWidth, int32_t clientHeight,
                             int32_t scrollBarWidth) {
  const int32_t columnWidth = Scaled(kColumnWidth, s) + scrollBarWidth;
  const int32_t x0 = ColumnLeft(settings, s, clientWidth, scrollBarWidth);
  MainLayout layout{};
  layout.placeColumn = !On(settings.SeparatePanel);
  layout.showColumn = !On(settings.hide_panel);
  layout.column = {x0, 0, columnWidth, clientHeight};
  layout.view = {0, 0, clientWidth, clientHeight};
  if (!On(settings.hide_panel) && !On(settings.ShowEasyPanel) && !On(settings.SeparatePanel)) {
    layout.view.width = std::max(clientWidth - columnWidth, 0);
    if (!On(settings.view_panel_right)) layout.view.x = columnWidth;
  }
  return layout;
}

ColumnStack StackColumn(const AppSettings& settings, float s, const ColumnContents& contents, int32_t offset) {
  ColumnStack stack{};
  int32_t y = Scaled(kColumnStripHeight, s);
  for (int k = 0; k < kPanelMemberCount; ++k) {
    const auto m = static_cast<PanelMember>(k);
    if (!PanelMemberShown(settings, m, contents)) continue;
    const int32_t height = PanelMemberHeight(m, s, contents);
    stack.shown[k] = true;
    stack.boxes[k] = {0, y - offset, Scaled(kColumnWidth, s), height};
    y += height;
  }
  stack.contentHeight = y;
  return stack;
}

int32_t ClampColumnOffset(int32_t offset, int32_t contentHeight, int32_t pageHeight) {
  return std::clamp(offset, 0, std::max(contentHeight - pageHeight, 0));
}

int32_t ScrollColumn(int32_t offset, ColumnScroll how, int32_t position, int32_t contentHeight, int32_t pageHeight,
                     float s) {
  const int32_t line = Scaled(kColumnLine, s);
  switch (how) {
    case ColumnScroll::kLineUp: offset -= line; break;
    case ColumnScroll::kLineDown: offset += line; break;
    case ColumnScroll::kPageUp: offset -= pageHeight; break;
    case ColumnScroll::kPageDown: offset += pageHeight; break;
    case ColumnScroll::kTop: offset = 0; break;
    case ColumnScroll::kBottom: offset = contentHeight; break;
    case ColumnScroll::kTo: offset = position; break;
  }
  return ClampColumnOffset(offset, contentHeight, pageHeight);
}

FloatingPosition FloatingPositionOf(const AppSettings& settings, int window) {
  if (window == 0) return {settings.PanelWindowPosX, settings.PanelWindowPosY};
  const PanelMemberFacts& f = kPanelMembers[window - 1];
  return {settings.*f.floatX, settings.*f.floatY};
}

void StoreFloatingPosition(AppSettings& settings, int window, FloatingPosition position) {
  if (window == 0) {
    settings.PanelWindowPosX = position.x;
    settings.PanelWindowPosY = position.y;
    return;
  }
  const PanelMemberFacts& f = kPanelMembers[window - 1];
  settings.*f.floatX = position.x;
  settings.*f.floatY = position.y;
}

bool FloatingPositionsStored(const AppSettings& settings) {
  for (int w = 0; w < kFloatingWindowCount; ++w)
    if (FloatingPositionOf(settings, w) != FloatingPosition{0, 0}) return true;
  return false;
}

FloatingPosition ReachableFloatingPosition(FloatingPosition at, int32_t outerWidth, int32_t captionHeight,
                                           int32_t clientWidth, int32_t clientHeight) {
  return {std::clamp(at.x, 0, std::max(clientWidth - outerWidth, 0)),
          std::clamp(at.y, 0, std::max(clientHeight - captionHeight, 0))};
}

void SpreadFloatingPositions(AppSettings& settings, float s, const ColumnContents& contents, int32_t clientWidth,
                             int32_t clientHeight, int32_t scrollBarWidth, FrameExtra frame) {
  const int32_t outerWidth = Scaled(kColumnWidth, s) + frame.width;
  const int32_t direction = On(settings.view_panel_right) ? -1 : 1;
  const int32_t firstX = ColumnLeft(settings, s, clientWidth, scrollBarWidth);
  int32_t x = firstX, y = 0, top = 0, wraps = 0;
  const auto place = [&](int window, int32_t clientHeightOfWindow) {
    const int32_t outerHeight = clientHeightOfWindow + frame.height;
    if (y > top && y + outerHeight > clientHeight) {
      x += direction * outerWidth;
      y = top;
      if (x < 0 || x + outerWidth > clientWidth) {
        // No room for another column: start again over the first, a caption lower and
        // further in, so that every caption stays in sight.
        ++wraps;
        x = firstX + direction * wraps * frame.height;
        y = top = wraps * frame.height;
      }
    }
    StoreFloatingPosition(settings, window, {x, y});
    y += outerHeight;
  };
  place(0, Scaled(kColumnStripHeight, s));
  for (const bool shown : {true, false}) {
    for (int k = 0; k < kPanelMemberCount; ++k) {
      const auto m = static_cast<PanelMember>(k);
      if (!PanelMemberExists(m, contents) || PanelMemberShown(settings, m, contents) != shown) continue;
      place(1 + k, PanelMemberHeight(m, s, contents));
    }
  }
}

WindowCommand ClassifyWindowCommand(int32_t command) {
  for (int k = 0; k < kPanelMemberCount; ++k)
    if (command == kPanelMembers[k].toggle) return {WindowCommandKind::kMember, static_cast<PanelMember>(k)};
  switch (command) {
    case CMD_TOGGLE_WINDOW_EASY_PANEL: return {WindowCommandKind::kEasyPanel, PanelMember::kTabInfo};
    case CMD_TOGGLE_PANEL: return {WindowCommandKind::kHidePanel, PanelMember::kTabInfo};
    case CMD_TOGGLE_PANEL_RIGHT: return {WindowCommandKind::kPanelRight, PanelMember::kTabInfo};
    case CMD_TOGGLE_SEPARATE_PANEL: return {WindowCommandKind::kSeparate, PanelMember::kTabInfo};
    case CMD_TOGGLE_TRANSLUCENT: return {WindowCommandKind::kTranslucent, PanelMember::kTabInfo};
    default: return {WindowCommandKind::kNone, PanelMember::kTabInfo};
  }
}

int32_t FlipWindowSetting(AppSettings& settings, int32_t command) {
  const int32_t k = command - CMD_TOGGLE_WINDOW_EASY_PANEL;
  if (k < 0 || k >= kWindowToggleCount) return -1;
  int32_t& value = settings.*kWindowToggleSettings[k];
  value = On(value) ? 0 : 1;
  return value;
}

WindowAlpha TranslucencyAlpha(bool on, uint32_t windowOpacity) {
  const uint8_t alpha = on ? static_cast<uint8_t>(std::min<uint32_t>(windowOpacity, 255)) : 255;
  return {alpha < 255, alpha};
}

int StartUpPanelCommands(AppSettings& settings, int32_t commands[2]) {
  int count = 0;
  if (On(settings.view_panel_right)) {
    settings.view_panel_right = 0;
    commands[count++] = CMD_TOGGLE_PANEL_RIGHT;
  }
  if (On(settings.SeparatePanel)) {
    settings.SeparatePanel = 0;
    commands[count++] = CMD_TOGGLE_SEPARATE_PANEL;
  }
  return count;
}

std::u16string CaptionOfMenuText(std::u16string_view text) {
  text = text.substr(0, std::min(text.find(u'\t'), text.size()));
  if (text.size() >= 4 && text[text.size() - 4] == u'(' && text[text.size() - 3] == u'&' && text.back() == u')')
    text.remove_suffix(4);
  std::u16string caption;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != u'&') {
      caption += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == u'&') {
      caption += u'&';
      ++i;
    }
  }
  if (caption.size() >= 3 && caption.ends_with(u"...")) caption.resize(caption.size() - 3);
  return caption;
}

int32_t RowAt(int32_t y, int32_t rowHeight, int32_t rowCount) {
  if (y < 0 || rowHeight <= 0) return -1;
  const int32_t row = y / rowHeight;
  return row < rowCount ? row : -1;
}
