#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "main_dialog.h"
#include "platform_headless.h"
#include "resource_ids.h"
#include "temp_folder.h"

// A main dialog opened on the headless platform, as start-up opens it, for a test to drive.
class MainDialogTest : public ::testing::Test {
  protected:
    HeadlessPlatform platform;
    MainDialog dialog{platform};
    HeadlessWindow& window = platform.open(dialog);

    TempFolder temp;  // the test's own folder, removed afterwards

    std::filesystem::path folder() const { return temp.path(""); }
    std::string writeFile(const std::string& name, const std::string& content) const {
        return temp.write(name, content);
    }

    // The texts of the message boxes shown so far.
    std::vector<std::string> messages() const {
        std::vector<std::string> texts;
        for (const auto& box : platform.messageBoxes()) texts.push_back(box.text);
        return texts;
    }
};
