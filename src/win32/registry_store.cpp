#include "win32/registry_store.h"

#include <cstdio>
#include <vector>

#include "platform/win32_text.h"
#include "platform/win32_gui_api.h"

namespace sondrix {

namespace {

// "port/name" is the value "name" of the key Software\Sondrix\port.
struct SRegistryName {
    std::wstring key;
    std::wstring value;
};

SRegistryName Split(const std::string& key) {
    const size_t slash = key.rfind('/');
    std::wstring path = CRegistryStore::kRoot;
    if (slash != std::string::npos) {
        std::string group = key.substr(0, slash);
        for (char& c : group) {
            c = c == '/' ? '\\' : c;
        }
        path += L"\\" + WideFromUtf8(group);
    }
    return {path, WideFromUtf8(slash == std::string::npos ? key : key.substr(slash + 1))};
}

}  // namespace

CRegistryStore::CRegistryStore(bool reset) {
    if (reset) {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
    }
}

std::string CRegistryStore::Value(const std::string& key) const {
    const SRegistryName name = Split(key);
    DWORD type = 0;
    DWORD size = 0;
    if (::RegGetValueW(HKEY_CURRENT_USER, name.key.c_str(), name.value.c_str(), RRF_RT_REG_SZ,
                       &type, nullptr, &size) != ERROR_SUCCESS ||
        size < sizeof(wchar_t)) {
        return {};
    }
    std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (::RegGetValueW(HKEY_CURRENT_USER, name.key.c_str(), name.value.c_str(), RRF_RT_REG_SZ,
                       &type, text.data(), &size) != ERROR_SUCCESS) {
        return {};
    }
    return Utf8FromWide(text.data());
}

void CRegistryStore::SetValue(const std::string& key, const std::string& value) {
    const SRegistryName name = Split(key);
    const std::wstring text = WideFromUtf8(value);
    const LSTATUS status =
        ::RegSetKeyValueW(HKEY_CURRENT_USER, name.key.c_str(), name.value.c_str(), REG_SZ,
                          text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    if (status != ERROR_SUCCESS) {
        std::fprintf(stderr, "sondrix: cannot keep %s in the registry: %s\n", key.c_str(),
                     SystemErrorText(static_cast<unsigned long>(status)).c_str());
    }
}

void CRegistryStore::Remove(const std::string& key) {
    const SRegistryName name = Split(key);
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, name.key.c_str(), name.value.c_str());
}

}  // namespace sondrix
