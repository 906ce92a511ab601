#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace sondrix {

// The simulated module's virtual fingers. A finger is a person (user number)
// and one of that person's ten fingers; everything the module reports about a
// finger - its image, its image quality, its template - is a pure function of
// those two numbers, so the same finger always gives the same bytes and a
// template can be traced back to the finger it came from.

struct SFinger {
    uint32_t user = 0;
    uint8_t finger = 0;  // 0..9; other values are rendered too but are no finger of a hand

    bool operator==(const SFinger&) const = default;
};

inline constexpr uint8_t kFingersPerPerson = 10;

// What lies on the sensor: a finger, or nothing (kNoFinger).
using FingerOnSensor = std::optional<SFinger>;
inline constexpr FingerOnSensor kNoFinger{};

// ---- Images ----

// Renders the finger as an 8-bit grey image, `width` x `height` pixels, rows
// top to bottom, 0 black, 255 white: a light background, an elliptical finger
// area with dark ridges about 8 to 10 pixels apart that flow round a loop,
// whorl, twin loop or arch pattern chosen by the finger, with ridge endings,
// forks and mild noise. Writes exactly width * height bytes to `pixels`;
// writes nothing when either size is not positive.
void RenderFingerprint(const SFinger& finger, int width, int height, uint8_t* pixels);
std::vector<uint8_t> RenderFingerprint(const SFinger& finger, int width, int height);

// The same print as a colour capture: width * height * 3 bytes, blue, green,
// red per pixel, rows bottom to top as in a 24-bit BMP, rows not padded (a
// 320-pixel row, the colour sensor's, needs no padding). Ridges are skin-toned.
std::vector<uint8_t> RenderColourFingerprint(const SFinger& finger, int width = 320,
                                             int height = 240);

// The finger's image quality figure, 40..95; a lower figure also renders as a
// noisier, paler print.
int ImageQuality(const SFinger& finger);

// ---- Templates ----

// Template format selectors.
inline constexpr uint8_t kTemplateDravik = 0;
inline constexpr uint8_t kTemplateQdxA = 1;
inline constexpr uint8_t kTemplateIso19794 = 2;
inline constexpr uint8_t kTemplateAnsi378 = 3;
inline constexpr uint8_t kTemplateFormatCount = 4;

// A template is opaque to the host. The simulator's templates are laid out as
// follows (multi-byte fields big-endian):
//
//   offset size
//    0      4   magic: "FMR\0" for ISO 19794-2 and ANSI 378, as those records
//               begin; "SXF\0" for the Dravik and QDX-A formats
//    4      4   version: " 20\0" for ISO 19794-2 and ANSI 378, "SX1\0" otherwise
//    8      4   length of the template in bytes
//   12      1   format selector (0..3)
//   13      1   finger index
//   14      4   user number
//   18      4   CRC-32 (IEEE) of the template's `length` bytes with this field
//               taken as zero
//   22      -   filler: pseudo-random bytes seeded by the finger and the format
//
// so that any damage to a template (a changed byte, a cut) makes it unreadable.
inline constexpr size_t kTemplateHeaderSize = 22;

// The template of the finger in `format`, `size` bytes long (400 or 404 as the
// module family has it). A size below kTemplateHeaderSize gives that many
// bytes of a template cut short, which nothing recognises; an unknown format
// gives no bytes.
std::vector<uint8_t> MakeTemplate(const SFinger& finger, size_t size, uint8_t format);

struct STemplateInfo {
    SFinger finger;
    uint8_t format = 0;
    size_t length = 0;  // the template's own length; the bytes given may be longer
};

// Reads a template made by MakeTemplate. Nothing for bytes that are not one:
// wrong magic or version for the format, an unknown format, fewer bytes than
// the recorded length, or a CRC that does not match. Bytes after the recorded
// length are ignored, as a module ignores the padding of a fixed-size field.
std::optional<STemplateInfo> ReadTemplate(std::span<const uint8_t> bytes);
std::optional<SFinger> FingerOfTemplate(std::span<const uint8_t> bytes);

// True when both are templates of the same finger, whatever their formats.
bool TemplatesMatch(std::span<const uint8_t> a, std::span<const uint8_t> b);

}  // namespace sondrix
