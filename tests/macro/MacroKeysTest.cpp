// Deleting a macro keeps the keys that play macros pointing at the same macros.

#include "macro/MacroKeys.h"

#include <gtest/gtest.h>

#include <array>

#include "common/KeyFunction.h"

namespace korva::macro {
namespace {

using Bank = std::array<std::uint8_t, 512>;

Bank DefaultBlock() {
  Bank block{};
  for (std::size_t k = 0; k < 170; ++k) StoreEntry(block, k, {0x20, 0, static_cast<std::uint8_t>(k)});
  return block;
}

TEST(MacroKeys, DeletingAMacroRenumbersEveryBankAndResetsItsKeys) {
  const Bank defaults = DefaultBlock();
  std::array<Bank, 5> banks{};
  for (Bank& bank : banks) bank = defaults;
  // Bank b: key 1 plays macro 0, key 2 macro 2 (the one deleted), key 3 macro 3 with a count of 10,
  // key 169 (the last whole entry) macro 4.
  for (std::size_t b = 0; b < banks.size(); ++b) {
    StoreEntry(banks[b], 1, {0x70, 0, 1});
    StoreEntry(banks[b], 2, {0x70, 2, static_cast<std::uint8_t>(b)});
    StoreEntry(banks[b], 3, {0x71, 3, 10});
    StoreEntry(banks[b], 169, {0x70, 4, 0});
  }
  for (Bank& bank : banks) EXPECT_EQ(ForgetMacroInBank(bank, defaults, 2), 3u);
  for (const Bank& bank : banks) {
    EXPECT_EQ(EntryAt(bank, 1), (KeyFunction{0x70, 0, 1})) << "an earlier macro keeps its number";
    EXPECT_EQ(EntryAt(bank, 2), EntryAt(defaults, 2)) << "the deleted macro's key gets its factory function";
    EXPECT_EQ(EntryAt(bank, 3), (KeyFunction{0x71, 2, 10}));
    EXPECT_EQ(EntryAt(bank, 169), (KeyFunction{0x70, 3, 0}));
    EXPECT_FALSE(BankPlaysMacro(bank, 4));
    EXPECT_TRUE(BankPlaysMacro(bank, 3));
  }
}

TEST(MacroKeys, OnlyKeysThatPlayMacrosAreTouched) {
  Bank bank{};
  // Every other type with a b1 above the deleted number: a mouse button, a DPI function, a fire
  // key, a key with modifiers, a cursor macro, a type only the device knows.
  const KeyFunction others[] = {{0x10, 4, 0}, {0x13, 3, 0}, {0x14, 9, 9}, {0x20, 0x02, 0x04}, {0x72, 3, 0}, {0xA0, 5, 1}};
  for (std::size_t k = 0; k < std::size(others); ++k) StoreEntry(bank, k, others[k]);
  bank[510] = 0x70;  // the two bytes after the last whole entry are not an entry
  bank[511] = 0x05;
  const Bank before = bank;
  EXPECT_EQ(ForgetMacroInBank(bank, DefaultBlock(), 1), 0u);
  EXPECT_EQ(bank, before);
  EXPECT_FALSE(BankPlaysMacro(bank, 3)) << "a cursor macro is not a macro";
}

TEST(MacroKeys, ADefaultBlockShorterThanTheBankGivesTheLaterKeysNoFunction) {
  Bank bank{};
  StoreEntry(bank, 100, {0x70, 0, 0});
  const std::array<std::uint8_t, 30> shortDefaults{};
  EXPECT_EQ(ForgetMacroInBank(bank, shortDefaults, 0), 1u);
  EXPECT_EQ(EntryAt(bank, 100), KeyFunction{});
}

}  // namespace
}  // namespace korva::macro
