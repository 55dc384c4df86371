// The menu command ranges of base/ids.h tied to the counts of what they name (the presets, views,
// colours and tempos of base/state.h) and the size of the command table, so that a change of one
// that forgets the other stops the build. Included wherever a command is computed from a count.
#pragma once

#include "base/ids.h"
#include "base/state.h"

// The command table holds one entry per identifier IDM_FIRST..IDM_LAST.
inline constexpr int CommandCount = IDM_LAST - IDM_FIRST + 1;

static_assert(IDM_PRESET_FIRST == IDM_PROCESSES + 1 &&
                  IDM_PRESET_LAST == IDM_PROCESSES + PresetSlots &&
                  IDM_RUN_X1 == IDM_PRESET_LAST + 1,
              "preset slot n is the command IDM_PROCESSES + n, n = 1..PresetSlots: another number "
              "of presets needs IDM_PRESET_LAST, the \"Добавить\" and \"Очистить\" ranges and "
              "every identifier after them moved in base/ids.h (IDM_LAST too), and the default "
              "presets of app/settings.cpp");
static_assert(
    IDM_STORE_FIRST == IDM_STORE_ANCHOR + 1 && IDM_STORE_LAST == IDM_STORE_ANCHOR + PresetSlots &&
        IDM_CLEAR_ANCHOR == IDM_STORE_LAST + 1,
    "\"Добавить\" slot n is IDM_STORE_ANCHOR + n, n = 1..PresetSlots: move IDM_STORE_LAST "
    "and the identifiers after it in base/ids.h");
static_assert(
    IDM_CLEAR_FIRST == IDM_CLEAR_ANCHOR + 1 && IDM_CLEAR_LAST == IDM_CLEAR_ANCHOR + PresetSlots &&
        IDM_COLOR_BLACK == IDM_CLEAR_LAST + 1,
    "\"Очистить\" slot n is IDM_CLEAR_ANCHOR + n, n = 1..PresetSlots: move IDM_CLEAR_LAST "
    "and the identifiers after it in base/ids.h");
static_assert(
    IDM_BACK_BLACK == IDM_COLOR_BLACK + IconColorCount && IDM_COLOR_WHITE + 1 == IDM_BACK_BLACK &&
        IDM_TEMPO_QUARTER == IDM_BACK_BLACK + IconColorCount &&
        IDM_BACK_WHITE + 1 == IDM_TEMPO_QUARTER,
    "colour choice k is IDM_COLOR_BLACK + k, foregrounds then backgrounds, IconColorCount "
    "of each: another number of colours needs both ranges and the identifiers after "
    "them moved in base/ids.h (IDM_LAST too), the \"Цвет\" and \"Фон\" items of "
    "resources/zorvik.rc and the palette of icon/");
static_assert(IDM_SERVICE_PROCESSES == IDM_TEMPO_QUARTER + UpdateTempoCount &&
                  IDM_TEMPO_4S + 1 == IDM_SERVICE_PROCESSES,
              "tempo t is IDM_TEMPO_QUARTER + t, t < UpdateTempoCount: another number of tempos "
              "needs the tempo range and the identifiers after it moved in base/ids.h (IDM_LAST "
              "too) and the \"Темп\" items of resources/zorvik.rc");
static_assert(IDM_AUTOSTART == IDM_VIEW_PLAIN + IconViewCount &&
                  IDM_VIEW_CURRENT + 1 == IDM_AUTOSTART,
              "view v is IDM_VIEW_PLAIN + v, v < IconViewCount: a new view needs its IDM_VIEW_ "
              "identifier after the others in base/ids.h, the identifiers from IDM_AUTOSTART on "
              "moved up (IDM_LAST too), its \"Вид\" item in resources/zorvik.rc and its "
              "measurement in icon/refresh.cpp");
static_assert(IDM_TURBO_X40 - IDM_RUN_X1 == 9, "three run and seven turbo multipliers");
static_assert(IDM_FREQUENCY_LAST - IDM_FREQUENCY_ANCHOR == 31 &&
                  IDM_FREQUENCY_FIRST == IDM_FREQUENCY_ANCHOR + 1,
              "run ratio L is IDM_FREQUENCY_ANCHOR + L, L = 1..31");
static_assert(IDM_ROTATE_270 - IDM_VGA == 5 && IDM_VIEW_PLAIN == IDM_ROTATE_270 + 1,
              "the screen commands");
static_assert(IDM_AUTO == IDM_LAST && IDM_EXIT + 1 == IDM_AUTO && IDM_HARD_RESET + 1 == IDM_EXIT,
              "the last command closes the range: a command added after it moves IDM_LAST in "
              "base/ids.h, which sizes the command table");
