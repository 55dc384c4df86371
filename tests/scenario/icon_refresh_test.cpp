// The tray icon on the simulated handheld: each view's measurement, the load history, the
// redraw decision, the calls that make the icon, and no icon or bitmap left behind.
#include <string>
#include <vector>

#include "app/settings.h"
#include "icon/picture.h"
#include "icon/refresh.h"
#include "icon/tray_picture.h"
#include "platform/system.h"
#include "scenario.h"

namespace {

class IconRefreshTest : public ScenarioTest {
 protected:
  // Starts the program with `view` stored, as a user who chose it earlier would.
  void StartWithView(std::uint32_t view) {
    sim::Device().Registry.Keys[SettingsKey][u"View"] = sim::DwordValue(view);
    Start();
    ASSERT_NE(AppState.MainWindow, plat::Window{});
    ASSERT_NE(Tray(), nullptr);
  }

  static const sim::TrayIconRecord* Tray() {
    return sim::Device().Tray.empty() ? nullptr : &sim::Device().Tray[0];
  }
  static int Modifies() { return Tray()->Modifies; }
  static sim::IconPixels TrayPixels() {
    const auto& icons = sim::Device().Graphics.Icons;
    const auto pixels = icons.find(Tray()->Data.IconHandle);
    EXPECT_NE(pixels, icons.end());
    return pixels == icons.end() ? sim::IconPixels{} : pixels->second;
  }

  // The tray shows exactly `picture` (built by the program's own drawing).
  static void ExpectTrayShows(const IconPicture& picture) {
    const sim::IconPixels shown = TrayPixels();
    ASSERT_EQ(shown.ResourceId, 0);
    ASSERT_EQ(shown.Width, picture.Side);
    ASSERT_EQ(shown.Height, picture.Side);
    for (int y = 0; y < picture.Side; ++y) {
      for (int x = 0; x < picture.Side; ++x) {
        const std::size_t at = static_cast<std::size_t>(y * picture.Side + x);
        ASSERT_EQ(shown.Color[at], PictureColorAt(picture, x, y)) << x << "," << y;
        ASSERT_EQ(shown.Transparent[at] != 0, PictureTransparentAt(picture, x, y)) << x << "," << y;
      }
    }
  }
  static void ExpectTrayShowsNumber(int value) {
    IconPicture picture;
    DrawNumberIcon(value, &picture);
    ExpectTrayShows(picture);
  }

