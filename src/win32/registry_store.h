#pragma once

#include <string>

#include "app/desk_choices.h"

namespace sondrix {

// What the window keeps between runs, in the registry under
// HKCU\Software\Sondrix with the keys of the Linux settings file: "port/name"
// is the value "name" of the key "port". Values are text. A value that
// cannot be read is taken as missing; one that cannot be written costs one
// line on standard error, never the run.
class CRegistryStore final : public IDeskStore {
  public:
    static constexpr const wchar_t* kRoot = L"Software\\Sondrix";

    // With `reset`, everything kept before is forgotten.
    explicit CRegistryStore(bool reset);

    std::string Value(const std::string& key) const override;
    void SetValue(const std::string& key, const std::string& value) override;
    void Remove(const std::string& key) override;
};

}  // namespace sondrix
