// The simulated handheld behaves as the program and scenario tests rely on: loop in virtual time,
// script end, modal loops, registry results, guarded faults, menu edits in submenus, icon pixels,
// and the platform mark a profiler goes by.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/dialogs.h"
#include "platform/graphics.h"
#include "platform/hardware.h"
#include "platform/memory.h"
#include "platform/menus.h"
#include "platform/notification.h"
#include "platform/registry.h"
#include "platform/resources.h"
#include "platform/shell.h"
#include "platform/sim/device.h"
#include "platform/system.h"
#include "platform/windowing.h"
#include "tests/harness.h"

namespace {

using harness::FindCall;
using harness::FindTimer;
using plat::Window;

struct Seen {
  std::uint32_t timeMs;
  std::uint32_t message;
  plat::WParam wParam;
};
std::vector<Seen>* seen = nullptr;
std::vector<int>* depths = nullptr;  // the platform mark as each procedure call found it

plat::LResult RecordingProc(Window, std::uint32_t message, plat::WParam wParam, plat::LParam) {
  if (seen) seen->push_back({sim::Device().Script.Now, message, wParam});
  if (depths) depths->push_back(sim::PlatformDepth);
  return 0;
}

class SimDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    seen = &log_;
    depths = nullptr;
  }
  void TearDown() override { seen = nullptr; }

  static Window MakeWindow(const char16_t* title = u"T") {
    plat::WindowClass wc{};
    wc.Procedure = RecordingProc;
    wc.ClassName = u"Probe";
    wc.Module = plat::Instance(1);
    plat::RegisterClassW(wc);
    return plat::CreateWindowExW(0, u"Probe", title, 0, 0, 0, 0, 0, Window{}, plat::Menu{},
                                 wc.Module, nullptr);
  }

  // The program's loop; returns how it ended.
  static int RunLoop() {
    plat::Message m;
    int result;
    while ((result = plat::GetMessageW(&m, Window{}, 0, 0)) != 0) plat::DispatchMessageW(&m);
    return result;
  }

  std::vector<Seen> log_;
};

TEST_F(SimDeviceTest, TimersAndScriptShareVirtualTimeUntilTheScriptRunsOut) {
  Window w = MakeWindow();
  ASSERT_NE(w, Window{});
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].message, plat::WM_CREATE) << "delivered inside CreateWindowExW";

  EXPECT_EQ(plat::SetTimer(w, 7, 400), 7u);
  EXPECT_EQ(plat::SetTimer(w, 7, 250), 7u) << "re-setting replaces the period";
  sim::At(1000, [w] { sim::Post(w, plat::WM_USER, 1, 0); });
  sim::At(600, [w] { sim::Post(w, plat::WM_USER, 2, 0); });
  log_.clear();

  EXPECT_EQ(RunLoop(), 0);
  EXPECT_TRUE(sim::Device().Script.Ended);
  EXPECT_FALSE(sim::Device().Ui.QuitPosted);
  EXPECT_EQ(sim::Device().Script.Now, 1000u) << "the timer alone does not run on";
  const std::vector<std::tuple<std::uint32_t, std::uint32_t, plat::WParam>> expected = {
      {250, plat::WM_TIMER, 7}, {500, plat::WM_TIMER, 7},  {600, plat::WM_USER, 2},
      {750, plat::WM_TIMER, 7}, {1000, plat::WM_TIMER, 7}, {1000, plat::WM_USER, 1}};
  ASSERT_EQ(log_.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(std::make_tuple(log_[i].timeMs, log_[i].message, log_[i].wParam), expected[i])
        << "message " << i;
  }
  EXPECT_EQ(FindTimer(7)->NextDueMs, 1250u);
}

