// A new simulated machine in a temporary folder for one test, removed after
// it, with the folders of Windows created on the host side.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "VnSimPlatform.h"

class SimTestMachine {
public:
    SimTestMachine() {
        static std::atomic<int> number{0};
        folder_ = (std::filesystem::temp_directory_path() /
                   ("vnsim-" + std::to_string(getpid()) + "-" + std::to_string(++number)))
                      .string();
        std::filesystem::remove_all(folder_);
        std::string error;
        machine_ = VnSimPlatform::OpenMachine(folder_, error);
        EXPECT_TRUE(machine_) << error;
        for (const char* folder : {"drives/C/Windows/System32", "drives/C/Windows/SysWOW64"})
            std::filesystem::create_directories(Host(folder));
    }
    ~SimTestMachine() {
        machine_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    SimTestMachine(const SimTestMachine&) = delete;
    SimTestMachine& operator=(const SimTestMachine&) = delete;

    VnSimPlatform& Machine() { return *machine_; }
    VnSimFacts& Facts() { return machine_->Facts(); }
    VnSimFiles& Files() { return machine_->SimFiles(); }
    const std::string& Folder() const { return folder_; }
    // A path inside the machine folder, on the host side.
    std::string Host(const std::string& relative) const { return folder_ + "/" + relative; }
    bool HostExists(const std::string& relative) const { return std::filesystem::exists(Host(relative)); }
    std::string HostText(const std::string& relative) const {
        std::ifstream in(Host(relative), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

private:
    std::string folder_;
    std::unique_ptr<VnSimPlatform> machine_;
};
