// The icon and cursor as the system takes them out of Dotwright.exe (built beside this test).
#include <windows.h>

#include <gtest/gtest.h>

#include "app/pen_icons.h"
#include "reduce/opencl_library.h"
#include "shell/resource_ids.h"

namespace {

struct ProgramModule : testing::Test {
  HMODULE module = nullptr;
  void SetUp() override {
    const std::wstring path = (RunningProgramFolder() / "Dotwright.exe").wstring();
    module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << "build Dotwright first";
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }

  // Loads image id of the given type at side pixels; fills the hot spot and the mask's size.
  bool Load(UINT type, int id, int side, ICONINFO& info, BITMAP& mask) {
    HANDLE image = LoadImageW(module, MAKEINTRESOURCEW(id), type, side, side, 0);
    if (!image) return false;
    const bool ok = GetIconInfo(static_cast<HICON>(image), &info) &&
                    GetObjectW(info.hbmMask, sizeof mask, &mask) == sizeof mask;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (type == IMAGE_CURSOR)
      DestroyCursor(static_cast<HCURSOR>(image));
    else
      DestroyIcon(static_cast<HICON>(image));
    return ok;
  }
};

}  // namespace

TEST_F(ProgramModule, IconComesInTheSizesTheSystemAsksFor) {
  for (int side : {16, 24, 32, 48, 64, 256}) {
    ICONINFO info{};
    BITMAP mask{};
    ASSERT_TRUE(Load(IMAGE_ICON, IDI_DOTWRIGHT, side, info, mask)) << side;
    EXPECT_TRUE(info.fIcon);
    EXPECT_EQ(mask.bmWidth, side);
  }
}

TEST_F(ProgramModule, CanvasCursorHasItsHotSpotOnTheCentrePixel) {
  const struct {
    int side, hot;
  } cases[] = {{32, 15}, {48, 23}, {64, 31}};
  for (const auto& c : cases) {
    ICONINFO info{};
    BITMAP mask{};
    ASSERT_TRUE(Load(IMAGE_CURSOR, IDC_CANVAS, c.side, info, mask)) << c.side;
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, static_cast<DWORD>(c.hot));
    EXPECT_EQ(info.yHotspot, static_cast<DWORD>(c.hot));
    EXPECT_EQ(mask.bmWidth, c.side);
  }
}

// The pen icons' pictures as the icons read them: sixteen-colour bitmaps of 48 and 64 pixels.
TEST_F(ProgramModule, PenIconPicturesAreSixteenColourBitmaps) {
  for (int id = kSmallPenIconFirstResource; id < kLargePenIconFirstResource + kPenIconPictureCount; ++id) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(id), reinterpret_cast<LPCWSTR>(RT_BITMAP));
    ASSERT_NE(found, nullptr) << id;
    HGLOBAL loaded = LoadResource(module, found);
    const auto* bytes = static_cast<const uint8_t*>(LockResource(loaded));
    IndexedPicture picture;
    ASSERT_TRUE(DecodeSixteenColourDib(bytes, SizeofResource(module, found), picture)) << id;
    const int side = id < kLargePenIconFirstResource ? kSmallPenIconSide : kLargePenIconSide;
    EXPECT_EQ(picture.width, side) << id;
    EXPECT_EQ(picture.At(0, 0), kPenIconBackground) << id;
  }
}

TEST_F(ProgramModule, LayerToggleIconsComeAtEveryPanelScale) {
  for (int id : {IDI_LAYER_VISIBLE, IDI_LAYER_HIDDEN, IDI_LAYER_LOCKED, IDI_LAYER_UNLOCKED})
    for (int side : {16, 24, 32, 48}) {
      ICONINFO info{};
      BITMAP mask{};
      ASSERT_TRUE(Load(IMAGE_ICON, id, side, info, mask)) << id << " at " << side;
      EXPECT_EQ(mask.bmWidth, side);
    }
}

TEST_F(ProgramModule, HueRingIsTheColourPickersPicture) {
  HBITMAP ring = static_cast<HBITMAP>(LoadImageW(module, MAKEINTRESOURCEW(IDB_HUE_RING), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  ASSERT_NE(ring, nullptr);
  DIBSECTION dib{};
  ASSERT_EQ(GetObjectW(ring, sizeof dib, &dib), static_cast<int>(sizeof dib));
  EXPECT_EQ(dib.dsBm.bmWidth, 384);
  EXPECT_EQ(dib.dsBm.bmHeight, 384);
  EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
  DeleteObject(ring);
}
