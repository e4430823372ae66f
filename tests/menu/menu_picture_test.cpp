// What a menu looks like: nine number items and the navigation pad, at two
// window sizes (make shots writes such pictures for a person to look at).
#include <string>

#include "menu_fixture.h"
#include "platform/codepage.h"

namespace {

using menutest::MenuTest;

constexpr std::uint32_t kWhite = 0xFFFFFF;

void FillNineNumbers() {
  menu::SetTitleItem(0, "Изображение"_sc, 34, 6, 0);
  const char* labels[9] = {"Масштаб"_sc,          "Высота шрифта, мм"_sc, "Масштаб давлений"_sc,
                           "Масштаб сил"_sc,      "Масштаб усилий"_sc,    "Масштаб напряжений"_sc,
                           "Масштаб перемещений"_sc, "Шаг эпюр"_sc,       "Толщина оболочки, мм"_sc};
  const float values[9] = {0.25f, 2.7f, 100, 0.005f, 2.0001f, 5.0001f, 5000, 33, 2};
  for (int i = 0; i < 9; ++i) menu::SetNumberItem(i + 1, labels[i], values[i], 6, 3);
}

class MenuPicture : public MenuTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(MenuPicture, TextsSitInsideTheirButtons) {
  auto [w, h] = GetParam();
  SetUpScreen(w, h);
  FillNineNumbers();
  platform::QueueText("1\x1b\r");  // item 1 asked and refused, then Enter
  menu::KeyCode key = 0;
  menu::RunMenu(9, key);
  EXPECT_EQ(key, 13);

  // The text of an item never paints over its button's frame (it would if
  // it ran past the column), and the right-aligned values end close to the
  // column's right edge.
  for (int k = 1; k <= 9; ++k) {
    const menu::MenuButton& b = menu::M.Buttons[k];
    int rightmost = -1;
    for (int y = b.Top + 1; y < b.Bottom; ++y) {
      EXPECT_NE(platform::PictureColour(b.Right, y), kWhite) << "item " << k;
      EXPECT_NE(platform::PictureColour(b.Left, y), kWhite) << "item " << k;
      for (int x = b.Left + 1; x < b.Right; ++x)
        if (platform::PictureColour(x, y) == kWhite) rightmost = std::max(rightmost, x);
    }
    EXPECT_GE(rightmost, b.Right - 3 * gfx::TextPitch) << "item " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, MenuPicture,
                         ::testing::Values(std::make_pair(1280, 1024), std::make_pair(1920, 1080)));

}  // namespace
