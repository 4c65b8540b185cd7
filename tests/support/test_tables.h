#pragma once

// What every table of test rows shares: rows print as their names in failure messages, and
// each row's test is named by it.
//
// A test file brings the printer in with `using tables::PrintTo;` in the namespace of its rows:
// GoogleTest's printer looks PrintTo up in the namespace of the value it prints, and finds it
// there before its own byte dump.

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace tables {

template <typename Row>
requires requires(const Row& row, std::ostream& out) { out << row.name; }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

// The name generator of INSTANTIATE_TEST_SUITE_P for rows with a `name` member.
inline constexpr auto rowName = [](const auto& info) { return std::string(info.param.name); };

// The name generator for rows named by another member, or for plain names as the rows.
template <typename Row, typename Member>
auto nameBy(Member Row::*member)
{
    return [member](const testing::TestParamInfo<Row>& info) {
        return std::string(info.param.*member);
    };
}
inline constexpr auto paramName = [](const auto& info) { return std::string(info.param); };

} // namespace tables
