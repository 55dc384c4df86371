// The resource script holds exactly what the program needs (tray menu, tool dialogs, notices, icon,
// high-resolution marker), read through the simulated loader that the scenario tests run on.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/sim/device.h"

namespace {

std::string Utf8(const std::u16string& text) { return sim::ToUtf8(text); }

// One line per entry, indented by depth: "1016 x3.0", "SEPARATOR", "POPUP Разгон".
void Flatten(const std::vector<sim::MenuItem>& items, int depth, std::vector<std::string>* out) {
  for (const auto& item : items) {
    std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
    if (item.Separator) {
      out->push_back(indent + "SEPARATOR");
    } else if (item.IsPopup) {
      out->push_back(indent + "POPUP " + Utf8(item.Text));
      Flatten(item.Submenu, depth + 1, out);
    } else {
      out->push_back(indent + std::to_string(item.Id) + " " + Utf8(item.Text));
    }
  }
}

const std::vector<sim::MenuItem>* FindMenuTemplate(int id) {
  for (const auto& [menuId, items] : sim::Resources().Menus) {
    if (menuId == id) return &items;
  }
  return nullptr;
}

TEST(ResourceScript, TrayMenuTemplate) {
  const std::vector<sim::MenuItem>* menu = FindMenuTemplate(100);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(menu->size(), 1u);
  EXPECT_TRUE((*menu)[0].IsPopup);
  EXPECT_EQ((*menu)[0].Text, u"popup");

  const std::vector<std::string> expected = {
      "1000 Процессы",         "SEPARATOR",
      "POPUP Разгон",          "  POPUP Частота",
      "    1026 ???",          "  POPUP Множитель",
      "    1009 x1",           "    1010 x2",
      "    1011 x4",           "    1012 x1.0",
      "    1013 x1.5",         "    1014 x2.0",
      "    1015 x2.5",         "    1016 x3.0",
      "    1017 x3.5",         "    1018 x4.0",
      "  POPUP Делители",      "    POPUP Память",
      "      1019 1 : 2",      "      1020 1 : 1",
      "    POPUP Шина",        "      1021 1 : 2",
      "      1022 1 : 1",      "  POPUP Режим",
      "    1023 Норма",        "    1024 Турбо",
      "    1116 Авто",         "    SEPARATOR",
      "    1025 Слежение",     "  SEPARATOR",
      "  POPUP Добавить",      "    1058 ???",
      "  POPUP Очистить",      "    1067 ???",
      "POPUP Сервис",          "  POPUP Экран",
      "    1102 0°",           "    1103 90°",
      "    1104 180°",         "    1105 270°",
      "    1100 VGA",          "    1101 RealVGA",
      "  POPUP Значок",        "    POPUP Вид",
      "      1106 Обычный",    "      1107 Частота",
      "      1108 Загрузка",   "      1110 Батарея",
      "      1111 Т о к",      "      1109 Память",
      "    POPUP Цвет",        "      1076 черный",
      "      1077 красный",    "      1079 желтый",
      "      1078 зеленый",    "      1082 голубой",
      "      1080 синий",      "      1081 фиолет",
      "      1083 белый",      "    POPUP Фон",
      "      1084 черный",     "      1085 красный",
      "      1087 желтый",     "      1086 зеленый",
      "      1090 голубой",    "      1088 синий",
      "      1089 фиолет",     "      1091 белый",
      "    POPUP Темп",        "      1092 1/4 сек",
      "      1093 1/2 сек",    "      1094  1 сек",
      "      1095  2 сек",     "      1096  4 сек",
      "  POPUP Сброс",         "    1112 Автозагрузка",
      "    1113 Перезагрузка", "    1114 Полный сброс",
      "  SEPARATOR",           "  1097 Процессы",
      "  1098 Сведения",       "  1099 Помощь",
      "  SEPARATOR",           "  1115 Выход",
  };
  std::vector<std::string> actual;
  Flatten((*menu)[0].Submenu, 0, &actual);
  EXPECT_EQ(actual, expected);

  // No mark or grey in the template: the program only ever adds them.
  std::vector<const sim::MenuItem*> pending = {&(*menu)[0]};
  while (!pending.empty()) {
    const sim::MenuItem* item = pending.back();
    pending.pop_back();
    EXPECT_FALSE(item->Checked || item->Grayed) << Utf8(item->Text);
    for (const auto& child : item->Submenu) pending.push_back(&child);
  }
}

struct ExpectedControl {
  int id;
  const char16_t* className;
  const char16_t* text;
  int x, y, width, height;
  std::uint32_t style;
};

struct ExpectedDialog {
  int id;
  const char16_t* caption;
  int width, height;
  std::vector<ExpectedControl> controls;
};

constexpr std::uint32_t WS_BORDER = 0x00800000, WS_TABSTOP = 0x00010000;
constexpr std::uint32_t LVS_REPORT = 0x1, LVS_SINGLESEL = 0x4, LVS_SHOWSELALWAYS = 0x8,
                        LVS_NOSORTHEADER = 0x8000;
constexpr std::uint32_t TVS_HASBUTTONS = 0x1, TVS_LINESATROOT = 0x4, TVS_DISABLEDRAGDROP = 0x10;
constexpr std::uint32_t ListStyle =
    LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER | WS_BORDER;
// WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_CENTER | DS_SETFOREGROUND | DS_SETFONT
constexpr std::uint32_t ToolDialogStyle =
    0x80000000 | 0x00C00000 | 0x00080000 | 0x0800 | 0x0200 | 0x40;

TEST(ResourceScript, ToolDialogs) {
  const std::vector<ExpectedDialog> expected = {
      {100,
       u"Процессы",
       150,
       116,
       {{100, u"SysListView32", u"", 0, 0, 150, 100, ListStyle},
        {101, u"BUTTON", u"Закрыть", 3, 102, 45, 12, WS_TABSTOP},
        {102, u"BUTTON", u"Потоки", 52, 102, 45, 12, WS_TABSTOP},
        {103, u"BUTTON", u"Обновить", 101, 102, 45, 12, WS_TABSTOP}}},
      {101, u"Потоки", 140, 106, {{100, u"SysListView32", u"", 0, 0, 140, 106, ListStyle}}},
      {102,
       u"Сведения",
       130,
       116,
       {{100, u"SysTreeView32", u"", 0, 0, 130, 116,
         TVS_HASBUTTONS | TVS_LINESATROOT | TVS_DISABLEDRAGDROP}}},
  };
  const auto& dialogs = sim::Resources().Dialogs;
  ASSERT_EQ(dialogs.size(), expected.size());
  for (const ExpectedDialog& want : expected) {
    SCOPED_TRACE("dialog " + std::to_string(want.id));
    const sim::DialogTemplate* found = nullptr;
    for (const auto& d : dialogs) found = d.Id == want.id ? &d : found;
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->Caption, want.caption);
    EXPECT_EQ(found->X, 0);
    EXPECT_EQ(found->Y, 0);
    EXPECT_EQ(found->Width, want.width);
    EXPECT_EQ(found->Height, want.height);
    EXPECT_EQ(found->Style, ToolDialogStyle);
    EXPECT_EQ(found->FontSize, 8);
    EXPECT_EQ(found->FontName, u"Tahoma");
    ASSERT_EQ(found->Controls.size(), want.controls.size());
    for (std::size_t i = 0; i < want.controls.size(); ++i) {
      const ExpectedControl& c = want.controls[i];
      const sim::DialogControl& got = found->Controls[i];
      SCOPED_TRACE("control " + std::to_string(c.id));
      EXPECT_EQ(got.Id, c.id);
      EXPECT_EQ(got.ClassName, c.className);
      EXPECT_EQ(got.Text, c.text);
      EXPECT_EQ(got.X, c.x);
      EXPECT_EQ(got.Y, c.y);
      EXPECT_EQ(got.Width, c.width);
      EXPECT_EQ(got.Height, c.height);
      EXPECT_EQ(got.Style, c.style);  // BS_PUSHBUTTON is 0
    }
  }
}