  // A Load sample taken with `idleMs` of idle time since the previous one.
  static int LoadSample(std::uint32_t idleMs) {
    AppState.LastIdleTime = 50000;
    sim::Device().System.IdleReadings = {50000 + idleMs};
    RefreshTrayIcon();
    EXPECT_EQ(AppState.LastIdleTime, 50000 + idleMs);
    return AppState.SampleHistory[0];
  }
};

// ---- Load ---------------------------------------------------------------------------------

struct IdleCase {
  std::uint32_t tempo;
  std::uint32_t idleMs;
  int sample;
};

class LoadSampleTest : public IconRefreshTest, public ::testing::WithParamInterface<IdleCase> {};

TEST_P(LoadSampleTest, IsTheIdleShareOfOnePeriod) {
  StartWithView(ViewLoad);
  AppState.UpdateTempo = GetParam().tempo;
  EXPECT_EQ(LoadSample(GetParam().idleMs), GetParam().sample);
  // The newest sample is the leftmost column: its top rows are empty (background), the rest
  // of the column is the busy bar.
  const int emptyRows = GetParam().sample * 16 / 100 > 16 ? 16 : GetParam().sample * 16 / 100;
  const sim::IconPixels shown = TrayPixels();
  const int background = static_cast<int>((AppState.IconColors >> 16) & 0xF);
  for (int y = 0; y < 16; ++y) {
    EXPECT_EQ(shown.Color[static_cast<std::size_t>(y * 16)] == background, y < emptyRows) << y;
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, LoadSampleTest,
                         ::testing::Values(IdleCase{2, 300, 30}, IdleCase{0, 125, 50},
                                           IdleCase{1, 100, 20},
                                           IdleCase{2, 1100, 110},  // a late timer
                                           IdleCase{0, 0, 0}, IdleCase{4, 3999, 99},
                                           // a damaged tempo counts as 31: 5.4e9 ms a period
                                           IdleCase{0xFFFFFFFFu, 4000000000u, 0}));

TEST_F(IconRefreshTest, LoadViewStartsWithAnIdleHistory) {
  StartWithView(ViewLoad);
  for (int entry = 0; entry < SampleHistoryLength; ++entry) {
    EXPECT_EQ(AppState.SampleHistory[entry], 100) << entry;
  }
}

TEST_F(IconRefreshTest, FirstLoadSampleAfterAViewChangeIsIdle) {
  StartWithView(ViewFrequency);
  sim::Device().System.IdleReadings = {7000, 7600};
  SetIconView(ViewLoad);  // resets the baseline and refreshes
  EXPECT_EQ(AppState.SampleHistory[0], 100);
  EXPECT_EQ(AppState.LastIdleTime, 7000u);
  AppState.UpdateTempo = 2;
  RefreshTrayIcon();  // 600 ms idle of 1000
  EXPECT_EQ(AppState.SampleHistory[0], 60);
  EXPECT_EQ(AppState.SampleHistory[1], 100);
}

TEST_F(IconRefreshTest, LoadSampleIsStoredModulo256) {
  StartWithView(ViewLoad);
  AppState.UpdateTempo = 0;
  EXPECT_EQ(LoadSample(750), 300 - 256);
  EXPECT_EQ(LoadSample(640), 0);  // 256
}

TEST_F(IconRefreshTest, IdleCounterWrapKeepsTheSampleRight) {
  StartWithView(ViewLoad);
  AppState.UpdateTempo = 2;
  AppState.LastIdleTime = 0xFFFFFF00u;
  sim::Device().System.IdleReadings = {0x000000F0u};  // 496 ms later, across the wrap
  RefreshTrayIcon();
  EXPECT_EQ(AppState.SampleHistory[0], 49);
}

TEST_F(IconRefreshTest, HistoryShiftMovesOnlyTheShownEntries) {
  StartWithView(ViewLoad);
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    AppState.IconScale = scale;
    for (int i = 0; i < SampleHistoryLength; ++i) AppState.SampleHistory[i] = 200 + i;
    AppState.UpdateTempo = 2;
    LoadSample(420);
    EXPECT_EQ(AppState.SampleHistory[0], 42);
    const int shown = 16 * scale;
    for (int i = 1; i < SampleHistoryLength; ++i) {
      EXPECT_EQ(AppState.SampleHistory[i], i < shown ? 200 + i - 1 : 200 + i) << i;
    }
    EXPECT_EQ(TrayPixels().Width, shown);
  }
}

TEST_F(IconRefreshTest, GraphIsRedrawnOnEveryTick) {
  StartWithView(ViewLoad);
  const int before = Modifies();
  for (int tick = 0; tick < 3; ++tick) LoadSample(500);
  EXPECT_EQ(Modifies(), before + 3);
  IconPicture picture;
  DrawGraphIcon(&picture);
  ExpectTrayShows(picture);
}

// ---- Numeric views ------------------------------------------------------------------------

TEST_F(IconRefreshTest, MemoryShowsWholeFreeMegabytes) {
  StartWithView(ViewMemory);  // the handheld has 0x2A80000 bytes free
  EXPECT_EQ(AppState.LastDrawnValue, 42);
  ExpectTrayShowsNumber(42);
}

struct BatteryCase {
  std::uint8_t percent;
  int shown;
};

class BatteryViewTest : public IconRefreshTest,
                        public ::testing::WithParamInterface<BatteryCase> {};

TEST_P(BatteryViewTest, ShowsThePercentageOrZeroWhenUnknown) {
  plat::PowerStatusEx2 status = sim::Device().System.Power;
  status.BatteryLifePercent = GetParam().percent;
  sim::Device().System.Power = status;
  StartWithView(ViewBattery);
  EXPECT_EQ(AppState.LastDrawnValue, GetParam().shown);
  ExpectTrayShowsNumber(GetParam().shown);
  // The battery view reads the cached status.
  EXPECT_EQ(sim::Device().Log.PowerUpdates.back(), false);
}

INSTANTIATE_TEST_SUITE_P(Percentages, BatteryViewTest,
                         ::testing::Values(BatteryCase{255, 0}, BatteryCase{100, 100},
                                           BatteryCase{101, 0}, BatteryCase{80, 80},
                                           BatteryCase{0, 0}));

TEST_F(IconRefreshTest, CurrentShowsFreshSignedMilliamperes) {
  StartWithView(ViewCurrent);  // the handheld draws 150 mA from its battery
  EXPECT_EQ(sim::Device().Log.PowerUpdates.back(), true);
  EXPECT_EQ(AppState.LastDrawnValue, -150);
  ExpectTrayShowsNumber(-150);

  plat::PowerStatusEx2 status = sim::Device().System.Power;
  status.BatteryCurrent = 1234;  // charging
  sim::Device().System.Power = status;
  RefreshTrayIcon();
  ExpectTrayShowsNumber(1234);
}

TEST_F(IconRefreshTest, FrequencyIsRedrawnOnlyWhenChangedOrForced) {
  StartWithView(ViewFrequency);  // CCCR 0x02000290: 520 MHz
  EXPECT_EQ(AppState.LastDrawnValue, 520);
  ExpectTrayShowsNumber(520);
  const int afterStart = Modifies();

  RefreshTrayIcon();
  RefreshTrayIcon();
  EXPECT_EQ(Modifies(), afterStart);

  SetIconColor(1);  // red digits: the same value is drawn again
  EXPECT_EQ(Modifies(), afterStart + 1);
  EXPECT_EQ(AppState.ForceIconRedraw, 0);
  EXPECT_EQ(AppState.IconColors & 0xF, 9u);
  ExpectTrayShowsNumber(520);

  RefreshTrayIcon();
  EXPECT_EQ(Modifies(), afterStart + 1);
}

// -1 mA is a real reading of the Current view and also the value nothing has been drawn for yet.
TEST_F(IconRefreshTest, FirstDrawingAtStartShowsEvenMinusOneMilliampere) {
  plat::PowerStatusEx2 status = sim::Device().System.Power;
  status.BatteryCurrent = -1;
  sim::Device().System.Power = status;
  StartWithView(ViewCurrent);
  EXPECT_EQ(AppState.LastDrawnValue, -1);
  ExpectTrayShowsNumber(-1);
}

// ---- Handing the picture to the shell -----------------------------------------------------

TEST_F(IconRefreshTest, PictureBecomesAnIconThatReplacesTheOldOne) {
  StartWithView(ViewMemory);
  const plat::Icon previous = Tray()->Data.IconHandle;
  sim::Device().Log.Calls.clear();
  AppState.ForceIconRedraw = 1;
  RefreshTrayIcon();
  const std::vector<std::string_view> expected = {
      "GlobalMemoryStatus", "CreateBitmap", "CreateBitmap",     "CreateIconIndirect",
      "DeleteObject",       "DeleteObject", "Shell_NotifyIcon", "DestroyIcon"};
  EXPECT_EQ(sim::Device().Log.Calls, expected);
  EXPECT_NE(Tray()->Data.IconHandle, previous);
  EXPECT_EQ(AppState.TrayIconData.IconHandle, Tray()->Data.IconHandle);
  EXPECT_EQ(sim::Device().Graphics.Icons.count(previous), 0u);
  // Only the icon changed in the record the main window filled.
  EXPECT_EQ(Tray()->Data.Flags, plat::NIF_MESSAGE | plat::NIF_ICON);
  EXPECT_TRUE(Tray()->Present);

  // A record without an icon (the program's own could not be loaded) has none to destroy.
  AppState.TrayIconData.IconHandle = plat::Icon{};
  sim::Device().Log.Calls.clear();
  AppState.ForceIconRedraw = 1;
  RefreshTrayIcon();
  EXPECT_EQ(sim::Device().Log.Calls,
            std::vector<std::string_view>(expected.begin(), expected.end() - 1));

  // Without either bitmap no icon is made, the other is deleted and the tray keeps its icon.
  for (std::uint32_t failing : {1u, 4u}) {
    sim::Device().Faults.FailingBitmapBits = failing;
    const plat::Icon shown = Tray()->Data.IconHandle;
    sim::Device().Log.Calls.clear();
    AppState.ForceIconRedraw = 1;
    RefreshTrayIcon();
    EXPECT_EQ(sim::Device().Log.Calls,
              (std::vector<std::string_view>{"GlobalMemoryStatus", "CreateBitmap", "CreateBitmap",
                                             "DeleteObject"}));
    EXPECT_EQ(Tray()->Data.IconHandle, shown);
  }
}

// A view number out of range, which the settings never keep, shows 0.
TEST_F(IconRefreshTest, AViewOutOfRangeShowsZero) {
  StartWithView(ViewMemory);
  AppState.IconView = IconViewCount;
  RefreshTrayIcon();
  ExpectTrayShowsNumber(0);
}

TEST_F(IconRefreshTest, PlainViewShowsTheProgramIconAtTheIconSize) {
  for (int scale : {1, 2}) {
    SCOPED_TRACE(scale);
    sim::Reset();
    ResetAppState();
    StartWithView(ViewMemory);
    AppState.IconScale = scale;
    SetIconView(ViewPlain);
    const sim::IconPixels shown = TrayPixels();
    EXPECT_EQ(shown.ResourceId, 100);
    EXPECT_EQ(shown.Width, 16 * scale);
    EXPECT_EQ(shown.Height, 16 * scale);
    EXPECT_EQ(sim::Live().Icons, 1);
  }
}

TEST_F(IconRefreshTest, NoIconOrBitmapOutlivesItsUseInAnyView) {
  StartWithView(ViewFrequency);
  for (int scale : {1, 2}) {
    AppState.IconScale = scale;
    for (std::uint32_t view = ViewPlain; view < IconViewCount; ++view) {
      SCOPED_TRACE(view);
      AppState.IconView = view;
      for (int tick = 0; tick < 100; ++tick) {
        AppState.ForceIconRedraw = 1;
        RefreshTrayIcon();
      }
      EXPECT_EQ(sim::Live().Icons, 1);  // the one in the tray
      EXPECT_EQ(sim::Live().Bitmaps, 0);
    }
  }
  // Closing the program destroys the last one.
  sim::Send(AppState.MainWindow, plat::WM_CLOSE, 0, 0);
  EXPECT_EQ(sim::Live().Icons, 0);
}

}  // namespace
