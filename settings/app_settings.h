// The one settings record of the program. Every persistent option is a field named after its
// key in the settings file ("Dotwright.ini"); the record also holds the paths worked out at
// start, the sixteen pen presets and the two key binding tables. Callers read and write the
// fields directly; nothing is notified of changes.
#pragma once

#include <cstdint>
#include <filesystem>

#include "brush/pen_setting.h"
#include "settings/key_bindings.h"
#include "settings/platform_queries.h"

inline constexpr int32_t kSettingsVersion = 10700;  // written on every save
inline constexpr int kCustomColourCount = 16;

// newcanvassize: how a new canvas is made.
inline constexpr int32_t kNewCanvasKeepSize = 1005;   // new-canvas command: clear, keep the size
inline constexpr int32_t kNewCanvasGivenSize = 1006;  // newcanvascx x newcanvascy
inline constexpr int32_t kNewCanvasPreset = 1007;     // the size preset PresetIndex
inline constexpr int32_t kNewCanvasTemplate = 1008;   // a copy of TemplateFileName

// Recovery copies: every two minutes by default; the interval used is clamped to 5 s .. 1 h.
inline constexpr int32_t kDefaultRecoveryInterval = 120;
inline constexpr int32_t kMinRecoveryInterval = 5, kMaxRecoveryInterval = 3600;

struct AppSettings {
  // ---- Worked out by InitSettings, never saved.
  std::filesystem::path programFolder;      // source of the first-start copies and the language DLLs
  std::filesystem::path userDataFolder;     // <Pictures>/Dotwright
  std::filesystem::path settingsFile;       // <user data>/setting/Dotwright.ini
  std::filesystem::path workingCanvasFile;  // <user data>/canvas.png
  std::filesystem::path defaultTemplate;    // <user data>/template/a4note.png
  std::filesystem::path stampFolder;        // <user data>/stamp
  std::filesystem::path currentFilePath;    // the PNG file being edited; empty: the working canvas

  // ---- Saved. Keys showCmd= and rcNormalPosition_left= .. _bottom= are fields of placement.
  WindowPlacement placement;                // the main window's placement at the last close
  int32_t CorrectionStrength;               // stroke smoothing, 0..20
  PenSetting pens[kPenCount];               // keys Pen0Name= .. Pen15TextureOffsetY=
  int32_t numPenSetting;                    // current pen slot 0..15
  int32_t reduce_rgb_flag;                  // stored and restored only
  int32_t hide_panel;                       // 1: the docked panel column is hidden
  int32_t view_panel_right;                 // 1: panel column docked at the right edge
  int32_t show_tabinfo, show_loupe, show_Icon, show_Icon1, show_Icon2, show_Icon3;  // window visibility
  int32_t show_pensetting, show_layersetting, ShowColorPicker, show_penlist, show_texture,
      show_paper_texture;                   // panel visibility
  int32_t newcanvassize;                    // kNewCanvas*
  int32_t newcanvascx, newcanvascy;         // pixels, for 1005 and 1006
  int32_t PresetIndex;                      // canvas size preset 0..15 (canvas_presets.h)
  uint32_t bgcolor;                         // COLORREF 0x00BBGGRR
  uint32_t drawingcolor;                    // COLORREF
  uint32_t RefColor0, RefColor1;            // COLORREF
  uint32_t AdjustRefSize, ChangeRefColors;  // stored and restored only
  uint32_t CustColors[kCustomColourCount];  // custom colours of the colour dialog; keys CustColors0= ..
  uint32_t opacity;                         // stored and restored only
  uint32_t WindowOpacity;                   // 0..255: main window alpha while translucent
  uint32_t TailSwitch;                      // 1: the stylus's eraser end selects pen slot 1
  char16_t defaultpath[kPathUnits];         // folder for file work (the user data folder)
  char16_t MaterialFileName[kPathUnits];    // paper material in the material folder
  char16_t TemplateFileName[kPathUnits];    // template for new canvases
  int32_t PrintSetting;                     // 0 fit to page, 1 actual size
  int32_t PrintAdjustment;
  int32_t PrintBW;                          // stored and restored only
  char16_t ResourceFile[kPathUnits];        // language DLL file name
  int32_t ScreenDPI;                        // pixels per inch of the primary display
  int32_t PrintDPI;                         // resolution of the size presets and actual-size zoom
  int32_t PCBM10, TransparentBackground;    // stored and restored only
  int32_t PenEmulation;                     // 1: touch input arrives as mouse input
  int32_t UseGPU;                           // 1: GPU reduction engine wanted
  int32_t NumberOfGPUThreads;               // stored and restored only
  int32_t ShowEasyPanel;
  int32_t UIScaling;                        // percent: 100, 150, 200 or 300
  int32_t TabletDriver;                     // 0 Wintab, otherwise Windows pointer input
  int32_t Version;                          // as read; kSettingsVersion skips the first-start set-up
  int32_t SeparatePanel;                    // 1: panels float as separate windows
  int32_t RecoveryInterval;                 // seconds between recovery copies of unsaved changes
  // Floating window positions in the main window's client coordinates.
  int32_t PanelWindowPosX, PanelWindowPosY;
  int32_t TabInfoWindowPosX, TabInfoWindowPosY;
  int32_t LoupeWindowPosX, LoupeWindowPosY;
  int32_t IconWindowPosX, IconWindowPosY;
  int32_t Icon1WindowPosX, Icon1WindowPosY;
  int32_t Icon2WindowPosX, Icon2WindowPosY;
  int32_t Icon3WindowPosX, Icon3WindowPosY;
  int32_t PenSettingWindowPosX, PenSettingWindowPosY;
  int32_t ColorPickerWindowPosX, ColorPickerWindowPosY;  // the Y key is spelled "COlorPickerWindowPosY="
  int32_t LayerSettingWindowPosX, LayerSettingWindowPosY;
  int32_t PenListWindowPosX, PenListWindowPosY;
  int32_t TextureWindowPosX, TextureWindowPosY;
  int32_t PaperTextureWindowPosX, PaperTextureWindowPosY;
  int32_t AbnormalTerminationCount;         // runs started since the last orderly close

  // ---- Key bindings ("[key]" section).
  KeyBindingTable keyboard;                 // key codes below 0x100
  KeyBindingTable joypad;                   // key codes 0x100 and above

  // ---- Run-time only.
  int32_t gpuActive;                        // 1 while the GPU engine is set up
};

// The defaults of every global setting (all saved fields except the pens), taking the main
// window's placement and client size and the locale from platform. Paths must be set first:
// defaultpath and TemplateFileName default to userDataFolder and defaultTemplate.
void SetGlobalDefaults(AppSettings& settings, const PlatformQueries& platform);

// Fills the record at start: paths, pen and global defaults, empty key tables owned by the main
// window, then the settings file when readFile is 1, then the first-start set-up (folders,
// copies, screen DPI, UI scaling) unless the file's Version was kSettingsVersion, then the 37
// default bindings when the keyboard table is empty. Returns false when the Pictures folder is
// unknown: the user data paths then stay empty, and nothing is read or created.
bool InitSettings(AppSettings& settings, const PlatformQueries& platform, int readFile);

// The current file path from the first command-line argument: a leading double quote and the
// closing one are removed.
std::filesystem::path CommandLineFilePath(std::u16string_view argument);
