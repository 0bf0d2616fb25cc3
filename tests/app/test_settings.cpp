// tests/app/test_settings.cpp -- the settings file and the file-type
// registration: a first run, stores that lack values, the round trip of
// placement and recent files, a store that cannot be written, the MIME
// package and desktop entry, and how the association treats a type that
// another program already opens.
#include <QSettings>
#include <QString>
#include <string>
#include <vector>

#include "app/nk_settings.h"
#include "tests/app/settings_env_fixture.h"

namespace {

class Settings : public SettingsEnvTest {
protected:
    // Reads into a placement that starts at the defaults.
    bool Read(NKWindowPlacement *pOut)
    {
        return NKReadInformationFromRegistry(&pOut->iX, &pOut->iY, &pOut->iWidth, &pOut->iHeight,
                                             &pOut->bMaximized);
    }
    // Stores the values as given in group "6.2" (a key without a value is
    // left out), and the recent-file subgroup when bRecent.
    void Store(const std::vector<std::pair<const char *, QString>> &values, bool bRecent)
    {
        QSettings settings(QString::fromStdString(SettingsFile()), QSettings::IniFormat);
        settings.beginGroup("6.2");
        for (const auto &value : values) settings.setValue(value.first, value.second);
        for (const char *pszKey : {"File1", "File2", "File4"}) {
            if (bRecent) settings.setValue(QString("Recent File List/") + pszKey, pszKey);
        }
        settings.endGroup();
    }
    // Fakes of the desktop's tools that log their calls; xdg-mime answers a
    // query from the "type=entry" lines of the defaults file.
    void AddFakeTools(const std::string &defaults)
    {
        NKTestWriteText(m_Dir + "/defaults", defaults);
        SetEnv("FAKE_LOG", m_Dir + "/tools.log");
        SetEnv("FAKE_DEFAULTS", m_Dir + "/defaults");
        AddProgram("xdg-mime", "echo \"xdg-mime $*\" >> \"$FAKE_LOG\"\n"
                               "if [ \"$1\" = query ]; then\n"
                               "  while IFS='=' read -r t a; do\n"
                               "    if [ \"$t\" = \"$3\" ]; then echo \"$a\"; fi\n"
                               "  done < \"$FAKE_DEFAULTS\"\n"
                               "fi\n");
        AddProgram("update-mime-database", "echo \"update-mime-database $*\" >> \"$FAKE_LOG\"\n");
    }
    std::string Log() { return NKTestReadFile(m_Dir + "/tools.log"); }
    static bool Has(const std::string &text, const std::string &part)
    {
        return text.find(part) != std::string::npos;
    }
};

void ExpectDefaults(const NKWindowPlacement &p)
{
    NKWindowPlacement d;
    EXPECT_EQ(p.iX, d.iX);
    EXPECT_EQ(p.iY, d.iY);
    EXPECT_EQ(p.iWidth, 810);
    EXPECT_EQ(p.iHeight, 600);
    EXPECT_EQ(p.bMaximized, 0);
}

TEST_F(Settings, FirstRunRegistersTheTypesAndKeepsTheDefaults)
{
    NKWindowPlacement placement;
    EXPECT_TRUE(Read(&placement));
    ExpectDefaults(placement);
    EXPECT_EQ(NKGetDiagnosticCount(), 0) << NKGetLastDiagnostic();  // tools missing: no word

    std::string xml = NKTestReadFile(MimePackage());
    EXPECT_EQ(xml.find("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<mime-info xmlns="), 0u);
    std::vector<std::string> parts = {
        "<mime-type type=\"application/x-nkquolin-geofile\">\n"
        "    <comment>Quolin Geometry File</comment>\n    <glob pattern=\"*.geo\"/>",
        "<mime-type type=\"application/x-nkquolin-resfile\">\n"
        "    <comment>Quolin Results File</comment>\n    <glob pattern=\"*.qlr\"/>\n"
        "    <glob pattern=\"*.res\"/>",
        "<comment>Quolin NKF File</comment>\n    <glob pattern=\"*.nkf\"/>",
        "<glob pattern=\"*.vec\"/>\n    <glob pattern=\"*.dis\"/>",
        "<comment>Quolin Attributes File</comment>\n    <glob pattern=\"*.atr\"/>"};
    for (const std::string &part : parts) EXPECT_TRUE(Has(xml, part)) << part;
    size_t iTypes = 0;
    for (size_t i = xml.find("<mime-type "); i != std::string::npos;
         i = xml.find("<mime-type ", i + 1))
        iTypes++;
    EXPECT_EQ(iTypes, 10u);

    std::string entry = NKTestReadFile(DesktopEntry());
    EXPECT_TRUE(Has(entry, "\nExec=\"" + m_Dir + "/prog/quolin\" %f\n")) << entry;
    EXPECT_TRUE(Has(entry, "MimeType=application/x-nkquolin-geofile;application/x-nkquolin-cmdfile;"
                           "application/x-nkquolin-resfile;"));
    EXPECT_TRUE(Has(entry, "application/x-nkquolin-atrfile;\n"));
}

TEST_F(Settings, StoresThatLackAValueKeepTheDefaults)
{
    struct Case {
        std::vector<std::pair<const char *, QString>> values;
        bool bRecent;
        const char *pszTrace;  // null: nothing traced
        uint8_t bMaximized;
    };
    const Case cases[] = {
        {{{"Window X-Pos", "5"}, {"Window Y-Pos", "6"}},
         true,
         "Error getting value for dwWinWidth",
         0},
        {{{"Window X-Pos", "5"},
          {"Window Y-Pos", "6"},
          {"Window Width", "7"},
          {"Window Height", "8"}},
         true,
         nullptr,
         0},
        {{{"Window X-Pos", "left"}}, true, "Error getting value for iWindowXPos", 0},
        {{{"Window X-Pos", "5"}, {"Window Width", "7"}},
         true,
         "Error getting value for iWindowYPos",
         0},
        // The maximised state is taken before the recent files are missed.
        {{{"Window X-Pos", "5"},
          {"Window Y-Pos", "6"},
          {"Window Width", "7"},
          {"Window Height", "8"},
          {"Maximized", "1"}},
         false,
         "Error opening MRU key",
         1},
    };
    for (const Case &c : cases) {
        std::filesystem::remove(SettingsFile());
        NKResetDiagnostics();
        Store(c.values, c.bRecent);
        NKWindowPlacement placement;
        EXPECT_FALSE(Read(&placement));
        EXPECT_EQ(placement.bMaximized, c.bMaximized);
        placement.bMaximized = 0;
        ExpectDefaults(placement);
        EXPECT_EQ(NKGetDiagnosticCount(), c.pszTrace != nullptr ? 1 : 0);
        if (c.pszTrace != nullptr) {
            EXPECT_STREQ(NKGetLastDiagnostic(), c.pszTrace);
        }
        EXPECT_FALSE(std::filesystem::exists(MimePackage())) << "not a first run";
    }
}

TEST_F(Settings, PlacementAndRecentFilesComeBackAsWritten)
{
    const char *apszFiles[4] = {"/m/a.nkf", "/m/with blank.geo", "", "/m/\xc3\xa4=1;x.qlc"};
    for (int i = 0; i < 4; i++) NKSetRecentFile(i, apszFiles[i]);
    NKWindowPlacement written;
    written.iX = 10;
    written.iY = 20;
    written.iWidth = 800;
    written.iHeight = 500;
    ASSERT_TRUE(NKWriteInformationToRegistry(written));

    QSettings check(QString::fromStdString(SettingsFile()), QSettings::IniFormat);
    EXPECT_EQ(check.childGroups(), QStringList{"6.2"});
    check.beginGroup("6.2");
    EXPECT_EQ(check.value("Window X-Pos").toInt(), 10);
    EXPECT_EQ(check.value("Window Height").toInt(), 500);
    EXPECT_EQ(check.value("Maximized").toInt(), 0);
    EXPECT_TRUE(check.contains("Recent File List/File3"));
    EXPECT_EQ(check.value("Recent File List/File3").toString(), "");

    for (uint8_t bMaximized : {uint8_t(0), uint8_t(1)}) {
        written.bMaximized = bMaximized;
        ASSERT_TRUE(NKWriteInformationToRegistry(written));
        ClearRecentFiles();
        NKSetRecentFile(2, "stale");
        NKWindowPlacement read;
        ASSERT_TRUE(Read(&read));
        EXPECT_EQ(read.iX, 10);
        EXPECT_EQ(read.iY, 20);
        EXPECT_EQ(read.iWidth, 800);
        EXPECT_EQ(read.iHeight, 500);
        EXPECT_EQ(read.bMaximized, bMaximized);
        for (int i = 0; i < 4; i++) EXPECT_EQ(NKGetRecentFile(i), apszFiles[i]) << i;
    }
    EXPECT_EQ(NKGetDiagnosticCount(), 0);
}

TEST_F(Settings, AMissingRecentEntryIsTracedAndTheOthersRead)
{
    Store({{"Window X-Pos", "1"},
           {"Window Y-Pos", "2"},
           {"Window Width", "3"},
           {"Window Height", "4"},
           {"Maximized", "0"}},
          true);
    NKSetRecentFile(2, "kept");
    NKWindowPlacement read;
    EXPECT_TRUE(Read(&read));
    EXPECT_EQ(read.iHeight, 4);
    EXPECT_EQ(NKGetRecentFile(0), "File1");
    EXPECT_EQ(NKGetRecentFile(2), "kept");
    EXPECT_EQ(NKGetRecentFile(3), "File4");
    EXPECT_STREQ(NKGetLastDiagnostic(), "Error getting MRU entry");
}

TEST_F(Settings, AStoreThatCannotBeWrittenIsTraced)
{
    ASSERT_TRUE(NKTestWriteText(m_Dir + "/plainfile", "x"));
    SetEnv("XDG_CONFIG_HOME", m_Dir + "/plainfile/config");
    EXPECT_FALSE(NKWriteInformationToRegistry(NKWindowPlacement()));
    EXPECT_STREQ(NKGetLastDiagnostic(), "Error creating program key");
    EXPECT_STREQ(NKGetLastDiagnosticFunction(), "NKWriteInformationToRegistry");
}

TEST_F(Settings, AnotherProgramsAssociationStaysUnlessForced)
{
    AddFakeTools("application/x-nkquolin-geofile=other.desktop\n");
    EXPECT_TRUE(RegisterFileTypes((m_Dir + "/prog/").c_str(), false, false));
    std::string log = Log();
    EXPECT_TRUE(Has(log, "xdg-mime query default application/x-nkquolin-geofile\n"));
    EXPECT_FALSE(Has(log, "xdg-mime default quolin-dulm.desktop application/x-nkquolin-geofile"));
    EXPECT_TRUE(Has(log, "xdg-mime default quolin-dulm.desktop application/x-nkquolin-nkffile\n"));
    EXPECT_TRUE(Has(log, "update-mime-database " + DataHome() + "/mime\n"));

    std::filesystem::remove(m_Dir + "/tools.log");
    EXPECT_TRUE(RegisterFileTypes((m_Dir + "/prog/").c_str(), true, true));
    log = Log();
    EXPECT_FALSE(Has(log, "query")) << log;
    EXPECT_TRUE(Has(log, "xdg-mime default quolin-dulm.desktop application/x-nkquolin-geofile\n"));
    EXPECT_TRUE(Has(NKTestReadFile(DesktopEntry()), " %f -software\n"));
    EXPECT_EQ(NKGetDiagnosticCount(), 0) << NKGetLastDiagnostic();
}

TEST_F(Settings, DesktopEntryQuotesTheProgramPath)
{
    struct Case {
        const char *pszDir;
        const char *pszExec;
    };
    const Case cases[] = {{"/opt/q d/", "Exec=\"/opt/q d/quolin\" %f\n"},
                          {"/opt/$x`y/", "Exec=\"/opt/\\\\$x\\\\`y/quolin\" %f\n"},
                          {"/opt/a\\b/", "Exec=\"/opt/a\\\\\\\\b/quolin\" %f\n"},
                          {"/opt/100%/", "Exec=\"/opt/100%%/quolin\" %f\n"}};
    for (const Case &c : cases) {
        RegisterFileTypes(c.pszDir, false, false);
        EXPECT_TRUE(Has(NKTestReadFile(DesktopEntry()), c.pszExec)) << c.pszExec;
    }
}

// A run from a build keeps its entry out of the applications menu; an entry
// the desktop shows already, the user's or a system one (an installation's),
// stays shown, through every later registration.
TEST_F(Settings, RegistrationNeverHidesAShownEntry)
{
    const std::string system = m_Dir + "/system";
    SetEnv("XDG_DATA_DIRS", system);
    const std::string shown = "[Desktop Entry]\nType=Application\nName=Quolin Dulm\n";
    const std::string hidden = shown + "NoDisplay=true\n";
    struct Case {
        const char *pszWhat;
        std::string user, installed;  // empty: no such entry
        bool bHidden;
    };
    const Case cases[] = {{"no entry before", "", "", true},
                          {"the user's hidden entry", hidden, "", true},
                          {"an entry installed into the user's folder", shown, "", false},
                          {"a system entry shown", "", shown, false},
                          {"a system entry hidden", "", hidden, true}};
    for (const Case &c : cases) {
        std::filesystem::remove_all(DataHome());
        std::filesystem::remove_all(system);
        std::filesystem::create_directories(DataHome() + "/applications");
        std::filesystem::create_directories(system + "/applications");
        if (!c.user.empty()) {
            ASSERT_TRUE(NKTestWriteText(DesktopEntry(), c.user));
        }
        if (!c.installed.empty()) {
            ASSERT_TRUE(NKTestWriteText(system + "/applications/quolin-dulm.desktop", c.installed));
        }
        for (bool bForce : {false, true}) {  // the first run, then forceregisterfiles
            ASSERT_TRUE(RegisterFileTypes((m_Dir + "/prog/").c_str(), bForce, false));
            const std::string entry = NKTestReadFile(DesktopEntry());
            EXPECT_TRUE(Has(entry, "\nExec=\"" + m_Dir + "/prog/quolin\" %f\n")) << c.pszWhat;
            EXPECT_EQ(Has(entry, "\nNoDisplay=true\n"), c.bHidden) << c.pszWhat << "\n" << entry;
        }
    }
}

TEST_F(Settings, CommonControlsAreTheNewest) { EXPECT_EQ(NKGetCommCtrlVersion(), 3); }

}  // namespace
