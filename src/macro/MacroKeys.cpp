#include "macro/MacroKeys.h"

#include "common/KeyFunction.h"

namespace korva::macro {
namespace {

bool PlaysMacro(const KeyFunction& function) {
  return function.type == key_type::kMacro || function.type == key_type::kMacroCount;
}

}  // namespace

bool BankPlaysMacro(std::span<const std::uint8_t> bank, std::uint8_t number) {
  for (std::size_t k = 0; k < bank.size() / kKeyFunctionSize; ++k) {
    const KeyFunction function = EntryAt(bank, k);
    if (PlaysMacro(function) && function.b1 == number) return true;
  }
  return false;
}

std::size_t ForgetMacroInBank(std::span<std::uint8_t> bank, std::span<const std::uint8_t> defaultBlock,
                              std::uint8_t deleted) {
  std::size_t changed = 0;
  for (std::size_t k = 0; k < bank.size() / kKeyFunctionSize; ++k) {
    KeyFunction function = EntryAt(bank, k);
    if (!PlaysMacro(function) || function.b1 < deleted) continue;
    if (function.b1 == deleted) {
      function = EntryAt(defaultBlock, k);
    } else {
      --function.b1;
    }
    StoreEntry(bank, k, function);
    ++changed;
  }
  return changed;
}

}  // namespace korva::macro
