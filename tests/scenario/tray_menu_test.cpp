// The tray menu as the user sees it: the whole tracked popup for representative states, each
// submenu written as one line ("*" checked, "~" greyed, "--" a separator, "Name{...}" a
// submenu), and where the menu opens.
#include "menu/tray_menu.h"

#include <functional>

#include "base/ids.h"
#include "scenario.h"

namespace {

using TrayMenuTest = ScenarioTest;

std::string Utf8(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string Render(const std::vector<sim::MenuItem>& items) {
  std::string out;
  for (const sim::MenuItem& item : items) {
    if (!out.empty()) out += "; ";
    if (item.Separator) {
      out += "--";
      continue;
    }
    if (item.IsPopup) {
      out += Utf8(item.Text) + "{" + Render(item.Submenu) + "}";
      continue;
    }
    out += std::to_string(item.Id) + " " + Utf8(item.Text);
    if (item.Checked) out += " *";
    if (item.Grayed) out += " ~";
  }
  return out;
}

// The submenu at `path` ("Разгон/Частота") of the last tracked menu, rendered; "" for the top.
std::string Submenu(const std::string& path) {
  const std::vector<sim::MenuItem>* items = &sim::Device().Log.Menus.back().Items;
  std::size_t start = 0;
  while (start < path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    const std::string name = path.substr(start, end - start);
    const std::vector<sim::MenuItem>* next = nullptr;
    for (const sim::MenuItem& item : *items) {
      if (item.IsPopup && Utf8(item.Text) == name) next = &item.Submenu;
    }
    if (next == nullptr) return "<no " + name + ">";
    items = next;
    start = end + 1;
  }
  return Render(*items);
}

// The tracked menu of a fresh AppState changed by `arrange`.
void Track(const std::function<void()>& arrange) {
  sim::Reset();
  ResetAppState();
  AppState.Instance = ProgramInstance;
  arrange();
  ShowTrayMenu(plat::Window(1));
  ASSERT_EQ(sim::Device().Log.Menus.size(), 1u);
  EXPECT_EQ(sim::Live().Menus, 0);  // the loaded menu is destroyed after tracking
}

constexpr const char* ServiceTail =
    "; --; 1097 Процессы; 1098 Сведения; 1099 Помощь; --; 1115 Выход";
constexpr const char* Pxa27xFrequencies =
    "1028 26 МГц; 1029 39 МГц; 1030 52 МГц; 1031 65 МГц; 1032 78 МГц; 1033 91 МГц; "
    "1034 104 МГц; 1035 117 МГц; 1036 130 МГц; 1037 143 МГц; 1038 156 МГц; 1039 169 МГц; "
    "1040 182 МГц; 1041 195 МГц; 1042 208 МГц; 1043 221 МГц; 1044 234 МГц; 1045 247 МГц; "
    "1046 260 МГц; 1047 273 МГц; 1048 286 МГц; 1049 299 МГц; 1050 312 МГц; 1051 325 МГц; "
    "1052 338 МГц; 1053 351 МГц; 1054 364 МГц; 1055 377 МГц; 1056 390 МГц; 1057 403 МГц";

struct MenuCase {
  const char* name;
  void (*arrange)();
  std::vector<std::pair<std::string, std::string>> submenus;  // path, rendering
};

void Pxa25xTurbo() {
  AppState.CpuFamily = CpuPxa25x;
  AppState.TurboFlag = 1;
  AppState.CurrentClockWord = 0x1A2;  // L 2, M 1, N 3
  AppState.PresetTable[0] = 0x1A2;
  AppState.PresetTable[2] = 0x241;
  AppState.PresetTable[5] = 0x1A2;
  AppState.Capabilities.IdleTimeAvailable = 1;
  AppState.Capabilities.PowerStatusAvailable = 1;
}

void Pxa27xFastBusMemoryBit() {
  AppState.CpuFamily = CpuPxa27x;
  AppState.FastBusFlag = 1;
  AppState.CurrentClockWord = 0x2000190;  // L 16, N 3, bit 25
  AppState.PresetTable[7] = 0x2000190;    // equal, but TurboFlag clear: not checked
  AppState.WatchMode = 1;
  AppState.AutoMode = 1;
  AppState.Capabilities.AutostartEnabled = 1;
  AppState.Capabilities.IdleTimeAvailable = 1;
}

void UnknownProcessor() { AppState.CpuFamily = CpuUnknown; }

void AllSlotsEmpty() {
  AppState.CpuFamily = CpuPxa27x;
  AppState.CurrentClockWord = 0x2000290;
}

void RealVgaUnavailable() {
  AllSlotsEmpty();
  AppState.DisplayMode = 2;
}

void PlainViewForegroundFive() {
  AllSlotsEmpty();
  AppState.IconView = ViewPlain;
  AppState.IconColors = 0x000D0005;
}

void LoadViewForegroundFive() {
  AllSlotsEmpty();
  AppState.IconView = ViewLoad;
  AppState.UpdateTempo = 4;
  AppState.IconColors = 0x000D0005;
}

const MenuCase MenuCases[] = {
    {"Pxa25xWithPresetsAndTurbo",
     Pxa25xTurbo,
     {{"",
       "1001 177 МГц *; 1003 400 МГц; 1006 177 МГц *; --; Разгон{Частота{1027 100 МГц; 1028 118 "
       "МГц *; 1029 133 МГц; 1030 150 МГц; 1031 166 МГц}; Множитель{1009 x1 *; 1010 x2; 1011 x4; "
       "--; 1012 x1.0; 1013 x1.5 *; 1014 x2.0; 1015 x2.5; 1016 x3.0}; Делители{Память{1019 1 : 2 "
       "~; 1020 1 : 1 ~}; Шина{1021 1 : 2 ~; 1022 1 : 1 ~}}; Режим{1023 Норма; 1024 Турбо *; "
       "1116 Авто; --; 1025 Слежение}; --; Добавить{1059 1: 177 МГц; 1060 2: (пусто); 1061 3: 400 "
       "МГц; 1062 4: (пусто); 1063 5: (пусто); 1064 6: 177 МГц; 1065 7: (пусто); 1066 8: (пусто)}; "
       "Очистить{1068 1: 177 МГц; 1069 2: (пусто) ~; 1070 3: 400 МГц; 1071 4: (пусто) ~; 1072 5: "
       "(пусто) ~; 1073 6: 177 МГц; 1074 7: (пусто) ~; 1075 8: (пусто) ~}}; Сервис{Экран{1102 0° "
       "* ~; 1103 90° ~; 1104 180° ~; 1105 270° ~}; Значок{Вид{1106 Обычный; 1107 Частота *; "
       "1108 Загрузка; 1110 Батарея; 1111 Т о к; 1109 Память}; Цвет{1076 черный; 1077 красный; "
       "1079 желтый *; 1078 зеленый; 1082 голубой; 1080 синий; 1081 фиолет; 1083 белый}; "
       "Фон{1084 черный; 1085 красный; 1087 желтый; 1086 зеленый; 1090 голубой; 1088 синий *; "
       "1089 фиолет; 1091 белый}; Темп{1092 1/4 сек ~; 1093 1/2 сек ~; 1094  1 сек * ~; 1095  2 "
       "сек ~; 1096  4 сек ~}}; Сброс{1112 Автозагрузка; 1113 Перезагрузка; 1114 Полный сброс}" +
           std::string(ServiceTail) + "}"}}},
    {"Pxa27xWithFastBusAndMemoryBit",
     Pxa27xFastBusMemoryBit,
     {{"", "1008 312 МГц; --; Разгон{<...>}; Сервис{<...>}"},
      {"Разгон/Частота",
       [] {  // L 16 is 208 MHz
         std::string all = Pxa27xFrequencies;
         return all.insert(all.find("208 МГц") + std::string("208 МГц").size(), " *");
       }()},
      {"Разгон/Множитель",
       "1012 x1.0 ~; 1013 x1.5 * ~; 1014 x2.0 ~; 1015 x2.5 ~; 1016 x3.0 ~; "
       "1017 x3.5 ~; 1018 x4.0 ~"},
      {"Разгон/Делители", "Память{1019 1 : 2; 1020 1 : 1 *}; Шина{1021 1 : 2; 1022 1 : 1 *}"},
      {"Разгон/Режим", "1023 Норма *; 1024 Турбо; 1116 Авто *; --; 1025 Слежение *"},
      {"Разгон/Добавить",
       "1059 1: (пусто) ~; 1060 2: (пусто) ~; 1061 3: (пусто) ~; 1062 4: "
       "(пусто) ~; 1063 5: (пусто) ~; 1064 6: (пусто) ~; 1065 7: (пусто) ~; "
       "1066 8: 312 МГц ~"},
      {"Сервис/Значок/Вид",
       "1106 Обычный; 1107 Частота *; 1108 Загрузка; 1110 Батарея ~; 1111 "
       "Т о к ~; 1109 Память"},
      {"Сервис/Сброс", "1112 Автозагрузка *; 1113 Перезагрузка; 1114 Полный сброс"}}},
    {"UnknownProcessor",
     UnknownProcessor,
     {{"", "1000 Процессы; --; Разгон{<...>}; Сервис{<...>}"},
      {"Разгон/Частота",
       [] {
         std::string all, rest = Pxa27xFrequencies;
         for (std::size_t at; (at = rest.find("; ")) != std::string::npos;) {
           all += rest.substr(0, at) + " ~; ";
           rest = rest.substr(at + 2);
         }
         return all + rest + " ~";
       }()},
      {"Разгон/Множитель",
       "1012 x1.0 ~; 1013 x1.5 ~; 1014 x2.0 ~; 1015 x2.5 ~; 1016 x3.0 ~; "
       "1017 x3.5 ~; 1018 x4.0 ~"},
      {"Разгон/Делители", "Память{1019 1 : 2 ~; 1020 1 : 1 ~}; Шина{1021 1 : 2 ~; 1022 1 : 1 ~}"},
      {"Разгон/Режим", "1023 Норма ~; 1024 Турбо ~; 1116 Авто ~; --; 1025 Слежение ~"},
      {"Разгон/Добавить",
       "1059 1: (пусто) ~; 1060 2: (пусто) ~; 1061 3: (пусто) ~; 1062 4: "
       "(пусто) ~; 1063 5: (пусто) ~; 1064 6: (пусто) ~; 1065 7: (пусто) ~; "
       "1066 8: (пусто) ~"},
      {"Разгон/Очистить",
       "1068 1: (пусто) ~; 1069 2: (пусто) ~; 1070 3: (пусто) ~; 1071 4: "
       "(пусто) ~; 1072 5: (пусто) ~; 1073 6: (пусто) ~; 1074 7: (пусто) ~; "
       "1075 8: (пусто) ~"},
      {"Сервис/Значок/Вид",
       "1106 Обычный; 1107 Частота * ~; 1108 Загрузка ~; 1110 Батарея ~; "
       "1111 Т о к ~; 1109 Память"},
      {"Сервис",
       "Экран{<...>}; Значок{<...>}; Сброс{<...>}; --; 1098 Сведения; 1099 Помощь; --; "
       "1115 Выход"}}},
    {"UnknownProcessorWithIdleTime",
     [] {
       UnknownProcessor();
       AppState.Capabilities.IdleTimeAvailable = 1;
     },
     {{"Разгон/Режим", "1023 Норма ~; 1024 Турбо ~; 1116 Авто ~; --; 1025 Слежение ~"}}},
    {"AllSlotsEmptyTurboClear",
     AllSlotsEmpty,
     {{"", "--; Разгон{<...>}; Сервис{<...>}"},
      {"Разгон/Режим", "1023 Норма *; 1024 Турбо; 1116 Авто ~; --; 1025 Слежение"},
      {"Разгон/Добавить",
       "1059 1: (пусто) ~; 1060 2: (пусто) ~; 1061 3: (пусто) ~; 1062 4: "
       "(пусто) ~; 1063 5: (пусто) ~; 1064 6: (пусто) ~; 1065 7: (пусто) ~; "
       "1066 8: (пусто) ~"},
      {"Разгон/Очистить",
       "1068 1: (пусто) ~; 1069 2: (пусто) ~; 1070 3: (пусто) ~; 1071 4: "
       "(пусто) ~; 1072 5: (пусто) ~; 1073 6: (пусто) ~; 1074 7: (пусто) ~; "
       "1075 8: (пусто) ~"}}},
    {"DisplayModeRealVgaUnavailable",
     RealVgaUnavailable,
     {{"Сервис/Экран",
       "1102 0° * ~; 1103 90° ~; 1104 180° ~; 1105 270° ~; --; 1100 VGA; 1101 RealVGA * ~"}}},
    {"DisplayModeVga",
     [] {
       AllSlotsEmpty();
       AppState.DisplayMode = 1;
       AppState.Capabilities.RealVgaAvailable = 1;
     },
     {{"Сервис/Экран",
       "1102 0° * ~; 1103 90° ~; 1104 180° ~; 1105 270° ~; --; 1100 VGA *; 1101 RealVGA"}}},
    {"PlainViewForegroundFive",
     PlainViewForegroundFive,
     {{"Сервис/Значок/Цвет",
       "1076 черный ~; 1077 красный ~; 1079 желтый ~; 1078 зеленый ~; "
       "1082 голубой ~; 1080 синий ~; 1081 фиолет ~; 1083 белый ~"},
      {"Сервис/Значок/Темп",
       "1092 1/4 сек ~; 1093 1/2 сек ~; 1094  1 сек * ~; 1095  2 сек ~; "
       "1096  4 сек ~"}}},
    {"LoadViewForegroundFive",
     LoadViewForegroundFive,
     {{"Сервис/Значок/Цвет",
       "1076 черный *; 1077 красный; 1079 желтый; 1078 зеленый; 1082 "
       "голубой; 1080 синий; 1081 фиолет; 1083 белый"},
      {"Сервис/Значок/Фон",
       "1084 черный; 1085 красный; 1087 желтый; 1086 зеленый; 1090 "
       "голубой; 1088 синий; 1089 фиолет *; 1091 белый"},
      {"Сервис/Значок/Темп",
       "1092 1/4 сек; 1093 1/2 сек; 1094  1 сек; 1095  2 сек; 1096  4 "
       "сек *"}}},
};

// Submenus of a line that shows "<...>" are abbreviated: their content is checked by other rows.
std::string Abbreviated(const std::string& rendering) {
  std::string out;
  int depth = 0;
  for (char c : rendering) {
    if (c == '{') {
      if (depth++ == 0) out += "{<...>";
      continue;
    }
    if (c == '}') {
      if (--depth == 0) out += '}';
      continue;
    }
    if (depth == 0) out += c;
  }
  return out;
}

TEST_F(TrayMenuTest, BuildsTheWholeMenuForEachState) {
  for (const MenuCase& c : MenuCases) {
    SCOPED_TRACE(c.name);
    Track(c.arrange);
    for (const auto& [path, expected] : c.submenus) {
      SCOPED_TRACE(path);
      std::string actual = Submenu(path);
      if (expected.find("<...>") != std::string::npos) {
        actual = Abbreviated(actual);
      }
      EXPECT_EQ(actual, expected);
    }
  }
}

// Every checked item of the whole menu in menu order, by identifier.
std::string Checked(const std::vector<sim::MenuItem>& items) {
  std::string out;
  for (const sim::MenuItem& item : items) {
    const std::string inner = item.IsPopup   ? Checked(item.Submenu)
                              : item.Checked ? std::to_string(item.Id)
                                             : "";
    if (!inner.empty()) out += (out.empty() ? "" : " ") + inner;
  }
  return out;
}

// The marks at the edges of their ranges, and just outside them where the group has no mark.
TEST_F(TrayMenuTest, MarksEachFieldAtTheEdgesOfItsRange) {
  struct Case {
    std::int32_t family;
    std::uint32_t word;  // L bits 0-4, M bits 5-6 (PXA25x), N from bit 7, A bit 25 (PXA27x)
    std::uint8_t fastBus;
    std::uint32_t view, tempo, colors;
    const char* checked;
  };
  const Case cases[] = {
      // L 1, M 1, N 2; the Current view, tempo 0, foreground 9, background 15.
      {CpuPxa25x, 0x121, 0, ViewCurrent, 0, 0x000F0009,
       "1027 1009 1012 1023 1102 1111 1077 1091 1092"},
      // L 5, M 3, N 6; the Load view, tempo 4, foreground 15, background 9.
      {CpuPxa25x, 0x365, 0, ViewLoad, 4, 0x0009000F,
       "1031 1011 1016 1023 1102 1108 1083 1085 1096"},
      // L 0, M 0, N 1; no view or tempo of the menu's, foreground and background 8.
      {CpuPxa25x, 0x080, 0, 6, 5, 0x00080008, "1023 1102 1076 1084"},
      // L 6, N 7; the Plain view has no colours.
      {CpuPxa25x, 0x386, 0, ViewPlain, 2, 0x000F000F, "1023 1102 1106 1094"},
      // L 2, N 2, A clear, slow bus; then L 31, N 8, A set, fast bus.
      {CpuPxa27x, 0x102, 0, ViewPlain, 2, 0, "1028 1012 1019 1021 1023 1102 1106 1094"},
      {CpuPxa27x, 0x200041F, 1, ViewPlain, 2, 0, "1057 1018 1020 1022 1023 1102 1106 1094"},
      // L 1, N 1; then L 0, N 9 with A set (N 9 would land on the memory half item).
      {CpuPxa27x, 0x81, 0, ViewPlain, 2, 0, "1019 1021 1023 1102 1106 1094"},
      {CpuPxa27x, 0x2000480, 0, ViewPlain, 2, 0, "1020 1021 1023 1102 1106 1094"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.checked);
    Track([&c] {
      AppState.CpuFamily = c.family;
      AppState.CurrentClockWord = c.word;
      AppState.FastBusFlag = c.fastBus;
      AppState.IconView = c.view;
      AppState.UpdateTempo = c.tempo;
      AppState.IconColors = c.colors;
    });
    EXPECT_EQ(Checked(sim::Device().Log.Menus.back().Items), c.checked);
  }
}

TEST_F(TrayMenuTest, MarksTheReportedOrientationOnly) {
  const std::pair<std::uint32_t, std::string> cases[] = {
      {0, "1102 0° *; 1103 90°; 1104 180°; 1105 270°"},
      {1, "1102 0°; 1103 90° *; 1104 180°; 1105 270°"},
      {2, "1102 0°; 1103 90°; 1104 180° *; 1105 270°"},
      {4, "1102 0°; 1103 90°; 1104 180°; 1105 270° *"},
      {3, "1102 0°; 1103 90°; 1104 180°; 1105 270°"},
      {8, "1102 0°; 1103 90°; 1104 180°; 1105 270°"},
  };
  for (const auto& [orientation, expected] : cases) {
    SCOPED_TRACE(orientation);
    sim::Reset();
    ResetAppState();
    sim::Device().System.Orientation = orientation;
    AppState.Capabilities.RotationSupported = 1;
    ShowTrayMenu(plat::Window(1));
    EXPECT_EQ(Submenu("Сервис/Экран"), expected);
    EXPECT_EQ(AppState.DisplaySettings.Size, 192);
    EXPECT_EQ(AppState.DisplaySettings.Fields, plat::DM_DISPLAYORIENTATION);
  }
}

TEST_F(TrayMenuTest, OpensAboveTheTaskBarAtTheBottomRightCorner) {
  for (auto [scale, y] : {std::pair{1, 296}, std::pair{2, 272}}) {
    sim::Reset();
    ResetAppState();
    AppState.IconScale = scale;
    ShowTrayMenu(plat::Window(7));
    const sim::TrackedMenu& menu = sim::Device().Log.Menus.back();
    EXPECT_EQ(menu.X, 240);
    EXPECT_EQ(menu.Y, y);
    EXPECT_EQ(menu.Flags, plat::TPM_RIGHTALIGN | plat::TPM_BOTTOMALIGN);
    EXPECT_EQ(menu.Owner, plat::Window(7));
  }
}

}  // namespace
