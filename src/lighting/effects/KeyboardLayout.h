#pragma once
// Where the keyboard's 126 preview keys sit: their stream positions, their columns and rows, the
// snake path through the real keys, and the key lists of the show effect.

#include <array>
#include <cstddef>
#include <cstdint>

#include "lighting/effects/Frame.h"

namespace korva::lighting::effects {

inline constexpr std::uint8_t kNoKey = 126;        // a column-table or path slot without a key
inline constexpr std::uint8_t kNotStreamed = 126;  // an LED-map value: the key has no LED
inline constexpr std::size_t kStreamLeds = 126;    // LEDs in the keyboard's stream, 3 bytes each

namespace detail {

struct MapRun {
  std::uint8_t firstKey, lastKey, firstLed;  // firstLed kNotStreamed: the run has no LEDs
};

// The map as runs of consecutive keys on consecutive LEDs (or on none), which is how it is laid
// out: typing 126 numbers by hand is how a key ends up on the wrong LED.
inline constexpr std::array<MapRun, 21> kMapRuns{{
    {0, 12, 0},      {13, 19, 14},           {20, 20, kNotStreamed},
    {21, 61, 21},    {62, 62, kNotStreamed}, {63, 74, 63},
    {75, 75, 76},    {76, 78, 80},           {79, 83, kNotStreamed},
    {84, 84, 84},    {85, 94, 86},           {95, 95, 97},
    {96, 96, 99},    {97, 99, 101},          {100, 104, kNotStreamed},
    {105, 111, 105}, {112, 112, 113},        {113, 115, 119},
    {116, 117, 123}, {118, 118, 104},        {119, 119, 62},
}};

constexpr std::array<std::uint8_t, kKeyboardEntries> MakeLedMap() {
  std::array<std::uint8_t, kKeyboardEntries> map{};
  map.fill(kNotStreamed);
  for (const MapRun& run : kMapRuns) {
    for (int key = run.firstKey; key <= run.lastKey; ++key) {
      map[static_cast<std::size_t>(key)] = run.firstLed == kNotStreamed
                                               ? kNotStreamed
                                               : static_cast<std::uint8_t>(run.firstLed + key - run.firstKey);
    }
  }
  return map;
}

}  // namespace detail

// Stream position (LED) of each preview key; kNotStreamed for keys the keyboard has no LED for.
inline constexpr std::array<std::uint8_t, kKeyboardEntries> kKeyboardLedMap = detail::MakeLedMap();

inline constexpr std::size_t kKeyboardColumns = 23;
inline constexpr std::size_t kKeyboardRows = 6;
using KeyColumn = std::array<std::uint8_t, kKeyboardRows>;

namespace detail {
inline constexpr std::uint8_t X = kNoKey;
inline constexpr std::uint8_t N = 255;

inline constexpr std::array<KeyColumn, kKeyboardColumns> kColumnTable{{
    {X, X, X, X, X, 105},    {X, 21, 42, 63, 84, 106},  {0, 22, 43, 64, 85, 107}, {1, 23, 44, 65, 86, X},
    {2, 24, 45, 66, 87, X},  {3, 25, 46, 67, 88, X},    {4, 26, 47, 68, 89, 108}, {X, 27, 48, 69, 90, X},
    {5, 28, 49, 70, 91, X},  {6, 29, 50, 71, 92, 109},  {7, 30, 51, 72, 93, X},   {8, 31, 52, 73, 94, 110},
    {9, 32, 53, 74, X, X},   {10, 33, 54, X, X, 111},   {11, 34, 55, 75, 95, X},  {12, X, X, X, X, 112},
    {13, 35, 56, X, X, 113}, {14, 36, 57, X, 96, 114},  {15, 37, 58, X, X, 115},  {16, 38, 59, 76, 97, 116},
    {17, 39, 60, 77, 98, X}, {18, 40, 61, 78, 99, 117}, {19, 41, X, 119, 118, X},
}};

inline constexpr std::array<std::uint8_t, 125> kPath{
    16, 17, 18, 19,  15,  14,  13,  12,  11,  10,  9,   8,   7,   6,   5,   4,   3,   2,   1,  0,  21,
    42, 63, 84, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 41, 40, 39,
    38, 37, 36, 35,  34,  33,  32,  31,  30,  29,  28,  27,  26,  25,  24,  23,  22,  43,  64, 85, 86,
    87, 88, 89, 90,  91,  92,  93,  94,  95,  96,  97,  98,  99,  78,  61,  60,  59,  58,  57, 56, 55,
    54, 53, 52, 51,  50,  49,  48,  47,  46,  45,  44,  65,  66,  67,  68,  69,  70,  71,  72, 73, 74,
    75, 76, 77, X,   X,   X,   X,   X,   X,   X,   X,   X,   X,   X,   X,   X,   X,   X,   X,  X};

inline constexpr std::array<std::array<std::uint8_t, 6>, 20> kOpening{{
    {0, 118, N, N, N, N},     {1, 117, N, N, N, N},     {2, 116, N, N, N, N},      {3, 115, 21, 118, N, N},
    {4, 114, 22, 99, N, N},   {5, 113, 23, 98, N, N},   {6, 112, 24, 97, 42, 119}, {7, 111, 25, 96, 43, 78},
    {8, 110, 26, 95, 44, 77}, {9, 109, 27, 94, 45, 76}, {33, 92, 28, 93, 46, N},   {54, 71, 29, 92, 47, N},
    {74, 50, 30, 71, 48, 75}, {94, 30, 31, 50, 49, 74}, {93, 31, 52, 30, 50, 73},  {92, 32, 72, 31, 51, 72},
    {71, 33, 71, 52, 52, 71}, {50, 54, 50, 72, 53, N},  {30, 74, N, N, N, N},      {31, 94, N, N, N, N},
}};
}  // namespace detail

// Keys of each column, rows 0 (top) .. 5 (bottom); kNoKey where a column has no key in a row.
inline constexpr const std::array<KeyColumn, kKeyboardColumns>& kKeyboardColumnTable = detail::kColumnTable;

// The 108 real keys in one snake, row by row, stored with 17 empty (kNoKey) slots after them.
inline constexpr std::size_t kKeyPathKeys = 108;
inline constexpr std::size_t kKeyPathSlots = 125;
inline constexpr const std::array<std::uint8_t, kKeyPathSlots>& kKeyPath = detail::kPath;

// The show effect's opening: 20 steps of up to six keys (kShowNone fills a step).
inline constexpr std::uint8_t kShowNone = detail::N;
inline constexpr std::size_t kShowSteps = 20;
inline constexpr const std::array<std::array<std::uint8_t, 6>, kShowSteps>& kShowOpening = detail::kOpening;
// Then pairs round the centre, 16 of them, taken in turn.
inline constexpr std::size_t kShowPairs = 16;
inline constexpr std::array<std::array<std::uint8_t, 2>, kShowPairs> kShowCircle{{
    {30, 94},
    {31, 93},
    {32, 92},
    {33, 71},
    {54, 50},
    {74, 30},
    {94, 31},
    {93, 32},
    {92, 33},
    {71, 54},
    {50, 74},
    {51, 73},
    {52, 72},
    {53, 51},
    {73, 52},
    {72, 53},
}};

}  // namespace korva::lighting::effects
