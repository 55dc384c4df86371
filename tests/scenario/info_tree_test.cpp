// The information dialog opened from the menu, its tree read whole as text: for each processor
// family, with and without power status and batteries, on a handheld seeded so that every line
// shows a value of its own. And which buttons end the dialog.
#include <functional>
#include <string>
#include <vector>

#include "base/ids.h"
#include "info/info_dialog.h"
#include "platform/registry.h"
#include "scenario.h"

namespace {

// The tree as text: one item a line, two spaces deeper per level.
std::u16string Text(const std::vector<sim::TreeItemRecord>& items, int depth = 0) {
  std::u16string text;
  for (const sim::TreeItemRecord& item : items) {
    text += std::u16string(2 * depth, u' ') + item.Text + u'\n';
    text += Text(item.Children, depth + 1);
  }
  return text;
}

const std::u16string Apps = u"HKLM\\SOFTWARE\\Apps\\";

// Three processes with six threads, installed programs among keys that are not, files in the
// startup and font folders, two storage cards, sizes that are no whole number of megabytes, and
// processor texts as long as their fields.
void SeedHandheld(sim::Handheld& d) {
  d.Processes.Running.push_back(
      {0x200, u"device.exe", u"", std::vector<sim::ThreadRecord>(3), false});
  d.Processes.Running.push_back(
      {0x300, u"shell32.exe", u"", std::vector<sim::ThreadRecord>(2), false});
  d.System.Memory = {0, 57, 0x7F00000, 0x19FFFFF, 0, 0, 0, 0};
  d.System.StoreSize = 0x3FFFFFF;
  d.System.StoreFree = 0x1480000;
  d.System.StorageCards = 2;
  const std::pair<std::u16string, sim::RegistryValue> programs[] = {
      {u"A", sim::DwordValue(1)},
      {u"B removed", sim::DwordValue(0)},
      {u"C", sim::DwordValue(2)},
      {u"D short", {plat::REG_BINARY, {1, 0}}},
      {u"E locked", sim::DwordValue(1)},
      {u"F" + std::u16string(127, u'f'), sim::DwordValue(1)},  // the longest name that fits
      {u"G" + std::u16string(128, u'g'), sim::DwordValue(1)},  // too long: passed over
      {u"H", sim::DwordValue(1)},
  };
  for (const auto& [key, installed] : programs) d.Registry.Keys[Apps + key][u"Instl"] = installed;
  d.Registry.Keys[Apps + u"I no value"][u"Version"] = sim::DwordValue(1);
  d.Faults.Registry.push_back({"open", 5, Apps + u"E locked"});
  for (const char16_t* file :
       {u"\\Windows\\StartUp\\a.lnk", u"\\Windows\\StartUp\\Tools\\b.lnk", u"\\Windows\\tahoma.ttf",
        u"\\Windows\\Fonts\\a.ttf", u"\\Windows\\Fonts\\b.ttf", u"\\Windows\\readme.txt"}) {
    d.Files.push_back({file});
  }
  d.System.Vendor = std::u16string(99, u'V');
  d.System.ProcessorName = std::u16string(39, u'N');
  d.System.Major = 5;
  d.System.Minor = 1;
  d.System.Build = 14960;
  d.System.Metrics[plat::SM_CYSMICON] = 17;  // odd sizes keep width and height apart
  d.System.Metrics[plat::SM_CYICON] = 33;
  d.System.TimeZoneBias = -210;
  d.System.Power = {};
  d.System.Power.BatteryFlag = 2;
  d.System.Power.BatteryLifePercent = 101;
  d.System.Power.BatteryVoltage = 3712;
  d.System.Power.BatteryTemperature = 315;
  d.System.Power.BatteryChemistry = 6;
  d.System.Power.BackupBatteryFlag = 1;
  d.System.Power.BackupBatteryLifePercent = 100;
  d.System.Power.BackupBatteryVoltage = 3001;
}

const std::u16string Caches =
    u"  кеш инструкций\n"
    u"    объем: 32 Кб\n"
    u"    строка: 8 слов(а)\n"
    u"    ассоциативность: 32\n"
    u"  кеш данных\n"
    u"    объем: : 32 Кб\n"
    u"    строка: 8 слов(а)\n"
    u"    ассоциативность: 32\n";
const std::u16string Pxa27x = u"Процессор\n  поставщик: " + std::u16string(99, u'V') +
                              u"\n  модель: " + std::u16string(39, u'N') +
                              u"\n"
                              u"  ядро: ARMv5TE\n"
                              u"  ревизия: 7\n"
                              u"  частота: 520 МГц\n"
                              u"  память: 104 МГц\n" +
                              Caches;
const std::u16string Memory =
    u"Память\n"
    u"  оперативная\n"
    u"    всего: 127 Мб\n"
    u"    свободно: 25 Мб\n"
    u"    загрузка: 57 %\n"
    u"    процессов: 3\n"
    u"    потоков: 6\n"
    u"  файловая\n"
    u"    всего: 63 Мб\n"
    u"    свободно: 20 Мб\n"
    u"    накопителей: 2\n"
    u"  установлено\n"
    u"    программ: 3\n"
    u"    автостарт: 2\n"
    u"    шрифтов: 3\n";
const std::u16string System =
    u"Система\n"
    u"  версия: 5.1\n"
    u"  сборка: 14960\n"
    u"  экран: 240x320\n"
    u"  значки: 16x17, 32x33\n"
    u"  часовой пояс: +3.30\n"
    u"  кодировки\n"
    u"    OEM: 866\n"
    u"    ANSI: 1251\n"
    u"    язык: 1049\n";

struct Case {
  const char* Name;
  std::function<void(sim::Handheld&)> Seed;  // after SeedHandheld, before the program starts
  std::u16string Tree;
};

const Case Cases[] = {
    {"PXA27x, the processor query's texts cut to their fields, low main battery",
     [](sim::Handheld& d) {
       d.System.Vendor = std::u16string(120, u'V');
       d.System.ProcessorName = std::u16string(50, u'N');
     },
     Pxa27x + Memory + System +
         u"Питание\n"
         u"  источник: основная батарея\n"
         u"  основная батарея\n"
         u"    статус: слабо\n"
         u"    напряжение: 3.71 В\n"
         u"    температура: 31.5° C\n"
         u"    хим.состав: цинк\n"
         u"  резервная батарея\n"
         u"    статус: в норме\n"
         u"    заряд: 100 %\n"
         u"    напряжение: 3.00 В\n"},
    {"PXA25x without turbo, vendor from the main ID, no power status",
     [](sim::Handheld& d) {
       d.Cpu.MainId = 0x69052D06;
       d.Cpu.Cccr = 0x241;
       d.Cpu.Clkcfg = 0;
       d.System.ProcessorQueryWorks = false;
       d.System.PowerAvailable = false;
     },
     u"Процессор\n"
     u"  поставщик: Intel\n"
     u"  ядро: ARMv5TE\n"
     u"  ревизия: 6\n"
     u"  частота: 200 МГц\n"
     u"  память: 100 МГц\n" +
         Caches + Memory + System},
    {"Unknown family and vendor, nothing to count, no batteries",
     [](sim::Handheld& d) {
       d.Cpu.MainId = 0x12345678;
       d.Cpu.CacheType = 0x0B047159;
       d.System.ProcessorQueryWorks = false;
       d.Faults.SnapshotFails = true;
       d.Faults.Registry.push_back({"open", 5, u"HKLM\\SOFTWARE\\Apps"});
       d.System.Folders.erase(plat::CSIDL_FONTS);
       d.System.Folders[plat::CSIDL_STARTUP] = u"\\Windows\\Empty";
       d.System.StorageCards = 0;
       d.System.Power.ACLineStatus = 1;
       d.System.Power.BatteryFlag = 128;
       d.System.Power.BackupBatteryFlag = 128;
     },
     u"Процессор\n"
     u"  ядро: ARMv5T\n"
     u"  ревизия: 8\n"
     u"  кеш инструкций\n"
     u"    объем: 16 Кб\n"
     u"    строка: 4 слов(а)\n"
     u"    ассоциативность: 8\n"
     u"  кеш данных\n"
     u"    объем: : 1 Кб\n"
     u"    строка: 16 слов(а)\n"
     u"    ассоциативность: 1\n"
     u"Память\n"
     u"  оперативная\n"
     u"    всего: 127 Мб\n"
     u"    свободно: 25 Мб\n"
     u"    загрузка: 57 %\n"
     u"    процессов: 0\n"
     u"    потоков: 0\n"
     u"  файловая\n"
     u"    всего: 63 Мб\n"
     u"    свободно: 20 Мб\n"
     u"    накопителей: 0\n"
     u"  установлено\n"
     u"    программ: 0\n"
     u"    автостарт: 0\n"
     u"    шрифтов: 1\n" +
         System +
         u"Питание\n"
         u"  источник: от сети\n"},
    {"PXA27x, charging on backup power",
     [](sim::Handheld& d) {
       d.System.Power.ACLineStatus = 2;
       d.System.Power.BatteryFlag = 8;
       d.System.Power.BatteryLifePercent = 100;
       d.System.Power.BatteryVoltage = 4120;
       d.System.Power.BatteryCurrent = -150;
       d.System.Power.BatteryTemperature = 250;
       d.System.Power.BatteryChemistry = 1;
       d.System.Power.BackupBatteryFlag = 4;
       d.System.Power.BackupBatteryLifePercent = 101;
       d.System.Power.BackupBatteryVoltage = 2950;
     },
     Pxa27x + Memory + System +
         u"Питание\n"
         u"  источник: резервная батарея\n"
         u"  основная батарея\n"
         u"    статус: зарядка\n"
         u"    заряд: 100 %\n"
         u"    напряжение: 4.12 В\n"
         u"    сила тока: -150 мА\n"
         u"    температура: 25.0° C\n"
         u"    хим.состав: щелочь\n"
         u"  резервная батарея\n"
         u"    статус: разряд\n"
         u"    напряжение: 2.95 В\n"},
    {"PXA27x, the power query failing once the program runs: nothing known, nothing kept",
     [](sim::Handheld&) { sim::After(5, [] { sim::Device().System.PowerAvailable = false; }); },
     Pxa27x + Memory + System +
         u"Питание\n"
         u"  источник: основная батарея\n"
         u"  основная батарея\n"
         u"    статус: неизвестно\n"
         u"    заряд: 0 %\n"
         u"    напряжение: 0.00 В\n"
         u"    температура: 0.0° C\n"
         u"    хим.состав: неизвестно\n"
         u"  резервная батарея\n"
         u"    статус: неизвестно\n"
         u"    заряд: 0 %\n"
         u"    напряжение: 0.00 В\n"},
};

class InfoTreeTest : public ScenarioTest {};

TEST_F(InfoTreeTest, TheWholeTree) {
  for (const Case& c : Cases) {
    SCOPED_TRACE(c.Name);
    SetUp();
    SeedHandheld(sim::Device());
    c.Seed(sim::Device());
    sim::LiveCounts before{};
    std::u16string tree;
    sim::After(10, [&] {
      before = sim::Live();
      sim::Post(AppState.MainWindow, plat::WM_COMMAND, IDM_INFO, 0);
    });
    sim::After(20, [&] {
      if (const sim::DialogRecord* dialog = sim::OpenDialog(IDD_INFO)) {
        tree = Text(sim::Device().Controls.Trees[plat::GetDlgItem(dialog->Handle, IDC_TREE)]);
      }
    });
    Start();
    EXPECT_EQ(sim::ToUtf8(tree), sim::ToUtf8(c.Tree));  // readable when they differ
    // Every search, key and snapshot closed again, and no call made on a key not held.
    EXPECT_TRUE(sim::Live() == before);
    for (const sim::RegistryCall& call : sim::Device().Log.Registry) {
      EXPECT_NE(call.Result, 6) << call.Operation;  // ERROR_INVALID_HANDLE
    }
  }
}

// OK and Cancel end the dialog with their id and nothing else does; an ended dialog whose loop
// has not yet returned answers nothing.
TEST_F(InfoTreeTest, OnlyOkAndCancelEndTheDialog) {
  for (int button : {plat::IDOK, plat::IDCANCEL}) {
    SetUp();
    std::vector<plat::LResult> answers;
    harness::RunDialog(IDD_INFO, InfoDialogProc, [&](plat::Window d) {
      answers.push_back(InfoDialogProc(d, plat::WM_INITDIALOG, 0, 0));  // as at its creation
      answers.push_back(sim::SendDialogCommand(d, IDC_TREE));
      answers.push_back(sim::SendDialogCommand(d, button));
      answers.push_back(sim::Send(d, plat::WM_COMMAND, static_cast<plat::WParam>(button), 0));
    });
    EXPECT_EQ(answers, (std::vector<plat::LResult>{1, 0, 1, 0})) << button;
    EXPECT_EQ(sim::Device().Dialogs.at(0).Result, button);
  }
}

}  // namespace
