#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "main_dialog.h"
#include "platform_headless.h"
#include "resource_ids.h"

// A main dialog opened on the headless platform, as start-up opens it, for a test to drive.
class MainDialogTest : public ::testing::Test {
  protected:
    HeadlessPlatform platform;
    MainDialog dialog{platform};
    HeadlessWindow& window = platform.open(dialog);

    // A folder of the test's own, removed afterwards.
    std::filesystem::path folder() {
        if (folder_.empty()) {
            const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
            folder_ = std::filesystem::temp_directory_path() /
                      ("vantrel-ui-" + std::string(info->test_suite_name()) + "-" + info->name());
            std::filesystem::remove_all(folder_);
            std::filesystem::create_directories(folder_);
        }
        return folder_;
    }
    std::string writeFile(const std::string& name, const std::string& content) {
        std::filesystem::path path = folder() / name;
        std::ofstream(path, std::ios::binary) << content;
        return path.string();
    }
    static std::string readFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    void TearDown() override {
        if (!folder_.empty()) std::filesystem::remove_all(folder_);
    }

    // The texts of the message boxes shown so far.
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& box : platform.messageBoxes()) texts.push_back(box.text);
        return texts;
    }

  private:
    std::filesystem::path folder_;
};