TEST_F(SimDeviceTest, QuitEndsTheLoopAfterEarlierMessagesAndDestroyStopsTimers) {
  Window w = MakeWindow();
  plat::SetTimer(w, 1, 100);
  plat::PostMessageW(w, plat::WM_USER, 1, 0);
  plat::PostQuitMessage(3);
  sim::After(5000, [] {});
  log_.clear();
  EXPECT_EQ(RunLoop(), 0);
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].message, plat::WM_USER);
  EXPECT_TRUE(sim::Device().Ui.QuitPosted);
  EXPECT_EQ(sim::Device().Ui.QuitCode, 3);
  EXPECT_FALSE(sim::Device().Script.Ended);
  EXPECT_EQ(sim::Device().Script.Now, 0u);

  EXPECT_TRUE(plat::DestroyWindow(w));
  EXPECT_EQ(log_.back().message, plat::WM_DESTROY) << "delivered inside DestroyWindow";
  EXPECT_TRUE(sim::Device().Ui.Timers.empty());
  EXPECT_TRUE(sim::Device().Ui.Windows[0].Destroyed);
  EXPECT_FALSE(plat::DestroyWindow(w));
}

TEST_F(SimDeviceTest, ForeignWindowsAreFoundAndOnlyRecordMessages) {
  Window mine = MakeWindow(u"Zorvik");
  const Window resident = harness::AddWindow({.ClassName = u"Zorvik", .Title = u"Zorvik"});
  EXPECT_NE(mine, resident);
  EXPECT_EQ(plat::FindWindowW(u"Probe", u"Zorvik"), mine);
  EXPECT_EQ(plat::FindWindowW(u"ZORVIK", u"Zorvik"), resident);
  EXPECT_EQ(plat::FindWindowW(u"Zorvik", u"Other"), Window{});
  plat::DestroyWindow(mine);
  EXPECT_EQ(plat::FindWindowW(u"Probe", u"Zorvik"), Window{}) << "destroyed";

  EXPECT_TRUE(plat::PostMessageW(resident, plat::WM_USER + 3, 0, 5));
  ASSERT_EQ(sim::Device().Log.Posted.size(), 1u);
  EXPECT_EQ(sim::Device().Log.Posted[0].LParamValue, 5);
  log_.clear();
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_TRUE(log_.empty());
}

TEST_F(SimDeviceTest, MessageBoxesAnswerAsScripted) {
  sim::Device().Script.BoxAnswers.push_back(plat::IDYES);
  EXPECT_EQ(plat::MessageBoxW(Window{}, u"a", u"Zorvik", plat::MB_YESNO), plat::IDYES);
  EXPECT_EQ(plat::MessageBoxW(Window{}, u"b", u"Zorvik", plat::MB_YESNO), plat::IDNO);
  EXPECT_EQ(plat::MessageBoxW(Window{}, u"c", u"Zorvik", plat::MB_ICONEXCLAMATION), plat::IDOK);
  ASSERT_EQ(sim::Device().Log.Boxes.size(), 3u);
  EXPECT_EQ(sim::Device().Log.Boxes[1].Text, u"b");
  EXPECT_EQ(sim::Device().Log.Boxes[1].Answer, plat::IDNO);
}

// A dialog that ends itself on a button press with the button's id, and ignores Escape when told.
bool ignoreEscape = false;
std::intptr_t EndingDialogProc(Window dialog, std::uint32_t message, plat::WParam wParam,
                               plat::LParam lParam) {
  if (seen)
    seen->push_back({sim::Device().Script.Now, message,
                     message == plat::WM_INITDIALOG ? static_cast<plat::WParam>(lParam) : wParam});
  if (message != plat::WM_COMMAND) return message == plat::WM_INITDIALOG;
  if (wParam == plat::IDCANCEL && ignoreEscape) return 1;
  plat::EndDialog(dialog, static_cast<plat::LResult>(wParam) + 40);
  return 1;
}

