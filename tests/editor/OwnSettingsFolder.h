#pragma once
// A test whose user settings live in a folder of its own, made for it and removed after it, so
// that no test reads or writes the real user's or another test's.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

class OwnSettingsFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char folder[] = "/tmp/tarn-settings.XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        configHome = folder;
        setenv("XDG_CONFIG_HOME", configHome.c_str(), 1);
    }
    void TearDown() override {
        std::remove(settingsFile().c_str());
        rmdir((configHome + "/tarn").c_str());
        rmdir(configHome.c_str());
        unsetenv("XDG_CONFIG_HOME");
    }
    std::string settingsFile() const { return configHome + "/tarn/compressor.conf"; }

    std::string configHome;
};
