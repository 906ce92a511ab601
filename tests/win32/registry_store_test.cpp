// The window's choices between runs, in the registry under the keys the
// Linux settings file uses.
#include "win32/registry_store.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/win32_text.h"
#include "platform/win32_gui_api.h"

namespace sondrix {
namespace {

std::string Raw(const wchar_t* key, const wchar_t* value) {
    wchar_t text[256] = {};
    DWORD size = sizeof text;
    if (::RegGetValueW(HKEY_CURRENT_USER, key, value, RRF_RT_REG_SZ, nullptr, text, &size) !=
        ERROR_SUCCESS) {
        return "(none)";
    }
    return Utf8FromWide(text);
}

TEST(RegistryStore, KeepsTheChoicesUnderTheKeysOfLinuxAndForgetsThemOnReset) {
    {
        CRegistryStore store(true);
        SDeskChoices choices;
        choices.portName = "COM12";
        choices.baudRate = 57600;
        choices.tracerMode = 1;
        WriteDeskChoices(store, choices);
        store.SetValue("folders/open-rec", "C:\\Daten Ω\\指纹");
    }
    EXPECT_EQ(Raw(L"Software\\Sondrix\\port", L"name"), "COM12");
    EXPECT_EQ(Raw(L"Software\\Sondrix\\port", L"baud"), "57600");
    EXPECT_EQ(Raw(L"Software\\Sondrix\\tracer", L"mode"), "1");
    EXPECT_EQ(Raw(L"Software\\Sondrix\\folders", L"open-rec"), "C:\\Daten Ω\\指纹");
    const SDeskChoices back = ReadDeskChoices(CRegistryStore(false));
    EXPECT_EQ(back.portName, "COM12");
    EXPECT_EQ(back.baudRate, 57600u);
    EXPECT_EQ(back.tracerMode, 1);
    EXPECT_EQ(CRegistryStore(false).Value("folders/open-rec"), "C:\\Daten Ω\\指纹");

    const SDeskChoices reset = ReadDeskChoices(CRegistryStore(true));
    EXPECT_EQ(reset.portName, "");
    EXPECT_EQ(reset.baudRate, 0u);
    EXPECT_EQ(Raw(L"Software\\Sondrix\\port", L"name"), "(none)");
}

}  // namespace
}  // namespace sondrix
