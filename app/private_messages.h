// The private window messages between the main window, its child windows and the update
// thread. Each number has one name; where a number means different things to different
// receivers, each receiver's meaning is listed. "w" is WPARAM, "l" is LPARAM; a parameter not
// mentioned is 0 and ignored. Messages to the main window are sent (SendMessage) unless marked
// posted.
//
// The panels use these numbers among themselves as well (for example a bar control's value
// reports); those are for the panels' own code and are not listed here.
#pragma once

#include <cstdint>

// Wintab packet, posted by the tablet driver to the window that opened the context (message
// base of the context). w: the packet's serial number; l: the context handle.
inline constexpr uint32_t kMsgWintabPacket = 0x7FF0;

// Wintab proximity, posted by the tablet driver. w: the context handle; l: low word 1 when
// the pen enters proximity, 0 when it leaves; high word 1 for hardware proximity.
inline constexpr uint32_t kMsgWintabProximity = 0x7FF5;

// The pen-setting panel's size or hardness bar moved (forwarded from its bar). w: 1 size,
// 2 hardness; l: the new value (pixels 1..1000, or hardness 0..100). The main window stores it
// in the current pen.
inline constexpr uint32_t kMsgSetPenSizeOrHardness = 0x8006;

// The current pen preset record.
// To the main window (the pen-setting panel, once at creation): w is the address of a
// PenSetting* that the main window fills with the current preset's address.
// To the pen-setting panel (the main window, whenever the current pen changes or its size
// changes): w is the address of the current PenSetting; the panel shows it.
inline constexpr uint32_t kMsgCurrentPenRecord = 0x8007;

// Posted by the update thread (or sent by a submitter that finds one already posted): a
// composed rectangle is ready; the main window renders it into the view and repaints it.
inline constexpr uint32_t kMsgViewRectReady = 0x800B;

// From the texture panel: texture item w was chosen; handled as the texture menu's item w.
inline constexpr uint32_t kMsgTextureChosen = 0x800D;

// Pen slot selection.
// To the main window (the pen list; the main window itself for kMsgReselectCurrentPen): make
// pen slot w (0..15) current.
// From the main window to the easy panel (no parameters): re-read the current pen.
// From the pen list to a pen icon: l = 1 marks the icon as selected, 0 unmarks it.
// From the pen-setting dialog to its parent's parent (w: the dialog): the kind changed.
inline constexpr uint32_t kMsgSelectPenSlot = 0x800E;

// The current pen's kind (KindOfPen) changed.
// To the main window (the pen-setting panel or dialog): look up the stroke handler again.
// From the main window to the easy panel and the pen list, and from the pen list to every
// icon: rebuild the icon pictures from the presets' kinds.
inline constexpr uint32_t kMsgPenKindChanged = 0x800F;

// From the pen-setting panel: the pen's layer binding (EnablePalette, Palette) changed. The
// main window tells the colour picker and the easy panel and repaints the layer panel.
inline constexpr uint32_t kMsgPenLayerChanged = 0x8010;

// To the main window (the layer panel, the palette ring, the input step when it had to repair
// the current layer): the current layer index changed.
inline constexpr uint32_t kMsgCurrentLayerChanged = 0x8011;

// A layer entry's colour, visibility, blend mode, order, clip or opacity changed.
// To the main window (the layer panel, a colour swatch, the colour picker): recompute the
// palette and repaint everything that shows layer colours.
// From the main window (or the picker itself) to the colour picker: re-read the current
// layer's colour.
inline constexpr uint32_t kMsgLayerEntryChanged = 0x8012;

// Commit the pending operation: drop the floating selection or floating image onto the
// canvas. Posted by the floating selection window on a click outside it; sent by the main
// window to itself before any command that needs the canvas.
inline constexpr uint32_t kMsgCommitPending = 0x8014;

// From the main window to the pen-setting panel, the layer panel and the pen list (no
// parameters): refresh everything shown from the layer table and the current pen. A bar
// control also sends it to its parent when a drag ends.
inline constexpr uint32_t kMsgRefreshPanel = 0x8016;

// To the main window (no parameters): run CMD_TOGGLE_WINDOW_EASY_PANEL.
inline constexpr uint32_t kMsgToggleEasyPanel = 0x8018;

// From the main window to the floating pen selector (no parameters): show yourself at the
// mouse position.
inline constexpr uint32_t kMsgShowPenSelector = 0x801A;

// From the main window to the pen list and the easy panel, and from the pen list to every
// icon (no parameters): layer colours changed, recolour the icons. The colour picker also
// sends it to itself to redraw its triangle for the current hue.
inline constexpr uint32_t kMsgRecolourIcons = 0x801B;

// To the main window (the pen-setting dialog when Size or Hardness changed, after an XML
// import and on Cancel; w: the dialog): select the current pen slot again, so every panel
// shows the changed preset.
inline constexpr uint32_t kMsgReselectCurrentPen = 0x801C;
