#pragma once
// Table rows of the parameterised tests carry a `name`. CaseName names each
// generated test after its row, and PrintTo shows the row by that name
// instead of a byte dump (test files bring it in with `using
// testing::PrintTo;` so that argument-dependent lookup finds it).

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace velix::platform::testing {

struct CaseName {
  template <typename Row>
  std::string operator()(const ::testing::TestParamInfo<Row>& row) const {
    return row.param.name;
  }
};

template <typename Row>
requires requires(const Row& row) { std::string_view(row.name); }
void PrintTo(const Row& row, std::ostream* out) { *out << row.name; }

}  // namespace velix::platform::testing
