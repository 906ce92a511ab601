#include "sim/sim_users.h"

#include <algorithm>
#include <string>

namespace sondrix {

std::vector<uint8_t> CSimUserDb::IdOfField(std::span<const uint8_t> field) {
    const auto end = std::find(field.begin(), field.end(), uint8_t{0});
    return {field.begin(), end};
}

SSimUser* CSimUserDb::Find(std::span<const uint8_t> id) {
    const auto it = std::find_if(m_users.begin(), m_users.end(), [id](const SSimUser& user) {
        return std::ranges::equal(user.id, id);
    });
    return it == m_users.end() ? nullptr : &*it;
}

SSimUser* CSimUserDb::FindByFinger(const SFinger& finger) {
    const auto it = std::find_if(m_users.begin(), m_users.end(), [&finger](const SSimUser& user) {
        return std::ranges::find(user.fingers, finger) != user.fingers.end();
    });
    return it == m_users.end() ? nullptr : &*it;
}

SSimUser& CSimUserDb::Add(SSimUser user) {
    if (SSimUser* existing = Find(user.id)) {
        *existing = std::move(user);
        return *existing;
    }
    return m_users.emplace_back(std::move(user));
}

bool CSimUserDb::Remove(std::span<const uint8_t> id) {
    const auto it = std::find_if(m_users.begin(), m_users.end(), [id](const SSimUser& user) {
        return std::ranges::equal(user.id, id);
    });
    if (it == m_users.end()) {
        return false;
    }
    m_users.erase(it);
    return true;
}

void CSimUserDb::Seed(uint32_t count) {
    m_users.clear();
    for (uint32_t n = 1; n <= count; ++n) {
        const std::string id = std::to_string(n);
        SSimUser user;
        user.id.assign(id.begin(), id.end());
        user.fingers.push_back(SFinger{n, 0});
        // 2016-01-01 00:00:00, a fixed registration time keeps runs repeatable.
        user.registered = {0x20, 0x16, 0x01, 0x01, 0x00, 0x00, 0x00};
        m_users.push_back(std::move(user));
    }
}

}  // namespace sondrix