TEST_F(SimDeviceTest, DialogLoopsServeTimersAndEndAsThePressedButtonSays) {
  const void* processes = plat::LoadResource(
      plat::Instance{}, plat::FindResourceW(plat::Instance{}, 100, plat::RT_DIALOG));
  ASSERT_NE(processes, nullptr);
  Window w = MakeWindow();
  plat::SetTimer(w, 7, 100);
  log_.clear();
  sim::At(250, [] {
    auto open = sim::OpenDialog(100);
    ASSERT_NE(open, nullptr);
    EXPECT_NE(plat::GetDlgItem(open->Handle, 103), Window{});
    EXPECT_EQ(plat::GetDlgItem(open->Handle, 104), Window{});
    sim::SendDialogCommand(open->Handle, 102);
  });
  EXPECT_EQ(
      plat::DialogBoxIndirectParamW(plat::Instance{}, processes, Window{}, EndingDialogProc, 5),
      142);
  // WM_INITDIALOG with the creation parameter, two timer ticks, the press, and the teardown.
  ASSERT_EQ(log_.size(), 5u);
  EXPECT_EQ(log_[0].message, plat::WM_INITDIALOG);
  EXPECT_EQ(log_[0].wParam, 5u);
  EXPECT_EQ(log_[2].message, plat::WM_TIMER);
  EXPECT_EQ(log_[3].message, plat::WM_COMMAND);
  EXPECT_EQ(log_[4].message, plat::WM_DESTROY);
  EXPECT_FALSE(sim::Device().Dialogs.back().Open);
  EXPECT_NE(sim::Device().Dialogs.back().Handle, Window{}) << "the record keeps its handle";

  // With the script run out the user presses Escape; a dialog that ignores it is closed.
  plat::KillTimer(w, 7);
  EXPECT_EQ(
      plat::DialogBoxIndirectParamW(plat::Instance{}, processes, Window{}, EndingDialogProc, 0),
      42);
  ignoreEscape = true;
  EXPECT_EQ(
      plat::DialogBoxIndirectParamW(plat::Instance{}, processes, Window{}, EndingDialogProc, 0), 0);
  ignoreEscape = false;

  sim::Device().Faults.MissingDialogs.insert(100);
  EXPECT_EQ(plat::FindResourceW(plat::Instance{}, 100, plat::RT_DIALOG), plat::ResourceInfo{});
  EXPECT_EQ(plat::DialogBoxIndirectParamW(plat::Instance{}, nullptr, Window{}, EndingDialogProc, 0),
            -1);
}

TEST_F(SimDeviceTest, LoadStringIsBoundedAndTerminated) {
  char16_t buffer[8];
  std::memset(buffer, 0x55, sizeof buffer);
  EXPECT_EQ(plat::LoadStringW(plat::Instance{}, 2, buffer, 5), 4);
  EXPECT_EQ(std::u16string(buffer), u"Рабо");
  EXPECT_EQ(buffer[5], 0x5555) << "nothing written past the capacity";
  EXPECT_EQ(plat::LoadStringW(plat::Instance{}, 3, buffer, 8), 0);
  EXPECT_EQ(plat::LoadStringW(plat::Instance{}, 1, buffer, 0), 0);
}

