#include "files/record_profile.h"

#include <algorithm>

namespace sondrix {

namespace {

using enum ERecordLayout;
using enum EWhen;

// clang-format off
constexpr std::array<SRecordProfile, 5> kProfiles{{
    //       tm2  s2/e2  old: size id time  marked: exact  max   marker id  time  codes
    {Extended, Any, Any,      0,   0,    0,         0,  7999, 0xC3,  16, true, {0x20, 0x20, 0x21, 0x22}},
    {Legacy,   Yes, Yes,    827,  10,    0,       843,  1499, 0xC1,  10, false, {0x01, 0x11, 0x13, 0x15}},
    {Legacy,   Yes, No,     844,  11,  836,       860,  1499, 0xC1,  11, true, {0x01, 0x11, 0x13, 0x15}},
    {Legacy,   No,  Yes,   1652,  11,    0,      1672,  2999, 0xC2,  10, false, {0x02, 0x12, 0x14, 0x16}},
    {Legacy,   No,  No,    1652,  11, 1644,      1672,  2999, 0xC2,  11, true, {0x02, 0x12, 0x14, 0x16}},
}};
// clang-format on

constexpr bool Matches(EWhen when, bool fact) {
    return when == Any || (when == Yes) == fact;
}

constexpr bool Matches(const SRecordProfile& profile, const SRecordContext& context) {
    return profile.layout == context.layout &&
           Matches(profile.templateMode2, context.templateMode2) &&
           Matches(profile.series2OrEmulation2, context.series2OrEmulation2);
}

constexpr size_t CountMatches(const SRecordContext& context) {
    return static_cast<size_t>(
        std::count_if(kProfiles.begin(), kProfiles.end(),
                      [&](const SRecordProfile& profile) { return Matches(profile, context); }));
}

constexpr bool EveryContextHasOneProfile() {
    for (const ERecordLayout layout : {Legacy, Extended}) {
        for (const bool templateMode2 : {false, true}) {
            for (const bool shortIds : {false, true}) {
                SRecordContext context;
                context.layout = layout;
                context.templateMode2 = templateMode2;
                context.series2OrEmulation2 = shortIds;
                if (CountMatches(context) != 1) {
                    return false;
                }
            }
        }
    }
    return true;
}

// RecordProfileFor relies on this: its search can never come back empty.
static_assert(EveryContextHasOneProfile());

}  // namespace

const SRecordProfile& RecordProfileFor(const SRecordContext& context) {
    return *std::find_if(kProfiles.begin(), kProfiles.end(),
                         [&](const SRecordProfile& profile) { return Matches(profile, context); });
}

size_t LargestAcceptedRecord() {
    return std::max_element(kProfiles.begin(), kProfiles.end(),
                            [](const SRecordProfile& a, const SRecordProfile& b) {
                                return a.maxMarkedSize < b.maxMarkedSize;
                            })
        ->maxMarkedSize;
}

}  // namespace sondrix
