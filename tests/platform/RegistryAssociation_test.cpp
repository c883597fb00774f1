// The association of a file extension with the program in the Windows
// registry (HKEY_CLASSES_ROOT), run against the real registry: under Wine,
// the throw-away prefix of `make test-windows`. Each test uses names of its
// own and removes them again.
#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "platform/FileAssociation.h"

namespace replidex {
namespace {

std::wstring Wide(const std::string& utf8)
{
    const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// A value of a key below HKEY_CLASSES_ROOT ("" = the default value), or
// nothing when the key or the value is missing.
std::optional<std::wstring> Value(const std::string& key, const std::string& name = {})
{
    wchar_t buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueW(HKEY_CLASSES_ROOT, Wide(key).c_str(), name.empty() ? nullptr : Wide(name).c_str(),
                     RRF_RT_REG_SZ, nullptr, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(buffer);
}

bool KeyExists(const std::string& key)
{
    HKEY handle = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, Wide(key).c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    RegCloseKey(handle);
    return true;
}

void SetValue(const std::string& key, const std::string& name, const std::wstring& text)
{
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, Wide(key).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &handle, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExW(handle, name.empty() ? nullptr : Wide(name).c_str(), 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(handle);
}

class RegistryAssociation : public ::testing::Test {
protected:
    RegistryAssociation()
    {
        static int counter = 0;
        const std::string n = std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
        ext = ".rdxtest" + n;
        cls = "ReplidexTest_File" + n;
    }
    ~RegistryAssociation() override
    {
        for (const std::string& key : {cls + "\\shell\\open\\command", cls + "\\shell\\open", cls + "\\shell",
                                       cls + "\\DefaultIcon", cls, ext + "\\ShellNew", ext})
            RegDeleteKeyW(HKEY_CLASSES_ROOT, Wide(key).c_str());
    }

    std::string ext;
    std::string cls;
    const std::string program = "C:\\Tools\\app.exe";
};

TEST_F(RegistryAssociation, TheClassHoldsTheCommandAndTheIconOfTheProgram)
{
    struct Case {
        std::string program;
        bool withIcon;
    };
    for (const Case& c : {Case{"C:\\Tools\\app.exe", true}, Case{"C:\\ツール\\リプレイ管理.exe", true},
                          Case{"C:\\Tools\\app.exe", false}}) {
        SCOPED_TRACE(c.program);
        ASSERT_EQ(RegisterFileClass(cls, c.program, c.withIcon), 1);
        EXPECT_EQ(Value(cls + "\\shell\\open\\command"), Wide("\"" + c.program + "\" \"%1\""));
        EXPECT_EQ(Value(cls + "\\DefaultIcon"),
                  c.withIcon ? std::optional(Wide(c.program + ",0")) : std::nullopt);
        ASSERT_EQ(UnregisterFileClass(cls), 1);
        EXPECT_FALSE(KeyExists(cls));
    }
    EXPECT_EQ(FileClassCommand(program), "\"C:\\Tools\\app.exe\" \"%1\"");
    EXPECT_EQ(FileClassIcon(program), "C:\\Tools\\app.exe,0");
}

TEST_F(RegistryAssociation, AnExistingClassKeyIsLeftUntouched)
{
    ASSERT_EQ(RegisterFileClass(cls, program, true), 1);
    EXPECT_EQ(RegisterFileClass(cls, "D:\\Moved\\app.exe", true), 1);
    EXPECT_EQ(Value(cls + "\\shell\\open\\command"), L"\"C:\\Tools\\app.exe\" \"%1\"");
    EXPECT_EQ(Value(cls + "\\DefaultIcon"), L"C:\\Tools\\app.exe,0");
}

TEST_F(RegistryAssociation, OverAnotherClassAndBack)
{
    SetValue(ext, "", L"OtherViewer.File");
    EXPECT_EQ(IsExtensionAssociated(ext, cls), 0);
    ASSERT_EQ(AssociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext), Wide(cls));
    EXPECT_EQ(Value(ext, cls), L"OtherViewer.File");
    EXPECT_EQ(IsExtensionAssociated(ext, cls), 1);
    // Twice: the backup is not overwritten with the program's own class.
    ASSERT_EQ(AssociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext, cls), L"OtherViewer.File");

    ASSERT_EQ(UnassociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext), L"OtherViewer.File");
    EXPECT_EQ(Value(ext, cls), std::nullopt);
    EXPECT_TRUE(KeyExists(ext));
    EXPECT_EQ(IsExtensionAssociated(ext, cls), 0);
}

TEST_F(RegistryAssociation, NoneBeforeAndBack)
{
    ASSERT_FALSE(KeyExists(ext));
    EXPECT_EQ(IsExtensionAssociated(ext, cls), 0);
    EXPECT_EQ(UnassociateExtension(ext, cls), 1);   // nothing to undo
    ASSERT_EQ(AssociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext), Wide(cls));
    EXPECT_EQ(Value(ext, cls), L"");
    ASSERT_EQ(AssociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext, cls), L"");
    ASSERT_EQ(UnassociateExtension(ext, cls), 1);
    EXPECT_FALSE(KeyExists(ext));
    EXPECT_EQ(UnregisterFileClass(cls), 1);   // no class: nothing to do
}

TEST_F(RegistryAssociation, UndoingKeepsWhatTheUserSetSince)
{
    // A class the user chose after the association stays.
    SetValue(ext, "", L"OtherViewer.File");
    ASSERT_EQ(AssociateExtension(ext, cls), 1);
    SetValue(ext, "", L"ChosenLater.File");
    ASSERT_EQ(UnassociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext), L"ChosenLater.File");
    EXPECT_EQ(Value(ext, cls), std::nullopt);
}

TEST_F(RegistryAssociation, AnExtensionKeyWithMoreInItIsKept)
{
    // No class before, but a value and a sub-key of the user's: only the
    // class goes.
    SetValue(ext, "Content Type", L"application/x-test");
    SetValue(ext + "\\ShellNew", "NullFile", L"");
    ASSERT_EQ(AssociateExtension(ext, cls), 1);
    ASSERT_EQ(UnassociateExtension(ext, cls), 1);
    EXPECT_TRUE(KeyExists(ext + "\\ShellNew"));
    EXPECT_EQ(Value(ext, "Content Type"), L"application/x-test");
    EXPECT_EQ(Value(ext), std::nullopt);
    EXPECT_EQ(Value(ext, cls), std::nullopt);
}

TEST_F(RegistryAssociation, APreviousClassLongerThanAPathIsKeptWhole)
{
    const std::wstring longClass = L"Long." + std::wstring(400, L'x');
    SetValue(ext, "", longClass);
    ASSERT_EQ(AssociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext, cls), longClass);
    EXPECT_EQ(IsExtensionAssociated(ext, cls), 1);
    ASSERT_EQ(UnassociateExtension(ext, cls), 1);
    EXPECT_EQ(Value(ext), longClass);
}

TEST_F(RegistryAssociation, UnregisteringAClassWithoutItsCommandDeletesNothing)
{
    SetValue(cls + "\\DefaultIcon", "", L"x.exe,0");
    EXPECT_EQ(UnregisterFileClass(cls), 0);
    EXPECT_TRUE(KeyExists(cls + "\\DefaultIcon"));
}

}  // namespace
}  // namespace replidex
