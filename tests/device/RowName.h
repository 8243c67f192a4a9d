#pragma once
// Table rows print as their name in test output and CTest listings, instead of as a byte dump.
// A test file brings it in with `using test::PrintTo;` inside the namespace of its rows.

#include <ostream>

namespace korva::device::test {

template <typename Row>
requires requires(const Row& row) {
  row.name;
}
void PrintTo(const Row& row, std::ostream* os) {
  *os << row.name;
}

}  // namespace korva::device::test
