// tests/app/settings_env_fixture.h -- a home of its own for the tests of the
// settings file, the file-type registration and the command line: HOME,
// XDG_CONFIG_HOME and XDG_DATA_HOME point into a fresh temporary folder,
// PATH to an empty folder of programs there (the desktop's tools are
// missing unless a test puts fakes in it), and the program directory, the
// recent files, the internal trace and the current directory are put back
// afterwards.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <sys/stat.h>

#include "commands/nk_recent_files.h"
#include "core/nk_diagnostic.h"
#include "core/nk_program_directory.h"
#include "tests/test_support/test_files.h"

class SettingsEnvTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_Dir = NKTestMakeTempDir("quolin_settings_");
        ASSERT_FALSE(m_Dir.empty());
        m_OldCwd = std::filesystem::current_path();
        std::filesystem::create_directories(Bin());
        SetEnv("HOME", m_Dir + "/home");
        SetEnv("XDG_CONFIG_HOME", ConfigHome());
        SetEnv("XDG_DATA_HOME", DataHome());
        SetEnv("PATH", Bin());
        NKSetProgramDirectory((m_Dir + "/prog").c_str());
        ClearRecentFiles();
        NKResetDiagnostics();
    }
    void TearDown() override
    {
        std::filesystem::current_path(m_OldCwd);
        for (const auto &saved : m_SavedEnv) {
            if (saved.second.first)
                setenv(saved.first.c_str(), saved.second.second.c_str(), 1);
            else
                unsetenv(saved.first.c_str());
        }
        NKSetProgramDirectory(nullptr);
        ClearRecentFiles();
        NKResetDiagnostics();
        EXPECT_TRUE(NKTestRemoveDir(m_Dir));
    }

    // Sets a variable for this test; the old value comes back afterwards.
    void SetEnv(const std::string &name, const std::string &value)
    {
        if (m_SavedEnv.count(name) == 0) {
            const char *pszOld = std::getenv(name.c_str());
            m_SavedEnv[name] = {pszOld != nullptr, pszOld != nullptr ? pszOld : ""};
        }
        setenv(name.c_str(), value.c_str(), 1);
    }
    // Puts an executable shell script into the folder of programs.
    void AddProgram(const std::string &name, const std::string &body)
    {
        std::string path = Bin() + "/" + name;
        ASSERT_TRUE(NKTestWriteText(path, "#!/bin/sh\n" + body));
        chmod(path.c_str(), 0755);
    }

    std::string Bin() const { return m_Dir + "/bin"; }
    std::string ConfigHome() const { return m_Dir + "/config"; }
    std::string DataHome() const { return m_Dir + "/data"; }
    std::string SettingsFile() const { return ConfigHome() + "/Brovik/Quolin Dulm.conf"; }
    std::string MimePackage() const { return DataHome() + "/mime/packages/quolin-dulm.xml"; }
    std::string DesktopEntry() const { return DataHome() + "/applications/quolin-dulm.desktop"; }

    std::string m_Dir;
    std::filesystem::path m_OldCwd;
    std::map<std::string, std::pair<bool, std::string>> m_SavedEnv;
};
