#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "sim/finger_model.h"
#include "sim/sim_group.h"
#include "sim/sim_users.h"

namespace sondrix {

// The simulated module's verification, identification, instant matching,
// templates, Auto-On, master mode, registration and modification.
//
// Master mode: a module that holds no master (no user of master authority
// and no master password) lets anyone in with the plain request, as a module
// fresh from the factory must be configurable; otherwise the plain request is
// answered with a demand for a credential (result 2, param2 3), and the
// credential requests are checked against the masters and the master
// password. Registration and modification need master mode.
//
// Unknown IDs are answered with result 5 ("Invalid ID!!!"); a finger that
// does not match with result 2; an empty sensor with result 7.
class CSimMatching : public CSimCommandGroup {
  public:
    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;

    bool MasterMode() const { return m_masterMode; }
    void SetMasterMode(bool on) { m_masterMode = on; }
    bool AutoOn() const { return m_autoOn; }
    // While Auto-On runs, report the template of each finger instead of the
    // user it belongs to, as some firmware does.
    void SetAutoOnSendsTemplate(bool on) { m_autoOnSendsTemplate = on; }
    // The capture and 1:N times (ms) that series 4 and 5 modules report with
    // an Auto-On identification.
    void SetAutoOnTiming(uint16_t captureMs, uint16_t matchMs) {
        m_autoOnTiming = (uint32_t{captureMs} << 16) | matchMs;
    }

    // A finger was laid on the sensor: with Auto-On the module identifies it
    // and reports the outcome of its own accord.
    void OnFingerPlaced(std::vector<SSimReply>& out);

    // Bytes of the user ID field the module reads and writes (its
    // terminating zero included): 11 on series 1 and 3 and in HLX-SA
    // emulation, 10 on series 2 and in HLX-SB emulation, else the ID-length
    // option + 1.
    size_t IdFieldLength() const;
    // Series 1 to 3 and both emulation modes: the older protocol.
    bool LegacyProtocol() const;
    // The module's templates: 400 bytes on series 2 and in HLX-SB emulation, else 404.
    size_t TemplateSize() const;

  private:
    // A registration in progress, by CMD_REGISTER or CMD_REGISTER_STEP.
    struct SRegistration {
        SSimUser user;
        std::map<uint8_t, SFinger> fingers;  // by finger index, scanned twice
        std::optional<SFinger> firstScan;    // the scan waiting for its second
        uint8_t scanFinger = 0;              // the finger index of that scan
        int scans = 0;                       // CMD_REGISTER: scans taken so far
    };
    // A template modification waiting for its second request.
    struct SModification {
        uint32_t code = 0;
        std::vector<uint8_t> id;
        SFinger finger;
    };

    void OnVerify(const CPacket& request, std::vector<SSimReply>& out);
    void OnIdentify(const CPacket& request, std::vector<SSimReply>& out);
    void OnInstantMatch(const CPacket& request, std::vector<SSimReply>& out);
    void OnGetTemplate(const CPacket& request, std::vector<SSimReply>& out);
    void OnCancel(std::vector<SSimReply>& out);
    void OnInstantVerify(const CPacket& request, std::vector<SSimReply>& out);
    void OnInstantIdentify(const CPacket& request, std::vector<SSimReply>& out);
    void OnAutoOn(const CPacket& request, std::vector<SSimReply>& out);
    void OnEnterMasterMode(const CPacket& request, std::vector<SSimReply>& out);
    void OnRegister(const CPacket& request, std::vector<SSimReply>& out);
    void OnRegisterStep(const CPacket& request, std::vector<SSimReply>& out);
    void OnModifyUser(const CPacket& request, std::vector<SSimReply>& out);
    void OnModifyTemplate(const CPacket& request, SSimUser& user, std::vector<SSimReply>& out);

    // Starts a registration of the ID in `field` (or a generated one when
    // `field` is empty); the refusal's result when it cannot start.
    uint32_t BeginRegistration(std::span<const uint8_t> field, size_t idField, uint8_t authority);
    // Stores the registered user and answers `command` with the finger count.
    void StoreRegistration(uint32_t command, std::vector<SSimReply>& out);
    // The ID field (and index byte) an identification reports for `user`.
    std::vector<uint8_t> IdAnswer(const SSimUser& user, size_t field,
                                  std::optional<uint8_t> index) const;
    // The position of `finger` among the user's fingers.
    static uint8_t FingerSlot(const SSimUser& user, const SFinger& finger);
    bool Has(const SSimUser& user, const SFinger& finger) const;
    uint32_t TemplateMode() const;

    bool m_masterMode = false;
    bool m_autoOn = false;
    bool m_autoOnSendsTemplate = false;
    uint32_t m_autoOnTiming = (uint32_t{250} << 16) | 40;
    std::optional<SRegistration> m_registration;
    std::optional<SModification> m_modification;
};

}  // namespace sondrix