TEST_F(SimDeviceTest, RegistryFollowsWin32Results) {
  const std::u16string path = u"HKLM\\SOFTWARE\\Brenmor\\Zorvik";
  plat::RegKey key{};
  EXPECT_EQ(plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, u"SOFTWARE\\Brenmor\\Zorvik", 0,
                                plat::KEY_READ, &key),
            plat::ERROR_FILE_NOT_FOUND);
  std::uint32_t disposition = 0;
  ASSERT_EQ(plat::RegCreateKeyExW(plat::HKEY_LOCAL_MACHINE, u"SOFTWARE\\Brenmor\\Zorvik", 0,
                                  nullptr, 0, plat::KEY_WRITE, nullptr, &key, &disposition),
            plat::ERROR_SUCCESS);
  EXPECT_EQ(disposition, 1u);
  EXPECT_EQ(sim::Device().Registry.Keys.count(u"hklm\\software\\BRENMOR"), 1u);
  std::uint32_t word = 0x12345678;
  EXPECT_EQ(plat::RegSetValueExW(key, u"Freq1", 0, plat::REG_DWORD, &word, 4), 0);
  EXPECT_EQ(plat::RegSetValueExW(key, u"Name", 0, plat::REG_SZ, u"abc", 8), 0);
  EXPECT_EQ(plat::RegCloseKey(key), 0);
  EXPECT_EQ(sim::Device().Registry.Dword(path, u"FREQ1"), 0x12345678u);
  EXPECT_EQ(sim::Device().Registry.Dword(path, u"Name"), std::nullopt) << "not a REG_DWORD";

  ASSERT_EQ(plat::RegOpenKeyExW(plat::HKEY_LOCAL_MACHINE, u"Software\\brenmor\\ZORVIK", 0,
                                plat::KEY_READ, &key),
            0);
  EXPECT_EQ(sim::Live().RegistryKeys, 1);
  std::uint32_t type = 0, size = 0;
  EXPECT_EQ(plat::RegQueryValueExW(key, u"Name", nullptr, &type, nullptr, &size), 0);
  EXPECT_EQ(size, 8u);
  std::uint8_t small[4] = {9, 9, 9, 9};
  size = sizeof small;
  EXPECT_EQ(plat::RegQueryValueExW(key, u"Name", nullptr, &type, small, &size),
            plat::ERROR_MORE_DATA);
  EXPECT_EQ(size, 8u);
  EXPECT_EQ(small[0], 9) << "the buffer stays untouched";
  std::uint32_t out = 0;
  size = 4;
  EXPECT_EQ(plat::RegQueryValueExW(key, u"Freq1", nullptr, &type, &out, &size), 0);
  EXPECT_EQ(out, 0x12345678u);
  EXPECT_EQ(type, plat::REG_DWORD);
  EXPECT_EQ(plat::RegQueryValueExW(key, u"Freq2", nullptr, &type, &out, &size),
            plat::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(plat::RegCloseKey(key), 0);
  EXPECT_EQ(sim::Live().RegistryKeys, 0);
  EXPECT_NE(plat::RegCloseKey(key), 0) << "closed twice";

  const auto& calls = sim::Device().Log.Registry;
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[0].Operation, "open");
  EXPECT_EQ(calls[0].KeyPath, u"HKLM\\SOFTWARE\\Brenmor\\Zorvik");
  EXPECT_EQ(calls[0].Access, plat::KEY_READ);
  EXPECT_EQ(calls[0].Result, plat::ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(calls[1].Operation, "create");
  EXPECT_EQ(calls[1].Access, plat::KEY_WRITE);
}

struct GuardProbe {
  std::uint32_t value;
  bool finished;
};

void ReadIdentity(void* context) {
  auto* probe = static_cast<GuardProbe*>(context);
  probe->value = plat::ReadProcessorId();
  probe->value = plat::ReadCacheType();
  probe->finished = true;
}

TEST_F(SimDeviceTest, GuardedFaultCutsTheBodyShort) {
  GuardProbe probe{0, false};
  plat::SetKMode(true);
  EXPECT_TRUE(plat::RunGuarded(ReadIdentity, &probe));
  EXPECT_TRUE(probe.finished);
  EXPECT_EQ(probe.value, 0x0B1AA1AAu);

  sim::Device().Cpu.CacheTypeFaults = true;
  probe = {0, false};
  EXPECT_FALSE(plat::RunGuarded(ReadIdentity, &probe));
  EXPECT_FALSE(probe.finished);
  EXPECT_EQ(probe.value, 0x69054117u) << "the access before the fault ran";
  EXPECT_TRUE(plat::SetKMode(false));
  EXPECT_EQ(FindCall("KernelModeViolation"), -1);

  EXPECT_EQ(sim::PlatformDepth, 0) << "after the jump the program's code runs unmarked again";

  // Outside kernel mode every access faults, as on the handheld: the body stops at its first
  // one, and without a guard a read gives 0 and a write changes nothing.
  sim::Device().Cpu.CacheTypeFaults = false;
  probe = {7, false};
  EXPECT_FALSE(plat::RunGuarded(ReadIdentity, &probe));
  EXPECT_EQ(probe.value, 7u);
  EXPECT_GE(FindCall("KernelModeViolation"), 0);
  EXPECT_EQ(plat::ReadClockConfig(), 0u);
  plat::WriteClockConfig(2);
  EXPECT_EQ(sim::Device().Cpu.Clkcfg, 3u);
  EXPECT_TRUE(sim::Device().Log.ClkcfgWrites.empty());
  // Every access, faulted or not, with the mode it was made in.
  std::vector<std::tuple<std::string_view, bool, bool>> accesses;
  for (const sim::RegisterAccess& a : sim::Device().Log.Accesses) {
    accesses.emplace_back(a.Operation, a.KernelMode, a.Faulted);
  }
  EXPECT_EQ(accesses, (std::vector<std::tuple<std::string_view, bool, bool>>{
                          {"ReadProcessorId", true, false},
                          {"ReadCacheType", true, false},
                          {"ReadProcessorId", true, false},
                          {"ReadCacheType", true, true},
                          {"ReadProcessorId", false, true},
                          {"ReadClockConfig", false, true},
                          {"WriteClockConfig", false, true}}));
}

