#include "settings/settings_keys.h"

#include <array>
#include <type_traits>
#include <utility>

#include "settings/app_settings.h"

namespace {

using enum SettingForm;

template <typename T>
constexpr SettingType TypeOf() {
  if constexpr (std::is_same_v<T, int32_t>)
    return SettingType::kInt32;
  else if constexpr (std::is_same_v<T, uint32_t>)
    return SettingType::kUInt32;
  else if constexpr (std::is_array_v<T> && std::is_same_v<std::remove_extent_t<T>, char16_t>)
    return SettingType::kText;
  else
    static_assert(sizeof(T) == 0, "a setting is a 32-bit integer or a UTF-16 buffer");
}

template <typename T>
constexpr uint16_t CapacityOf() {
  if constexpr (std::is_array_v<T>) return static_cast<uint16_t>(std::extent_v<T>);
  return 0;
}

// A global field reached from the record through one or more members.
template <auto... Path>
void* GlobalAddress(AppSettings& s, int) {
  return &(s .* ... .* Path);
}

template <int I>
void* CustomColourAddress(AppSettings& s, int) {
  return &s.CustColors[I];
}

template <auto Member>
void* PenAddress(AppSettings& s, int pen) {
  return &(s.pens[pen].*Member);
}

struct FieldKey {
  std::string_view key;  // global: the whole key; pen: the field name
  SettingForm form;
  SettingType type;
  uint16_t capacity;
  bool stampOnly;
  void* (*address)(AppSettings&, int);
};

template <auto... Path>
constexpr FieldKey G(std::string_view key, SettingForm form) {
  using T = std::remove_reference_t<decltype((std::declval<AppSettings&>() .* ... .* Path))>;
  return {key, form, TypeOf<T>(), CapacityOf<T>(), false, &GlobalAddress<Path...>};
}

template <int I>
constexpr FieldKey Custom(std::string_view key) {
  return {key, kHex, SettingType::kUInt32, 0, false, &CustomColourAddress<I>};
}

template <auto Member>
constexpr FieldKey P(std::string_view name, SettingForm form, bool stampOnly = false) {
  using T = std::remove_reference_t<decltype(std::declval<PenSetting&>().*Member)>;
  return {name, form, TypeOf<T>(), CapacityOf<T>(), stampOnly, &PenAddress<Member>};
}

using A = AppSettings;
using W = WindowPlacement;

// The six keys before the pens.
constexpr FieldKey kWindowKeys[] = {
    G<&A::placement, &W::showCmd>("showCmd=", kHex),
    G<&A::placement, &W::rcNormalPosition, &PlacementRect::left>("rcNormalPosition_left=", kDecimal),
    G<&A::placement, &W::rcNormalPosition, &PlacementRect::top>("rcNormalPosition_top=", kDecimal),
    G<&A::placement, &W::rcNormalPosition, &PlacementRect::right>("rcNormalPosition_right=", kDecimal),
    G<&A::placement, &W::rcNormalPosition, &PlacementRect::bottom>("rcNormalPosition_bottom=", kDecimal),
    G<&A::CorrectionStrength>("CorrectionStrength=", kDecimal),
};

constexpr FieldKey kPenKeys[kPenFieldCount] = {
    P<&PenSetting::Name>("Name", kText),
    P<&PenSetting::KindOfPen>("KindOfPen", kDecimal),
    P<&PenSetting::Size>("Size", kDecimal),
    P<&PenSetting::Hardness>("Hardness", kDecimal),
    P<&PenSetting::Palette>("Palette", kDecimal),
    P<&PenSetting::EnablePalette>("EnablePalette", kDecimal),
    P<&PenSetting::BrushCursor>("BrushCursor", kDecimal),
    P<&PenSetting::Interval>("Interval", kDecimal, true),
    P<&PenSetting::Dispersal>("Dispersal", kDecimal, true),
    P<&PenSetting::Roundness>("Roundness", kDecimal, true),
    P<&PenSetting::Angle>("Angle", kDecimal, true),
    P<&PenSetting::IntervalPressure>("IntervalPressure", kDecimal, true),
    P<&PenSetting::DispersalPressure>("DispersalPressure", kDecimal, true),
    P<&PenSetting::RoundnessPressure>("RoundnessPressure", kDecimal, true),
    P<&PenSetting::RoundnessTilt>("RoundnessTilt", kDecimal, true),
    P<&PenSetting::AngleRotation>("AngleRotation", kDecimal, true),
    P<&PenSetting::SizePressure>("SizePressure", kDecimal, true),
    P<&PenSetting::AngleJitter>("AngleJitter", kDecimal, true),
    P<&PenSetting::SizeJitter>("SizeJitter", kDecimal, true),
    P<&PenSetting::Direction>("Direction", kDecimal, true),
    P<&PenSetting::Stamp>("Stamp", kDecimal, true),
    P<&PenSetting::StampFileName>("StampFileName", kText, true),
    P<&PenSetting::TextureFileName>("TextureFileName", kText),
    P<&PenSetting::TextureOffsetX>("TextureOffsetX", kDecimal),
    P<&PenSetting::TextureOffsetY>("TextureOffsetY", kDecimal),
};

// The 92 keys after the pens, in writing order; the ignored key last.
constexpr FieldKey kGlobalKeys[] = {
    G<&A::numPenSetting>("numPenSetting=", kDecimal),
    G<&A::reduce_rgb_flag>("reduce_rgb_flag=", kDecimal),
    G<&A::hide_panel>("hide_panel=", kDecimal),
    G<&A::view_panel_right>("view_panel_right=", kDecimal),
    G<&A::show_tabinfo>("show_tabinfo=", kDecimal),
    G<&A::show_loupe>("show_loupe=", kDecimal),
    G<&A::show_Icon>("show_Icon=", kDecimal),
    G<&A::show_Icon1>("show_Icon1=", kDecimal),
    G<&A::show_Icon2>("show_Icon2=", kDecimal),
    G<&A::show_Icon3>("show_Icon3=", kDecimal),
    G<&A::show_pensetting>("show_pensetting=", kDecimal),
    G<&A::show_layersetting>("show_layersetting=", kDecimal),
    G<&A::ShowColorPicker>("ShowColorPicker=", kDecimal),
    G<&A::show_penlist>("show_penlist=", kDecimal),
    G<&A::show_texture>("show_texture=", kDecimal),
    G<&A::show_paper_texture>("show_paper_texture=", kDecimal),
    G<&A::newcanvassize>("newcanvassize=", kDecimal),
    G<&A::newcanvascx>("newcanvascx=", kDecimal),
    G<&A::newcanvascy>("newcanvascy=", kDecimal),
    G<&A::PresetIndex>("PresetIndex=", kDecimal),
    G<&A::bgcolor>("bgcolor=", kHex),
    G<&A::drawingcolor>("drawingcolor=", kHex),
    G<&A::RefColor0>("RefColor0=", kHex),
    G<&A::RefColor1>("RefColor1=", kHex),
    G<&A::AdjustRefSize>("AdjustRefSize=", kDecimal),
    G<&A::ChangeRefColors>("ChangeRefColors=", kDecimal),
    Custom<0>("CustColors0="),
    Custom<1>("CustColors1="),
    Custom<2>("CustColors2="),
    Custom<3>("CustColors3="),
    Custom<4>("CustColors4="),
    Custom<5>("CustColors5="),
    Custom<6>("CustColors6="),
    Custom<7>("CustColors7="),
    Custom<8>("CustColors8="),
    Custom<9>("CustColors9="),
    Custom<10>("CustColors10="),
    Custom<11>("CustColors11="),
    Custom<12>("CustColors12="),
    Custom<13>("CustColors13="),
    Custom<14>("CustColors14="),
    Custom<15>("CustColors15="),
    G<&A::opacity>("opacity=", kDecimal),
    G<&A::WindowOpacity>("WindowOpacity=", kDecimal),
    G<&A::TailSwitch>("TailSwitch=", kDecimal),
    G<&A::defaultpath>("defaultpath=", kText),
    G<&A::MaterialFileName>("MaterialFileName=", kText),
    G<&A::TemplateFileName>("TemplateFileName=", kText),
    G<&A::PrintSetting>("PrintSetting=", kDecimal),
    G<&A::PrintAdjustment>("PrintAdjustment=", kDecimal),
    G<&A::PrintBW>("PrintBW=", kDecimal),
    G<&A::ResourceFile>("ResourceFile=", kText),
    G<&A::ScreenDPI>("ScreenDPI=", kDecimal),
    G<&A::PrintDPI>("PrintDPI=", kDecimal),
    G<&A::PCBM10>("PCBM10=", kDecimal),
    G<&A::TransparentBackground>("TransparentBackground=", kDecimal),
    G<&A::PenEmulation>("PenEmulation=", kDecimal),
    G<&A::UseGPU>("UseGPU=", kDecimal),
    G<&A::NumberOfGPUThreads>("NumberOfGPUThreads=", kDecimal),
    G<&A::ShowEasyPanel>("ShowEasyPanel=", kDecimal),
    G<&A::UIScaling>("UIScaling=", kDecimal),
    G<&A::TabletDriver>("TabletDriver=", kDecimal),
    G<&A::Version>("Version=", kDecimal),
    G<&A::SeparatePanel>("SeparatePanel=", kDecimal),
    G<&A::PanelWindowPosX>("PanelWindowPosX=", kDecimal),
    G<&A::PanelWindowPosY>("PanelWindowPosY=", kDecimal),
    G<&A::TabInfoWindowPosX>("TabInfoWindowPosX=", kDecimal),
    G<&A::TabInfoWindowPosY>("TabInfoWindowPosY=", kDecimal),
    G<&A::LoupeWindowPosX>("LoupeWindowPosX=", kDecimal),
    G<&A::LoupeWindowPosY>("LoupeWindowPosY=", kDecimal),
    G<&A::IconWindowPosX>("IconWindowPosX=", kDecimal),
    G<&A::IconWindowPosY>("IconWindowPosY=", kDecimal),
    G<&A::Icon1WindowPosX>("Icon1WindowPosX=", kDecimal),
    G<&A::Icon1WindowPosY>("Icon1WindowPosY=", kDecimal),
    G<&A::Icon2WindowPosX>("Icon2WindowPosX=", kDecimal),
    G<&A::Icon2WindowPosY>("Icon2WindowPosY=", kDecimal),
    G<&A::Icon3WindowPosX>("Icon3WindowPosX=", kDecimal),
    G<&A::Icon3WindowPosY>("Icon3WindowPosY=", kDecimal),
    G<&A::PenSettingWindowPosX>("PenSettingWindowPosX=", kDecimal),
    G<&A::PenSettingWindowPosY>("PenSettingWindowPosY=", kDecimal),
    G<&A::ColorPickerWindowPosX>("ColorPickerWindowPosX=", kDecimal),
    G<&A::ColorPickerWindowPosY>("COlorPickerWindowPosY=", kDecimal),
    G<&A::LayerSettingWindowPosX>("LayerSettingWindowPosX=", kDecimal),
    G<&A::LayerSettingWindowPosY>("LayerSettingWindowPosY=", kDecimal),
    G<&A::PenListWindowPosX>("PenListWindowPosX=", kDecimal),
    G<&A::PenListWindowPosY>("PenListWindowPosY=", kDecimal),
    G<&A::TextureWindowPosX>("TextureWindowPosX=", kDecimal),
    G<&A::TextureWindowPosY>("TextureWindowPosY=", kDecimal),
    G<&A::PaperTextureWindowPosX>("PaperTextureWindowPosX=", kDecimal),
    G<&A::PaperTextureWindowPosY>("PaperTextureWindowPosY=", kDecimal),
    G<&A::AbnormalTerminationCount>("AbnormalTerminationCount=", kDecimal),
    G<&A::RecoveryInterval>("RecoveryInterval=", kDecimal),
    {"TextureFileName=", kIgnored, SettingType::kNone, 0, false, nullptr},
};

constexpr int kWindowKeyCount = static_cast<int>(std::size(kWindowKeys));
constexpr int kGlobalKeyCount = static_cast<int>(std::size(kGlobalKeys));
static_assert(kWindowKeyCount == 6 && kGlobalKeyCount == 93);
static_assert(kWindowKeyCount + kPenCount * kPenFieldCount + kGlobalKeyCount == kSettingKeyCount);

constexpr size_t DecimalDigits(int n) { return n < 10 ? 1 : 2; }

constexpr size_t PenKeyLength(int pen, int field) {
  return 3 + DecimalDigits(pen) + kPenKeys[field].key.size() + 1;  // "Pen" N name "="
}

constexpr size_t PenKeyTextSize() {
  size_t total = 0;
  for (int pen = 0; pen < kPenCount; ++pen)
    for (int field = 0; field < kPenFieldCount; ++field) total += PenKeyLength(pen, field);
  return total;
}

// "Pen0Name=Pen0KindOfPen=...Pen15TextureOffsetY=" without separators; the table slices it.
constexpr std::array<char, PenKeyTextSize()> BuildPenKeyText() {
  std::array<char, PenKeyTextSize()> text{};
  size_t at = 0;
  for (int pen = 0; pen < kPenCount; ++pen) {
    for (int field = 0; field < kPenFieldCount; ++field) {
      text[at++] = 'P';
      text[at++] = 'e';
      text[at++] = 'n';
      if (pen >= 10) text[at++] = static_cast<char>('0' + pen / 10);
      text[at++] = static_cast<char>('0' + pen % 10);
      for (char c : kPenKeys[field].key) text[at++] = c;
      text[at++] = '=';
    }
  }
  return text;
}

constexpr auto kPenKeyText = BuildPenKeyText();

constexpr SettingKey FromField(const FieldKey& f, std::string_view key, int pen) {
  return {key, f.form, f.type, static_cast<int8_t>(pen), f.stampOnly, f.capacity, f.address};
}

constexpr std::array<SettingKey, kSettingKeyCount> BuildTable() {
  std::array<SettingKey, kSettingKeyCount> table{};
  int k = 0;
  for (const FieldKey& f : kWindowKeys) table[k++] = FromField(f, f.key, -1);
  size_t at = 0;
  for (int pen = 0; pen < kPenCount; ++pen) {
    for (int field = 0; field < kPenFieldCount; ++field) {
      const size_t length = PenKeyLength(pen, field);
      table[k++] = FromField(kPenKeys[field], std::string_view(kPenKeyText.data() + at, length), pen);
      at += length;
    }
  }
  for (const FieldKey& f : kGlobalKeys) table[k++] = FromField(f, f.key, -1);
  return table;
}

constexpr auto kSettingKeys = BuildTable();

static_assert(kSettingKeys[6].key == "Pen0Name=");
static_assert(kSettingKeys[6 + 10 * kPenFieldCount + 2].key == "Pen10Size=");
static_assert(kSettingKeys[405].key == "Pen15TextureOffsetY=");
static_assert(kSettingKeys[406].key == "numPenSetting=");

}  // namespace

std::span<const SettingKey, kSettingKeyCount> SettingKeyTable() { return kSettingKeys; }

const SettingKey* FindSettingKey(std::string_view line) {
  for (const SettingKey& k : kSettingKeys)
    if (line.starts_with(k.key)) return &k;
  return nullptr;
}
