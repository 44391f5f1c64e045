// A test with a folder of its own in the system's temporary folder, made
// before it and removed after it, named after the suite and the test so that
// tests running at once never share one.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace lumaveil::test {

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override {
        const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
        const ::testing::TestInfo& test = *run.current_test_info();
        folder_ = std::filesystem::temp_directory_path() /
                  ("lumaveil-" + std::string(test.test_suite_name()) + "-" +
                   std::to_string(run.random_seed()) + "-" + test.name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path folder_;
};

}  // namespace lumaveil::test
