// The INI bag and the registry reader against the system's own profile and registry functions:
// a file written by one side must read the same on the other.
#include "settings/file_io.h"
#include "settings/ini_bag.h"
#include "settings/registry.h"

#include "app/win32_api.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <string>

using namespace nimbrel;
using namespace nimbrel_test;

namespace {

std::string profile_get(const std::string& file, const char* section, const char* key) {
    char buffer[1024];
    GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof buffer, file.c_str());
    return buffer;
}

void profile_put(const std::string& file, const char* section, const char* key, const char* value) {
    ASSERT_TRUE(WritePrivateProfileStringA(section, key, value, file.c_str()));
}

// Flushes the system's cached copy of a profile file, so the next call reads the disk.
void profile_flush(const std::string& file) {
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, file.c_str());
}

} // namespace

TEST(Win32Ini, BagAndProfileFunctionsReadEachOthersFiles) {
    Temp_folder t;
    const std::string ini = t.file("c.ini");
    write_text(ini,
               "; comment\n [ Nimbrel_start ] \n  Min_time =  12  \nMax_time=34\r\nForeign=x\r\n"
               "\r\n[Other]\r\nMin_time=56\r\n");
    TBag bag;
    bag.Set_ini_file(ini);
    bag.IniSect = "NIMBREL_START";
    bag.Load();
    EXPECT_EQ(bag.Count(), 3);
    for (const char* key : {"Min_time", "Max_time", "Foreign"})
        EXPECT_EQ(bag.Get(key), profile_get(ini, "Nimbrel_start", key)) << key;
    EXPECT_EQ(bag.Get("Min_time"), "12");
    profile_flush(ini);

    bag.Write_integer("Min_time", 45);
    bag.Write_bool("Start_auto_cycling", false);
    bag.Write_string("Settings_file", "My settings.cmp");
    ASSERT_TRUE(bag.Save());
    EXPECT_EQ(profile_get(ini, "Nimbrel_start", "Min_time"), "45");
    EXPECT_EQ(profile_get(ini, "nimbrel_START", "start_auto_cycling"), "0");
    EXPECT_EQ(profile_get(ini, "Nimbrel_start", "Settings_file"), "My settings.cmp");
    EXPECT_EQ(profile_get(ini, "Nimbrel_start", "Foreign"), "x");
    EXPECT_EQ(profile_get(ini, "Other", "Min_time"), "56");

    profile_put(ini, "Nimbrel_start", "Max_time", "  90  ");
    profile_flush(ini);
    bag.Load();
    EXPECT_EQ(bag.Read_integer("Max_time", 60), 90);
    EXPECT_EQ(bag.Read_integer("Min_time", 30), 45);
}

TEST(Win32Files, AtomicReplaceOverAnExistingFile) {
    Temp_folder t;
    const std::string path = t.file("s.txt");
    const Bytes first{'o', 'l', 'd'}, second{'n', 'e', 'w', '!'};
    ASSERT_TRUE(write_file_atomically(path, first));
    ASSERT_TRUE(write_file_atomically(path, second));
    EXPECT_EQ(read_text(path), "new!");

    // A folder standing where the file should go: the write fails and says so.
    ASSERT_TRUE(CreateDirectoryA(t.file("taken").c_str(), nullptr));
    std::string error;
    EXPECT_FALSE(write_file_atomically(t.file("taken"), first, &error));
    EXPECT_FALSE(error.empty());
    RemoveDirectoryA(t.file("taken").c_str());
    EXPECT_EQ(executable_folder().back(), '\\');
}

class Win32RegistryReader : public ::testing::Test {
  protected:
    const std::string key = "Software\\Nimbrel test " + std::to_string(GetCurrentProcessId());
    void TearDown() override { RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()); }
    void set(const void* data, DWORD size, DWORD type = REG_SZ) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, "Directory", 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
};

TEST_F(Win32RegistryReader, ReadsTheDirectoryValue) {
    EXPECT_EQ(system_registry(key)->Read_directory(), std::nullopt); // no key

    const char dir[] = "C:\\Nimbrel\\";
    set(dir, sizeof dir);
    EXPECT_EQ(system_registry(key)->Read_directory(), std::string("C:\\Nimbrel\\"));

    const char two[] = "C:\\A\0junk"; // the text ends at the first NUL, whatever the type
    set(two, sizeof two, REG_BINARY);
    EXPECT_EQ(system_registry(key)->Read_directory(), std::string("C:\\A"));

    // The 1024-byte buffer holds 1023 characters and the NUL; one more and the value is not
    // found at all (never cut short to a different folder).
    const struct {
        std::size_t length;
        bool found;
    } lengths[] = {{1023, true}, {1024, false}, {1100, false}};
    for (const auto& l : lengths) {
        const std::string value = "C:\\" + std::string(l.length - 3, 'x');
        set(value.c_str(), static_cast<DWORD>(value.size() + 1));
        EXPECT_EQ(system_registry(key)->Read_directory(),
                  l.found ? std::optional<std::string>(value) : std::nullopt)
            << l.length;
    }
}
