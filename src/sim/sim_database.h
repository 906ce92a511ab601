#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "files/record_context.h"
#include "sim/sim_group.h"

namespace sondrix {

struct SSimUser;

// The simulated module's user database commands: paged user and master
// lists, the user count, record download and upload, master authority, and
// deletion of one user, of all users, users or masters.
//
// Records are built as modules build them: the marked form (marker, the
// number of templates, the format code, the security level, the authority, the ID
// field, the 16-byte password field, eight zero bytes, the packed-BCD
// registration time, then the templates back to back) or, for the old format
// of legacy modules, the old form of fixed size (authority, the ID, the
// templates from byte 12 on, the registration time where the size puts it).
class CSimDatabase : public CSimCommandGroup {
  public:
    // Bytes of the entries of one list page, by layout.
    static constexpr size_t kLegacyPageBytes = 2816;
    static constexpr size_t kExtendedPageBytes = 4096;
    static constexpr size_t kLegacyEntrySize = 11;

    using CSimCommandGroup::CSimCommandGroup;

    bool Handle(const CPacket& request, std::vector<SSimReply>& out) override;

    // The module's layout, template mode and ID field length as they stand.
    SRecordContext Context() const;
    // The record of `user` in the form the format code names; empty when the
    // code is not one this module delivers.
    std::vector<uint8_t> MakeRecord(const SSimUser& user, uint8_t code) const;

    // Entries per list page; 0 fills each page as far as it holds (tests make
    // it small to get several pages from a few users).
    size_t entriesPerPage = 0;

  private:
    void OnList(const CPacket& request, std::vector<SSimReply>& out);
    void OnUserCount(std::vector<SSimReply>& out);
    void OnDownloadRecord(const CPacket& request, std::vector<SSimReply>& out);
    void OnUploadRecord(const CPacket& request, std::vector<SSimReply>& out);
    void OnSetMasterAuthority(const CPacket& request, std::vector<SSimReply>& out);
    void OnDeleteAll(const CPacket& request, std::vector<SSimReply>& out);
    void OnDeleteUser(const CPacket& request, std::vector<SSimReply>& out);
    // Whether the module takes the format code; the refusal's result when not.
    uint32_t CheckCode(uint32_t code) const;
    size_t EntrySize() const;

    size_t m_nextRecord = 0;  // the record that "next" follows
};

}  // namespace sondrix
