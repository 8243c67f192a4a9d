#pragma once
// Keys and buttons that play a macro name it by its number, the macro's position in the index
// (b1 of key functions 0x70 and 0x71). Deleting macro d moves every later macro down by one, so
// the key banks the keyboard and mouse images hold are kept consistent with it: a key playing d
// gets its factory function back (entry k of the default block), a key playing a later macro
// plays the same macro under its new number. Keys of any other type are never touched, whatever
// their b1 holds.

#include <cstdint>
#include <span>

namespace korva::macro {

// True when an entry of `bank` plays macro `number`.
bool BankPlaysMacro(std::span<const std::uint8_t> bank, std::uint8_t number);

// Applies the deletion of macro `deleted` to one bank; returns the number of entries changed.
// Entries past the end of `defaultBlock` go back to {0, 0, 0}.
std::size_t ForgetMacroInBank(std::span<std::uint8_t> bank, std::span<const std::uint8_t> defaultBlock,
                              std::uint8_t deleted);

}  // namespace korva::macro
