// The system information tree, section by section. A query that fails leaves its count at 0.
#include "info/info_tree.h"

#include <iterator>

#include "base/clock_word.h"
#include "base/state.h"
#include "base/text.h"
#include "info/info_format.h"
#include "platform/dialogs.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "platform/sysinfo.h"
#include "platform/system.h"
#include "platform/toolhelp.h"
#include "platform/windowing.h"

namespace {

using plat::TreeItem;

constexpr TreeItem Root{};

// Formats one line into TextBuffer and appends it under `parent`; returns the new item.
TreeItem AddLine(plat::Window tree, TreeItem parent, const char16_t* format, ...) {
  va_list arguments;
  va_start(arguments, format);
  FormatTextV(AppState.TextBuffer, TextBufferChars, format, arguments);
  va_end(arguments);
  return plat::TreeViewInsertItem(tree, parent, AppState.TextBuffer);
}

void AddCache(plat::Window tree, TreeItem processor, bool dataCache) {
  const TreeItem heading = AddLine(tree, processor, dataCache ? u"кеш данных" : u"кеш инструкций");
  const CacheGeometry cache = DecodeCache(AppState.CacheType, dataCache);
  AddLine(tree, heading, dataCache ? u"объем: : %d Кб" : u"объем: %d Кб", cache.SizeKb);
  AddLine(tree, heading, u"строка: %d слов(а)", cache.LineWords);
  AddLine(tree, heading, u"ассоциативность: %d", cache.Associativity);
}

void AddProcessor(plat::Window tree) {
  const TreeItem processor = AddLine(tree, Root, u"Процессор");
  plat::ProcessorInfo info{};
  if (plat::KernelIoControl(plat::IOCTL_PROCESSOR_INFORMATION, nullptr, 0, &info, sizeof info,
                            nullptr)) {
    // The record's texts are the platform's: cut to their fields whatever it left in them.
    info.Vendor[99] = u'\0';
    info.ProcessorName[39] = u'\0';
    AddLine(tree, processor, u"поставщик: %s", info.Vendor);
    AddLine(tree, processor, u"модель: %s", info.ProcessorName);
  } else if (const char16_t* implementer = ImplementerName(AppState.ProcessorId)) {
    AddLine(tree, processor, u"поставщик: %s", implementer);
  }
  AddLine(tree, processor, u"ядро: %s", ArchitectureName(AppState.ProcessorId));
  AddLine(tree, processor, u"ревизия: %d", static_cast<int>(AppState.ProcessorId & 0xF));
  if (AppState.CpuFamily == CpuPxa25x || AppState.CpuFamily == CpuPxa27x) {
    AddLine(tree, processor, u"частота: %d МГц", DecodeFrequency(AppState.CurrentClockWord, 0));
    AddLine(tree, processor, u"память: %d МГц", DecodeMemoryClock(AppState.CurrentClockWord));
  }
  AddCache(tree, processor, false);
  AddCache(tree, processor, true);
}

// Files matching `pattern`; 0 when the search finds none.
int CountFiles(const char16_t* pattern) {
  plat::FindData found{};
  const plat::Handle search = plat::FindFirstFileW(pattern, &found);
  if (search == plat::InvalidHandle) return 0;
  int count = 1;
  while (plat::FindNextFileW(search, &found)) ++count;
  plat::FindClose(search);
  return count;
}

// Files matching `suffix` in the special folder; 0 when the folder is unknown.
int CountInFolder(int folder, const char16_t* suffix) {
  char16_t pattern[plat::MaxPathChars + 8];
  if (!plat::SHGetSpecialFolderPath(plat::Window{}, pattern, folder, true)) return 0;
  // The platform gives at most MaxPathChars with the terminator, and the suffixes fit the room
  // left: the append always succeeds.
  TextAppend(pattern, static_cast<int>(std::size(pattern)), suffix);
  return CountFiles(pattern);
}

int CountStorageCards() {
  plat::FlashCardData card{};
  const plat::Handle search = plat::FindFirstFlashCard(&card);
  if (search == plat::InvalidHandle) return 0;
  int count = 1;
  while (plat::FindNextFlashCard(search, &card)) ++count;
  plat::FindClose(search);
  return count;
}

// Subkeys of SOFTWARE\Apps whose "Instl" is 1. A name too long for the buffer is no program's:
// it is passed over and the walk goes on.
int CountInstalledPrograms() {
  plat::RegKey apps{};
  if (plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps", 0, plat::KEY_READ, &apps) !=
      plat::ERROR_SUCCESS) {
    return 0;
  }
  constexpr int NameChars = 128;
  int count = 0;
  char16_t name[NameChars + 1];
  for (std::uint32_t index = 0;; ++index) {
    auto nameLength = static_cast<std::uint32_t>(std::size(name));
    const long listed = plat::RegEnumKeyExW(apps, index, name, &nameLength);
    if (listed == plat::ERROR_MORE_DATA) continue;
    if (listed != plat::ERROR_SUCCESS) break;
    plat::RegKey app{};
    if (plat::RegOpenKeyExW(apps, name, 0, plat::KEY_READ, &app) != plat::ERROR_SUCCESS) continue;
    std::uint32_t installed;  // read only when the query filled it
    std::uint32_t size = sizeof installed;
    if (plat::RegQueryValueExW(app, u"Instl", nullptr, nullptr, &installed, &size) ==
            plat::ERROR_SUCCESS &&
        size == sizeof installed && installed == 1) {
      ++count;
    }
    plat::RegCloseKey(app);
  }
  plat::RegCloseKey(apps);
  return count;
}

void AddMemory(plat::Window tree) {
  const TreeItem memory = AddLine(tree, Root, u"Память");
  const TreeItem ram = AddLine(tree, memory, u"оперативная");
  plat::MemoryStatus status{};
  status.Length = sizeof status;
  plat::GlobalMemoryStatus(&status);
  AddLine(tree, ram, u"всего: %d Мб", static_cast<int>(status.TotalPhys >> 20));
  AddLine(tree, ram, u"свободно: %d Мб", static_cast<int>(status.AvailPhys >> 20));
  AddLine(tree, ram, u"загрузка: %d %%", static_cast<int>(status.MemoryLoad));

  int processes = 0;
  int threads = 0;
  const plat::Handle snapshot = plat::CreateToolhelp32Snapshot(plat::TH32CS_SNAPPROCESS, 0);
  if (snapshot != plat::InvalidHandle) {
    plat::ProcessEntry process{};
    for (bool more = plat::Process32First(snapshot, &process); more;
         more = plat::Process32Next(snapshot, &process)) {
      ++processes;
      threads += static_cast<int>(process.Threads);
    }
    plat::CloseToolhelp32Snapshot(snapshot);
  }
  AddLine(tree, ram, u"процессов: %d", processes);
  AddLine(tree, ram, u"потоков: %d", threads);

  const TreeItem files = AddLine(tree, memory, u"файловая");
  plat::StoreInformation store{};
  plat::GetStoreInformation(&store);
  AddLine(tree, files, u"всего: %d Мб", static_cast<int>(store.StoreSize >> 20));
  AddLine(tree, files, u"свободно: %d Мб", static_cast<int>(store.FreeSize >> 20));
  AddLine(tree, files, u"накопителей: %d", CountStorageCards());

  const TreeItem installed = AddLine(tree, memory, u"установлено");
  AddLine(tree, installed, u"программ: %d", CountInstalledPrograms());
  AddLine(tree, installed, u"автостарт: %d", CountInFolder(plat::CSIDL_STARTUP, u"\\*.*"));
  // A font in both places is counted twice, as the two searches are simply added.
  const int fonts = CountFiles(u"\\Windows\\*.ttf") + CountInFolder(plat::CSIDL_FONTS, u"\\*.ttf");
  AddLine(tree, installed, u"шрифтов: %d", fonts);
}

void AddSystem(plat::Window tree) {
  const TreeItem system = AddLine(tree, Root, u"Система");
  plat::VersionInfo version{};
  plat::GetVersionExW(&version);
  AddLine(tree, system, u"версия: %d.%d", static_cast<int>(version.MajorVersion),
          static_cast<int>(version.MinorVersion));
  AddLine(tree, system, u"сборка: %d", static_cast<int>(version.BuildNumber));
  AddLine(tree, system, u"экран: %dx%d", plat::GetSystemMetrics(plat::SM_CXSCREEN),
          plat::GetSystemMetrics(plat::SM_CYSCREEN));
  AddLine(tree, system, u"значки: %dx%d, %dx%d", plat::GetSystemMetrics(plat::SM_CXSMICON),
          plat::GetSystemMetrics(plat::SM_CYSMICON), plat::GetSystemMetrics(plat::SM_CXICON),
          plat::GetSystemMetrics(plat::SM_CYICON));
  plat::TimeZoneInformation zone{};
  plat::GetTimeZoneInformation(&zone);
  FormatTimeZone(AppState.TextBuffer, TextBufferChars, zone.Bias);
  plat::TreeViewInsertItem(tree, system, AppState.TextBuffer);
  const TreeItem codePages = AddLine(tree, system, u"кодировки");
  AddLine(tree, codePages, u"OEM: %d", static_cast<int>(plat::GetOEMCP()));
  AddLine(tree, codePages, u"ANSI: %d", static_cast<int>(plat::GetACP()));
  AddLine(tree, codePages, u"язык: %d", static_cast<int>(plat::GetSystemDefaultLangID()));
}

void AddPower(plat::Window tree) {
  const TreeItem power = AddLine(tree, Root, u"Питание");
  plat::PowerStatusEx2& status = AppState.PowerStatus;
  if (plat::GetSystemPowerStatusEx2(&status, sizeof status, true) == 0) status = {};
  AddLine(tree, power, u"источник: %s", PowerSourceName(status.ACLineStatus));
  if (const char16_t* line = BatteryStatusLine(status.BatteryFlag)) {
    const TreeItem main = AddLine(tree, power, u"основная батарея");
    AddLine(tree, main, u"%s", line);
    if (status.BatteryLifePercent <= 100) {
      AddLine(tree, main, u"заряд: %d %%", static_cast<int>(status.BatteryLifePercent));
    }
    AddLine(tree, main, u"напряжение: %.2f В", MillivoltsToVolts(status.BatteryVoltage));
    if (status.BatteryCurrent != 0) {
      AddLine(tree, main, u"сила тока: %d мА", static_cast<int>(status.BatteryCurrent));
    }
    AddLine(tree, main, u"температура: %.1f° C", TenthsToDegrees(status.BatteryTemperature));
    AddLine(tree, main, u"хим.состав: %s", ChemistryName(status.BatteryChemistry));
  }
  if (const char16_t* line = BatteryStatusLine(status.BackupBatteryFlag)) {
    const TreeItem backup = AddLine(tree, power, u"резервная батарея");
    AddLine(tree, backup, u"%s", line);
    if (status.BackupBatteryLifePercent <= 100) {
      AddLine(tree, backup, u"заряд: %d %%", static_cast<int>(status.BackupBatteryLifePercent));
    }
    AddLine(tree, backup, u"напряжение: %.2f В", MillivoltsToVolts(status.BackupBatteryVoltage));
  }
}

}  // namespace

void FillInfoTree(plat::Window tree) {
  AddProcessor(tree);
  AddMemory(tree);
  AddSystem(tree);
  if (AppState.Capabilities.PowerStatusAvailable != 0) AddPower(tree);
}