TEST_F(SimDeviceTest, ClockRegisterMappingReadsAndWrites) {
  sim::Device().Cpu.Cccr = 0x161;
  void* region = plat::VirtualAlloc(nullptr, 4, plat::MEM_RESERVE, plat::PAGE_NOACCESS);
  ASSERT_NE(region, nullptr);
  ASSERT_TRUE(plat::VirtualCopy(region, 0x413000, 4, 0x604));
  auto* cell = static_cast<volatile std::uint32_t*>(region);
  EXPECT_EQ(*cell, 0x161u);
  *cell = 0x2000290;
  EXPECT_TRUE(plat::VirtualFree(region, 0, plat::MEM_RELEASE));
  EXPECT_EQ(sim::Device().Cpu.Cccr, 0x2000290u);
  EXPECT_EQ(sim::Device().Log.CccrWrites, std::vector<std::uint32_t>{0x2000290u});

  region = plat::VirtualAlloc(nullptr, 4, plat::MEM_RESERVE, plat::PAGE_NOACCESS);
  ASSERT_TRUE(plat::VirtualCopy(region, 0x413000, 4, 0x602));
  *static_cast<volatile std::uint32_t*>(region) = 5;
  plat::VirtualFree(region, 0, plat::MEM_RELEASE);
  EXPECT_EQ(sim::Device().Cpu.Cccr, 0x2000290u) << "a read-only mapping never reaches the register";

  sim::Device().Cpu.MapFails = true;
  region = plat::VirtualAlloc(nullptr, 4, plat::MEM_RESERVE, plat::PAGE_NOACCESS);
  EXPECT_FALSE(plat::VirtualCopy(region, 0x413000, 4, 0x602));
  EXPECT_TRUE(plat::VirtualFree(region, 0, plat::MEM_RELEASE));
}

std::vector<std::uint32_t> Ids(const std::vector<sim::MenuItem>& items) {
  std::vector<std::uint32_t> ids;
  for (const auto& item : items) ids.push_back(item.Separator ? 0xFFFF : item.Id);
  return ids;
}

