#include "settings/app_settings.h"

#include <system_error>

#include "settings/first_start.h"
#include "settings/pen_defaults.h"
#include "settings/settings_file.h"
#include "files/utf_text.h"

void SetGlobalDefaults(AppSettings& s, const PlatformQueries& platform) {
  s.placement = platform.placement;
  s.placement.length = sizeof(WindowPlacement);
  s.CorrectionStrength = 3;
  s.numPenSetting = 0;
  s.reduce_rgb_flag = 0;
  s.hide_panel = 0;
  s.view_panel_right = 0;
  s.show_tabinfo = s.show_loupe = s.show_Icon = s.show_Icon1 = s.show_Icon2 = s.show_Icon3 = 0;
  s.show_pensetting = 1;
  s.show_layersetting = 0;
  s.ShowColorPicker = 0;
  s.show_penlist = 1;
  s.show_texture = 0;
  s.show_paper_texture = 1;
  s.newcanvassize = kNewCanvasPreset;
  s.newcanvascx = 16 * platform.clientWidth;
  s.newcanvascy = 16 * platform.clientHeight;
  s.PresetIndex = 1;
  s.bgcolor = 0xFFFFFF;
  s.drawingcolor = 0x0;
  s.RefColor0 = 0xFF8080;
  s.RefColor1 = 0xFFFFFF;
  s.AdjustRefSize = 0;
  s.ChangeRefColors = 0;
  for (uint32_t& c : s.CustColors) c = 0xFFFFFF;
  s.opacity = 255;
  s.WindowOpacity = 128;
  s.TailSwitch = 1;
  // A user data folder is written with its closing separator, as the file dialogs expect.
  CopyText(s.defaultpath, s.userDataFolder.empty() ? std::u16string() : TextFromPath(s.userDataFolder / ""));
  CopyText(s.MaterialFileName, u"none.bmp");
  CopyText(s.TemplateFileName, TextFromPath(s.defaultTemplate));
  s.PrintSetting = 0;
  s.PrintAdjustment = 0;
  s.PrintBW = 1;
  CopyText(s.ResourceFile, platform.systemLocale == kJapaneseLocale ? u"Japanese.dll" : u"English.dll");
  s.ScreenDPI = 96;
  s.PrintDPI = 600;
  s.PCBM10 = 0;
  s.TransparentBackground = 0;
  s.PenEmulation = 0;
  s.UseGPU = 0;
  s.NumberOfGPUThreads = 256;
  s.ShowEasyPanel = 0;
  s.UIScaling = 100;
  s.TabletDriver = 0;
  s.Version = 0;
  s.SeparatePanel = 0;
  s.RecoveryInterval = kDefaultRecoveryInterval;
  s.PanelWindowPosX = s.PanelWindowPosY = 0;
  s.TabInfoWindowPosX = s.TabInfoWindowPosY = 0;
  s.LoupeWindowPosX = s.LoupeWindowPosY = 0;
  s.IconWindowPosX = s.IconWindowPosY = 0;
  s.Icon1WindowPosX = s.Icon1WindowPosY = 0;
  s.Icon2WindowPosX = s.Icon2WindowPosY = 0;
  s.Icon3WindowPosX = s.Icon3WindowPosY = 0;
  s.PenSettingWindowPosX = s.PenSettingWindowPosY = 0;
  s.ColorPickerWindowPosX = s.ColorPickerWindowPosY = 0;
  s.LayerSettingWindowPosX = s.LayerSettingWindowPosY = 0;
  s.PenListWindowPosX = s.PenListWindowPosY = 0;
  s.TextureWindowPosX = s.TextureWindowPosY = 0;
  s.PaperTextureWindowPosX = s.PaperTextureWindowPosY = 0;
  s.AbnormalTerminationCount = 0;
}

std::filesystem::path CommandLineFilePath(std::u16string_view argument) {
  if (!argument.empty() && argument.front() == u'"') {
    argument.remove_prefix(1);
    argument = argument.substr(0, argument.find(u'"'));
  }
  return PathFromText(argument);
}

bool InitSettings(AppSettings& s, const PlatformQueries& platform, int readFile) {
  s.currentFilePath = CommandLineFilePath(platform.commandLineFile);
  s.programFolder = platform.programFolder;

  const bool known = !platform.picturesFolder.empty();
  if (known) {
    s.userDataFolder = platform.picturesFolder / "Dotwright";
    s.settingsFile = s.userDataFolder / "setting" / "Dotwright.ini";
    s.workingCanvasFile = s.userDataFolder / "canvas.png";
    s.defaultTemplate = s.userDataFolder / "template" / "a4note.png";
    s.stampFolder = s.userDataFolder / "stamp";
  } else {
    s.userDataFolder.clear();
    s.settingsFile.clear();
    s.workingCanvasFile.clear();
    s.defaultTemplate.clear();
    s.stampFolder.clear();
  }

  SetPenDefaults(s.pens, platform.systemLocale == kJapaneseLocale);
  SetGlobalDefaults(s, platform);
  s.keyboard = KeyBindingTable{{}, platform.mainWindow};
  s.joypad = KeyBindingTable{{}, platform.mainWindow};

  if (known && readFile == 1) LoadSettings(s);
  if (s.Version != kSettingsVersion) RunFirstStartSetUp(s, platform);
  if (s.keyboard.entries.empty()) InstallDefaultKeyBindings(s.keyboard);
  return known;
}
