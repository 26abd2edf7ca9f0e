#pragma once

#include <string>

namespace quorvel::test {

// Names each row of a parameterised test by its `name` field.
inline constexpr auto row_name = [](const auto& row) { return std::string(row.param.name); };

} // namespace quorvel::test