TEST_F(SimDeviceTest, MenuEditsReachIntoSubmenus) {
  Window owner = MakeWindow();
  plat::Menu menu = plat::LoadMenuW(plat::Instance{}, 100);
  plat::Menu popup = plat::GetSubMenu(menu, 0);
  ASSERT_NE(popup, plat::Menu{});
  EXPECT_EQ(sim::Live().Menus, 19) << "the menu, its popup and every submenu";

  EXPECT_TRUE(plat::InsertMenuW(popup, 1026, plat::MF_BYCOMMAND, 1028, u"26 МГц"));
  EXPECT_TRUE(plat::InsertMenuW(popup, 1012, plat::MF_BYCOMMAND | plat::MF_SEPARATOR, 0, nullptr));
  EXPECT_TRUE(plat::RemoveMenu(popup, 1017, plat::MF_BYCOMMAND));
  EXPECT_TRUE(plat::RemoveMenu(popup, 1026, plat::MF_BYCOMMAND));
  EXPECT_FALSE(plat::RemoveMenu(popup, 1026, plat::MF_BYCOMMAND)) << "already gone";
  EXPECT_FALSE(plat::InsertMenuW(popup, 4242, plat::MF_BYCOMMAND, 1, u"x"));
  EXPECT_EQ(plat::CheckMenuItem(popup, 1020, plat::MF_CHECKED), 0u);
  EXPECT_EQ(plat::CheckMenuItem(popup, 1020, plat::MF_CHECKED), plat::MF_CHECKED);
  EXPECT_TRUE(plat::EnableMenuItem(popup, 1115, plat::MF_GRAYED));
  EXPECT_FALSE(plat::EnableMenuItem(popup, 4242, plat::MF_GRAYED));

  sim::Device().Script.MenuChoice = 1115;
  EXPECT_TRUE(
      plat::TrackPopupMenuEx(popup, plat::TPM_RIGHTALIGN | plat::TPM_BOTTOMALIGN, 240, 296, owner));
  EXPECT_TRUE(plat::DestroyMenu(menu));
  EXPECT_EQ(sim::Live().Menus, 0);

  ASSERT_EQ(sim::Device().Log.Menus.size(), 1u);
  const sim::TrackedMenu& tracked = sim::Device().Log.Menus[0];
  EXPECT_EQ(tracked.Owner, owner);
  EXPECT_EQ(tracked.Y, 296);
  const auto& overclock = tracked.Items[2].Submenu;
  EXPECT_EQ(Ids(overclock[0].Submenu), (std::vector<std::uint32_t>{1028}));
  EXPECT_EQ(Ids(overclock[1].Submenu), (std::vector<std::uint32_t>{1009, 1010, 1011, 0xFFFF, 1012,
                                                                   1013, 1014, 1015, 1016, 1018}));
  EXPECT_EQ(overclock[0].Submenu[0].Text, u"26 МГц");
  EXPECT_TRUE(overclock[2].Submenu[0].Submenu[1].Checked);
  EXPECT_TRUE(tracked.Items[3].Submenu.back().Grayed);

  log_.clear();
  RunLoop();
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].message, plat::WM_COMMAND);
  EXPECT_EQ(log_[0].wParam, 1115u);
}

TEST_F(SimDeviceTest, IconsDecodeColourAndMask) {
  // 3 x 2 pixels: 4-bit colour rows padded to 2 bytes, 1-bit mask rows padded to 2 bytes.
  const std::uint8_t color[] = {0x1F, 0xA0, 0x23, 0x40};
  const std::uint8_t mask[] = {0x80, 0x00, 0x20, 0x00};
  plat::Bitmap colorBitmap = plat::CreateBitmap(3, 2, 1, 4, color);
  plat::Bitmap maskBitmap = plat::CreateBitmap(3, 2, 1, 1, mask);
  plat::Icon icon = plat::CreateIconIndirect({true, 0, 0, maskBitmap, colorBitmap});
  ASSERT_NE(icon, plat::Icon{});
  EXPECT_TRUE(plat::DeleteObject(colorBitmap));
  EXPECT_TRUE(plat::DeleteObject(maskBitmap));
  EXPECT_EQ(sim::Live().Bitmaps, 0);

  const auto& icons = sim::Device().Graphics.Icons;
  ASSERT_EQ(icons.count(icon), 1u);
  const sim::IconPixels* pixels = &icons.at(icon);  // its own copy
  EXPECT_EQ(pixels->Width, 3);
  EXPECT_EQ(pixels->Height, 2);
  EXPECT_EQ(pixels->Color, (std::vector<std::uint8_t>{1, 15, 10, 2, 3, 4}));
  EXPECT_EQ(pixels->Transparent, (std::vector<std::uint8_t>{1, 0, 0, 0, 0, 1}));

  plat::Icon resource = plat::LoadImageW(plat::Instance{}, 100, plat::IMAGE_ICON, 16, 16, 0);
  ASSERT_EQ(icons.count(resource), 1u);
  EXPECT_EQ(icons.at(resource).ResourceId, 100);
  EXPECT_EQ(plat::LoadImageW(plat::Instance{}, 101, plat::IMAGE_ICON, 16, 16, 0), plat::Icon{});
  EXPECT_EQ(sim::Live().Icons, 2);
  EXPECT_TRUE(plat::DestroyIcon(icon));
  EXPECT_FALSE(plat::DestroyIcon(icon));
  EXPECT_EQ(sim::Live().Icons, 1);
}

