#pragma once

// A fresh folder for one test, unique across test processes running side by side.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <unistd.h>

namespace quorvel::test {

inline std::filesystem::path fresh_temp_folder() {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("quorvel_") + info->test_suite_name() + "_" + info->name() +
                       "_" + std::to_string(::getpid());
    for (char& c : name) {
        if (c == '/') {
            c = '_';
        }
    }
    const auto folder = std::filesystem::path(testing::TempDir()) / name;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

// A test of a table's rows, each in a fresh folder `dir` of its own, removed when it ends.
template <typename Case> class RowInFreshFolder : public testing::TestWithParam<Case> {
  protected:
    std::filesystem::path dir = fresh_temp_folder();
    void TearDown() override { std::filesystem::remove_all(dir); }
};

} // namespace quorvel::test
