#pragma once

#include <ostream>
#include <string>

namespace quorvel::test {

// Names each row of a parameterised test by its `name` field.
inline constexpr auto row_name = [](const auto& row) { return std::string(row.param.name); };

// Prints a row as its name, so test listings do not dump its bytes. A test file brings it
// in with `using test::PrintTo;` beside its rows.
template <class Row>
requires requires(const Row& r) {
    r.name;
}
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

} // namespace quorvel::test