TEST_F(SimDeviceTest, TrayTapPostsTheCallbackMessage) {
  Window owner = MakeWindow();
  plat::NotifyIconData data{};
  data.Owner = owner;
  data.Id = 1;
  data.Flags = plat::NIF_MESSAGE | plat::NIF_ICON;
  data.CallbackMessage = plat::WM_USER + 2;
  EXPECT_TRUE(plat::Shell_NotifyIcon(plat::NIM_ADD, &data));
  EXPECT_FALSE(plat::Shell_NotifyIcon(plat::NIM_ADD, &data)) << "already there";
  data.Flags = plat::NIF_ICON;
  data.CallbackMessage = 0;
  data.IconHandle = plat::Icon(77);
  EXPECT_TRUE(plat::Shell_NotifyIcon(plat::NIM_MODIFY, &data));
  ASSERT_EQ(sim::Device().Tray.size(), 1u);
  const sim::TrayIconRecord* tray = &sim::Device().Tray[0];
  EXPECT_EQ(tray->Adds, 1);
  EXPECT_EQ(tray->Modifies, 1);
  EXPECT_EQ(tray->Data.IconHandle, plat::Icon(77));
  EXPECT_EQ(tray->Data.CallbackMessage, plat::WM_USER + 2) << "kept: NIF_MESSAGE was not set";

  sim::TapTrayIcon(plat::WM_LBUTTONDOWN);
  log_.clear();
  RunLoop();
  ASSERT_EQ(log_.size(), 1u);
  EXPECT_EQ(log_[0].message, plat::WM_USER + 2);
  EXPECT_EQ(log_[0].wParam, 1u);
}

