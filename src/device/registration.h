#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "link/packet.h"

namespace sondrix {

class CSondrixDlg;

// Who is registered, and how.
struct SRegistrationRequest {
    std::string id;  // unused with a generated ID
    std::string password;
    uint32_t authority = 0;  // 0 user, 1 master
    bool generatedId = false;
    bool differentFinger = false;  // the second scan may be another finger
};

// What a modification changes: `type` is the row of the page's list (0
// authority, 1 password, 2 security level, 3..6 templates from files, 7..10
// templates from the sensor).
struct SModificationRequest {
    int type = 0;
    std::string id;
    uint32_t value = 0;          // the authority or the security level
    std::string password;        // the new password
    std::vector<uint8_t> templ;  // the first template file of a host-template change
};

// The registration and modification sequences: every request they send,
// the answers and image-quality answers that carry them on, and the
// questions they ask on the way (through the main dialog, which shows them
// as boxes unless a program answers them). The Authentication&User page,
// the Main tab's quick menu and the typed module interface start them.
class CRegistration {
  public:
    // Why an image-quality answer carries a sequence on.
    static constexpr int kRegistrationQuality = 1;
    static constexpr int kModificationQuality = 8;
    static constexpr int kStepRegistrationQuality = 9;

    static constexpr size_t kPasswordField = 16;  // 15 digits and a terminating zero
    static constexpr size_t kMinStepRegistrationId = 4;
    static constexpr int kMaxFingerIndex = 9;
    static constexpr int kAbandonedStep = 100;
    // ID fields of CMD_REGISTER's registration block.
    static constexpr size_t kClassicIdField = 11;
    static constexpr size_t kSeries2IdField = 10;

    // Modification codes of CMD_MODIFY_USER. A template change takes two
    // requests: the first code, then that code + 1 when the same finger is
    // given again or + 2 for a different finger.
    static constexpr uint32_t kModifyAuthority = 0x01;
    static constexpr uint32_t kModifyPassword = 0x02;
    static constexpr uint32_t kModifySecurityLevel = 0x03;
    static constexpr uint32_t kFirstHostTemplate = 0x10;
    static constexpr uint32_t kSecondHostTemplate = 0x13;
    static constexpr uint32_t kFirstSensorScan = 0x20;
    static constexpr uint32_t kSecondSensorScan = 0x23;
    // The second request's code for `first` and a modification type: the
    // odd types keep the finger, the even ones take a different one.
    static constexpr uint32_t FollowUpCode(uint32_t first, int type) {
        return first + (type % 2 == 1 ? 1 : 2);
    }

    explicit CRegistration(CSondrixDlg& dlg) : m_dlg(dlg) {}

    // Registers a user with the flow the connected module uses: flow A
    // (CMD_REGISTER, after the template mode where the module has one) or
    // the step registration of series 4 and 5 (CMD_REGISTER_STEP).
    void Register(SRegistrationRequest request);
    // Flow A, once the template mode is known.
    void StartFlowA();
    // The longest ID the connected module's registration takes, in digits.
    size_t LongestId() const;

    // Sends the first request of a modification (its inputs were asked for).
    void Modify(SModificationRequest request);
    // The second template of a host-template change, once the person chose it.
    void SendSecondTemplate(std::span<const uint8_t> templ);

    // The answers.
    void OnRegister(const CPacket& packet);
    void OnRegisterStep(const CPacket& packet);
    void OnModifyUser(const CPacket& packet);
    // The image-quality answer for `reason` (1, 8 or 9) arrived.
    void ContinueAfterQuality(int reason);

    // Nothing of a sequence survives the connection.
    void Reset();

    // Sequence state.
    SRegistrationRequest request;
    int step = 0;                // 1 to 4 while running; 100 abandoned
    int fingerIndex = 0;         // 0 to 9 in a step registration
    int offerMade = 0;           // the continuous-registration question was asked
    std::vector<uint8_t> block;  // ID field + password field of CMD_REGISTER
    uint32_t modificationCode = 0;
    int modificationType = 0;
    std::string modificationId;

  private:
    void StartStep();
    // The first request of a step registration for the current finger.
    void SendFirstStep();
    void SendRegister(uint32_t param2, std::span<const uint8_t> data);
    // A step registration failed for the first time in its run: offers to go
    // on with the same account.
    void OfferRetry();
    void Stored();
    void ModificationDone(int textId);
    // The ID of `field` bytes followed by the 16-byte password field, both
    // zero-filled behind their text.
    std::vector<uint8_t> IdAndPasswordField(size_t field) const;
    // Shows "Size is too big" when a request did not fit one packet.
    void SentOrRefused(bool sent);

    CSondrixDlg& m_dlg;
};

}  // namespace sondrix
