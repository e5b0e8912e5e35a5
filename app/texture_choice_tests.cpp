#include "app/texture_choice.h"

#include <gtest/gtest.h>

#include "app/session_test_support.h"
#include "app/view_commands_run.h"
#include "canvas/temp_folder_test_support.h"
#include "files/bmp_test_support.h"
#include "files/utf_text.h"

namespace {

void WriteBmp(const std::filesystem::path& path, const BmpLayout& layout) {
  const std::vector<uint8_t> bytes = MakeBmp(layout);
  WriteAll(path, std::string(bytes.begin(), bytes.end()));
}

// A session whose user data folder holds the texture "dots.bmp" (8 x 2, black on every other
// pixel of the top row), the unreadable texture "broken.bmp" and the material "grey.bmp"
// (2 x 2, grey 100 on top, 200 below).
struct ChoiceSession : TestSession {
  TempFolder temp;
  ListedMenus menus;

  ChoiceSession() : TestSession(8, kKindTexturePen, 4) {
    AppSettings& s = State().settings;
    s.userDataFolder = temp.path;
    std::filesystem::create_directories(TextureFolder(s));
    std::filesystem::create_directories(MaterialFolder(s));
    BmpLayout dots = MakeLayout(8, 2, 8);
    dots.palette = {{255, 255, 255, 0}, {0, 0, 0, 0}};
    dots.rows = {{1, 0, 1, 0, 1, 0, 1, 0}, {0, 0, 0, 0, 0, 0, 0, 0}};
    WriteBmp(TextureFolder(s) / "dots.bmp", dots);
    WriteAll(TextureFolder(s) / "broken.bmp", "BM not a bitmap");
    BmpLayout grey = MakeLayout(2, 2, 24);
    grey.rows = {{100, 100, 100, 100, 100, 100}, {200, 200, 200, 200, 200, 200}};
    WriteBmp(MaterialFolder(s) / "grey.bmp", grey);
    menus = ListListedMenus(s);
  }
  AppContext& App() { return State().context; }
};

}  // namespace

TEST(TextureChoice, ATextureItemBecomesTheCurrentPensTextureAndIsLoaded) {
  ChoiceSession f;
  ASSERT_EQ(f.menus.textures, (std::vector<std::u16string>{u"broken", u"dots"}));
  ASSERT_TRUE(ChooseListedResource(f.State(), f.menus, ListedMenu::kTexture, 1));
  EXPECT_EQ(TextOf(f.Pen().TextureFileName), u"dots.bmp");
  EXPECT_EQ(f.State().currentTexture, 1);
  const DibBitmap* texture = f.App().texture;
  ASSERT_NE(texture, nullptr);
  EXPECT_EQ(DibWidth(*texture), 32);  // 8 pixels widened to 32 by repetition
  EXPECT_EQ(DibRow(*texture, 0)[0], 1);
  EXPECT_EQ(DibRow(*texture, 0)[1], 0);
  EXPECT_EQ(DibRow(*texture, 0)[24], 1);
  EXPECT_EQ(DibRow(*texture, 1)[0], 0);

  // A file that cannot be read is still the pen's choice; the pen then has no texture.
  ASSERT_TRUE(ChooseListedResource(f.State(), f.menus, ListedMenu::kTexture, 0));
  EXPECT_EQ(TextOf(f.Pen().TextureFileName), u"broken.bmp");
  EXPECT_EQ(f.App().texture, nullptr);
  EXPECT_EQ(f.State().currentTexture, 0);
}

TEST(TextureChoice, AMaterialItemBecomesThePaperGrain) {
  ChoiceSession f;
  ASSERT_TRUE(ChooseListedResource(f.State(), f.menus, ListedMenu::kMaterial, 0));
  EXPECT_EQ(TextOf(f.State().settings.MaterialFileName), u"grey.bmp");
  EXPECT_EQ(f.State().currentMaterial, 0);
  const DibBitmap* grain = f.App().material;
  ASSERT_NE(grain, nullptr);
  ASSERT_EQ(DibWidth(*grain), 512);
  EXPECT_EQ(DibRow(*grain, 0)[1], 100);
  EXPECT_EQ(DibRow(*grain, 1)[0], 200);
  EXPECT_EQ(DibRow(*grain, 2)[2], 0);  // outside the file
  EXPECT_EQ(f.App().texture, nullptr);  // the texture is left alone
}

TEST(TextureChoice, ItemsPastTheMenuAndOtherMenusChangeNothing) {
  ChoiceSession f;
  CopyText(f.Pen().TextureFileName, u"tone_50.bmp");
  const struct {
    ListedMenu menu;
    uint64_t index;
  } cases[] = {{ListedMenu::kTexture, 2},
               {ListedMenu::kTexture, uint64_t{1} << 32},
               {ListedMenu::kMaterial, 1},
               {ListedMenu::kLanguage, 0},
               {ListedMenu::kNone, 0}};
  for (const auto& c : cases) {
    EXPECT_FALSE(ChooseListedResource(f.State(), f.menus, c.menu, c.index));
    EXPECT_EQ(TextOf(f.Pen().TextureFileName), u"tone_50.bmp");
    EXPECT_EQ(f.State().currentTexture, -1);
    EXPECT_EQ(f.State().currentMaterial, -1);
  }
}

TEST(TextureChoice, CanvasSetUpAndPenSelectionLoadWhatTheSettingsName) {
  ChoiceSession f;
  AppState& s = f.State();
  CopyText(f.Pen().TextureFileName, u"dots.bmp");
  CopyText(s.settings.MaterialFileName, u"grey.bmp");
  UseSessionResources(s);
  ASSERT_TRUE(StartBlankCanvas(s, 8, 8, s.loaders, nullptr));
  ASSERT_NE(f.App().texture, nullptr);
  ASSERT_NE(f.App().material, nullptr);
  EXPECT_EQ(DibRow(*f.App().material, 0)[0], 100);

  // Selecting a pen takes its own texture: none for a file that is not there.
  CopyText(s.settings.pens[3].TextureFileName, u"missing.bmp");
  RunSessionCommand(s, CMD_SELECT_PEN_0 + 3);
  EXPECT_EQ(s.settings.numPenSetting, 3);
  EXPECT_EQ(f.App().texture, nullptr);
  RunSessionCommand(s, CMD_SELECT_PEN_0);
  EXPECT_NE(f.App().texture, nullptr);

  // No material named: no paper grain, so pencils paint solid.
  s.settings.MaterialFileName[0] = u'\0';
  ASSERT_TRUE(StartBlankCanvas(s, 8, 8, s.loaders, nullptr));
  EXPECT_EQ(f.App().material, nullptr);

  // Without a user data folder nothing is read.
  s.settings.userDataFolder.clear();
  ASSERT_TRUE(StartBlankCanvas(s, 8, 8, s.loaders, nullptr));
  EXPECT_EQ(f.App().texture, nullptr);
  EXPECT_EQ(f.App().material, nullptr);
}
