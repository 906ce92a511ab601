#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "sim/sim_group.h"

namespace sondrix {

// The simulated module's option commands: system, sensor, security, log and LFD options, save,
// defaults, emulation mode, ID length, template count, its line speed and the master password.
class CSimConfiguration : public CSimCommandGroup {
  public:
    // Templates the module has room for: the user capacity is this divided by
    // the templates each user keeps.
    static constexpr uint32_t kTemplateSlots = 10000;

    // Gives the module every option it has, at its factory value, keeping
    // values already set.
    explicit CSimConfiguration(CSimModule& module);

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;

    // An option as the module reports it: the line speed and, on the older
    // models, the ID length come from what the module is; nothing for a
    // number it does not have.
    std::optional<uint32_t> Value(uint32_t option) const;
    // The options as the last CMD_SAVE_SYSTEM_OPTIONS stored them.
    const std::map<uint32_t, uint32_t>& SavedOptions() const { return m_saved; }
    // Empty when no master password is set.
    const std::vector<uint8_t>& MasterPassword() const { return m_masterPassword; }

  private:
    void OnGetSystemOption(const CPacket& request, std::vector<SSimReply>& out);
    void OnSetSystemOption(const CPacket& request, std::vector<SSimReply>& out);
    // The result of storing `value` in `option`; RESULT_SUCCESS when stored.
    uint32_t Store(uint32_t option, uint32_t value);
    // Whether `option` may be set to `value` by number.
    static bool Accepts(uint32_t option, uint32_t value);
    uint32_t SetEmulationMode(uint32_t mode);
    uint32_t SetIdLength(uint32_t length);
    uint32_t SetTemplateCount(uint32_t count);
    void SetLineSpeed(uint32_t code);
    void OnSetPacked(const CPacket& request, std::vector<SSimReply>& out);
    void OnSetLatentAdaptive(const CPacket& request, std::vector<SSimReply>& out);
    void OnGetLatentAdaptive(const CPacket& request, std::vector<SSimReply>& out);
    void OnSetMasterPassword(const CPacket& request, std::vector<SSimReply>& out);
    void RestoreDefaults();
    uint32_t Emulation() const;
    // Series 1 to 3: the module emulates nothing and keeps its own ID length.
    bool OlderModel() const;

    std::map<uint32_t, uint32_t> m_saved;
    std::vector<uint8_t> m_masterPassword;
    uint32_t m_nativeIdLength = 0;  // the ID length while an emulation lasts
};

}  // namespace sondrix