TEST(ResourceScript, NoticesIconAndHighResolutionMarker) {
  const std::vector<std::pair<int, std::u16string>> strings = {
      {1,
       u"Программа не может получить доступа к управлению. Работа будет продолжена в режиме с "
       u"ограниченной функциональностью."},
      {2,
       u"Работа программы без предварительной установки невозможна. Необходимо запустить "
       u"установочный файл."},
  };
  EXPECT_EQ(sim::Resources().Strings, strings);

  const std::vector<std::pair<int, std::string>> icons = {{100, "zorvik.ico"}};
  EXPECT_EQ(sim::Resources().Icons, icons);

  ASSERT_EQ(sim::Resources().CustomResources.size(), 1u);
  const auto& marker = sim::Resources().CustomResources[0];
  EXPECT_EQ(marker.Name, u"HI_RES_AWARE");
  EXPECT_EQ(marker.Type, u"CEUX");
  EXPECT_EQ(marker.Data, (std::vector<std::uint8_t>{0x01, 0x00}));
}

// The reader itself, on statements the program's script may grow into.
TEST(ResourceScriptReader, RawDataWidthsQuotesAndNot) {
  sim::ResourceScript script = sim::ParseResourceScript(
      "/* block */ X DATA { 0x102, 3L }\n"
      "STRINGTABLE BEGIN 7, \"say \"\"hi\"\"\" END\n"
      "5 DIALOG 1, 2, 3, 4\nSTYLE WS_POPUP | WS_CAPTION | NOT WS_BORDER\nBEGIN\nEND\n",
      "inline.rc");
  ASSERT_EQ(script.CustomResources.size(), 1u);
  EXPECT_EQ(script.CustomResources[0].Data,
            (std::vector<std::uint8_t>{0x02, 0x01, 0x03, 0x00, 0x00, 0x00}));
  ASSERT_EQ(script.Strings.size(), 1u);
  EXPECT_EQ(script.Strings[0].second, u"say \"hi\"");
  ASSERT_EQ(script.Dialogs.size(), 1u);
  EXPECT_EQ(script.Dialogs[0].Style, 0x80400000u);  // WS_CAPTION without its border bit
}

TEST(ResourceScriptReaderDeathTest, UnknownStyleNameStopsWithTheLine) {
  EXPECT_DEATH(sim::ParseResourceScript(
                   "1 DIALOG 0, 0, 9, 9\n\nSTYLE WS_POPUP | WS_MAGIC\nBEGIN\nEND\n", "bad.rc"),
               "bad.rc:3: .*unknown style name.*WS_MAGIC");
}

}  // namespace