TEST_F(SimDeviceTest, FileSearchesAndMutexes) {
  sim::Device().Files.push_back({u"\\Windows\\tahoma.ttf"});
  sim::Device().Files.push_back({u"\\Windows\\Fonts\\arial.TTF"});
  sim::Device().Files.push_back({u"\\Windows\\readme"});
  struct Case {
    const char16_t* pattern;
    const char16_t* first;  // nullptr: nothing matches
  };
  const Case cases[] = {
      {u"\\Windows\\Zorvik.exe", u"Zorvik.exe"},
      {u"\\windows\\ZORVIK.EXE", u"Zorvik.exe"},
      {u"\\Windows\\Zorvik", nullptr},
      {u"\\Windows\\*.ttf", u"tahoma.ttf"},
      {u"\\Windows\\Fonts\\*.ttf", u"arial.TTF"},
      {u"\\Windows\\*.*", u"Zorvik.exe"},
      {u"\\Windows\\read*.*", u"readme"},
      {u"\\Windows\\?orvik.*", u"Zorvik.exe"},
      {u"\\Windows\\F*", u"Fonts"},
      {u"\\Temp\\*.*", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(sim::ToUtf8(c.pattern));
    plat::FindData data{};
    plat::Handle search = plat::FindFirstFileW(c.pattern, &data);
    if (c.first == nullptr) {
      EXPECT_EQ(search, plat::InvalidHandle);
      continue;
    }
    ASSERT_NE(search, plat::InvalidHandle);
    EXPECT_EQ(std::u16string(data.FileName), c.first);
    EXPECT_TRUE(plat::FindClose(search));
  }

  sim::Device().System.MutexesElsewhere.push_back(u"Zorvik");
  EXPECT_NE(plat::CreateMutexW(nullptr, false, u"Zorvik"), plat::Handle{});
  EXPECT_EQ(plat::GetLastError(), plat::ERROR_ALREADY_EXISTS);
  plat::CreateMutexW(nullptr, false, u"Other");
  EXPECT_EQ(plat::GetLastError(), 0u);
  plat::CreateMutexW(nullptr, false, u"Other");
  EXPECT_EQ(plat::GetLastError(), plat::ERROR_ALREADY_EXISTS);
  EXPECT_EQ(sim::Device().System.MutexesCreated,
            (std::vector<std::u16string>{u"Zorvik", u"Other"}));

  char16_t path[plat::MaxPathChars];
  const std::u16string longest = u"\\" + std::u16string(258, u'd');
  sim::Device().System.Folders[plat::CSIDL_STARTUP] = longest;
  EXPECT_TRUE(plat::SHGetSpecialFolderPath(Window{}, path, plat::CSIDL_STARTUP, true));
  EXPECT_EQ(std::u16string(path), longest);
}

TEST_F(SimDeviceTest, SystemQueriesReplayTheirReadings) {
  sim::Device().System.IdleReadings = {10, 20};
  EXPECT_EQ(plat::GetIdleTime(), 10u);
  EXPECT_EQ(plat::GetIdleTime(), 20u);
  EXPECT_EQ(plat::GetIdleTime(), 20u) << "the last reading repeats";

  plat::PowerStatusEx2 status{};
  EXPECT_EQ(plat::GetSystemPowerStatusEx2(&status, sizeof status, true), 56u);
  EXPECT_EQ(status.BatteryVoltage, 4000u);
  EXPECT_EQ(status.BatteryCurrent, -150);
  sim::Device().System.PowerAvailable = false;
  EXPECT_EQ(plat::GetSystemPowerStatusEx2(&status, sizeof status, false), 0u);
  EXPECT_EQ(sim::Device().Log.PowerUpdates, (std::vector<bool>{true, false}));

  plat::MemoryStatus memory{};
  memory.Length = 99;
  plat::GlobalMemoryStatus(&memory);
  EXPECT_EQ(memory.Length, 99u);
  EXPECT_EQ(memory.TotalPhys, 64u << 20);

  sim::Device().System.SupportedOrientations = plat::DMDO_90 | plat::DMDO_180;
  plat::DeviceMode mode{192, plat::DM_DISPLAYQUERYORIENTATION, 0};
  plat::ChangeDisplaySettingsEx(nullptr, &mode, Window{}, plat::CDS_TEST, nullptr);
  EXPECT_EQ(mode.DisplayOrientation, 3u);
  mode = {192, plat::DM_DISPLAYORIENTATION, plat::DMDO_180};
  plat::ChangeDisplaySettingsEx(nullptr, &mode, Window{}, 0, nullptr);
  mode = {192, plat::DM_DISPLAYORIENTATION, 0};
  plat::ChangeDisplaySettingsEx(nullptr, &mode, Window{}, plat::CDS_TEST, nullptr);
  EXPECT_EQ(mode.DisplayOrientation, plat::DMDO_180);
  EXPECT_EQ(sim::Device().System.Orientation, plat::DMDO_180);
}

// The program's code runs with the platform mark down, however the platform reaches it, so that
// a profiler can tell the program's share.
TEST_F(SimDeviceTest, ProgramCodeRunsOutsideThePlatformMark) {
  Window w = MakeWindow();
  std::vector<int> found;
  depths = &found;
  plat::PostMessageW(w, plat::WM_USER, 0, 0);
  RunLoop();
  sim::Send(w, plat::WM_USER, 0, 0);
  sim::At(10, [w] { sim::Send(w, plat::WM_USER, 0, 0); });
  RunLoop();
  EXPECT_EQ(found, (std::vector<int>{0, 0, 0}));
  EXPECT_EQ(sim::PlatformDepth, 0);
}

TEST_F(SimDeviceTest, CallLogNamesEveryOperationInOrder) {
  sim::Device().Log.Calls.clear();
  plat::RegKey key{};
  plat::RegOpenKeyExW(plat::HKEY_CURRENT_USER, u"x", 0, plat::KEY_READ, &key);
  plat::CeRunAppAtEvent(u"Zorvik.exe", plat::NOTIFICATION_EVENT_WAKEUP);
  plat::CeRunAppAtEvent(u"Zorvik.exe", plat::NOTIFICATION_EVENT_WAKEUP);
  EXPECT_EQ(sim::Device().Notifications.Wakeups().size(), 2u);
  plat::CeRunAppAtEvent(u"Zorvik.exe", plat::NOTIFICATION_EVENT_NONE);
  EXPECT_TRUE(sim::Device().Notifications.Wakeups().empty());
  EXPECT_EQ(sim::Device().Log.Calls,
            (std::vector<std::string_view>{"RegOpenKeyExW", "CeRunAppAtEvent", "CeRunAppAtEvent",
                                           "CeRunAppAtEvent"}));
  EXPECT_EQ(FindCall("CeRunAppAtEvent", 2), 2);
  EXPECT_EQ(FindCall("CeRunApp"), -1);
}

}  // namespace
