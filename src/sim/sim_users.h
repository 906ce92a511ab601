#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/finger_model.h"

namespace sondrix {

// One user as the simulated module stores it.
struct SSimUser {
    std::vector<uint8_t> id;              // the ID's bytes, without the zero filler
    uint8_t authority = 0;                // 0 user, 1 master
    std::vector<SFinger> fingers;         // registered fingers, in registration order
    std::vector<uint8_t> password;        // without the zero filler; empty: none
    std::array<uint8_t, 7> registered{};  // packed-BCD time of registration
    uint8_t securityLevel = 0;            // 1..9 once set; 0: the module's own level
};

// The simulated module's user database, in registration order.
class CSimUserDb {
  public:
    // The ID of a request's zero-filled ID field: its bytes up to the first zero.
    static std::vector<uint8_t> IdOfField(std::span<const uint8_t> field);

    std::vector<SSimUser>& Users() { return m_users; }
    const std::vector<SSimUser>& Users() const { return m_users; }
    size_t Count() const { return m_users.size(); }

    SSimUser* Find(std::span<const uint8_t> id);
    // The user one of whose registered fingers is `finger`.
    SSimUser* FindByFinger(const SFinger& finger);
    // Adds the user, replacing one with the same ID.
    SSimUser& Add(SSimUser user);
    bool Remove(std::span<const uint8_t> id);
    void Clear() { m_users.clear(); }

    // Fills the database with `count` users "1", "2", ...: user n has the
    // first finger of virtual person n registered.
    void Seed(uint32_t count);

  private:
    std::vector<SSimUser> m_users;
};

}  // namespace sondrix
