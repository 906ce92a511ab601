#pragma once

// WSQ codec: 8-bit grey fingerprint images to and from byte streams in the
// format of the FBI WSQ standard for grey-scale fingerprint image compression
// (wavelet decomposition into 64 subbands with the standard's 9-tap/7-tap
// filters, uniform scalar quantisation with a zero bin, three Huffman-coded
// blocks, the standard's marker segments, big-endian).
//
// Pixels: width x height bytes, rows top to bottom, 0 black, 255 white.
//
// Encoder choices:
// - Normalisation by the middle of the range: m_shift = low + (high - low) / 2
//   (a real number, so 127.5 for 0..255) and r_scale = max(|low - m_shift|,
//   |high - m_shift|) / 128. A constant image has r_scale 0; it is coded with
//   r_scale = 1 instead, which gives all-zero coefficients, no coded
//   subbands, and a stream that decodes to the same constant.
// - m_shift, r_scale and every bin width are used in the form the stream
//   carries them (scale byte and 16-bit value), so the decoder works with the
//   same numbers the encoder quantised with.
// - Bin widths: Q_k = 1/q for subbands 0..3, 10 / (A_k q ln var_k) for 4..59
//   (A_k = 1 but for 52..59); a subband of variance below 1.01 gets Q_k = 0
//   and is not coded; zero bins Z_k = 1.2 Q_k; bin centre 0.44. Variances are
//   taken over the central part of each subband as the standard defines it
//   (the whole subband when that part holds fewer than two coefficients).
//   Quantised magnitudes are capped at 65,535, the largest the 16-bit
//   escapes carry.
// - Blocks: subbands 0..18, 19..51 and 52..59. Huffman table 0 is built from
//   block 1 (coefficients up to 45 and zero runs up to 30 as symbols of their
//   own), table 1 from blocks 2 and 3 together (10 and 75). Code lengths are
//   limited to 16 bits.
// - Rate control: R = |ratio|; q starts at 0.1; a pass quantises and codes
//   everything, complen is the size of the three coded blocks and the
//   achieved ratio is width * height / (complen + 728). The loop stops once
//   achieved >= R and achieved - R < 1, else q *= achieved / R. It makes at
//   most kWsqMaxPasses passes and then keeps the best pass seen: the one whose
//   ratio is at or above R and nearest to it, else the nearest below. q never
//   grows past the point where the largest coefficient of a coded subband
//   still fits the 16-bit escapes (65,535): a target that needs more ends at
//   that limit instead of cutting coefficients off.
//   When no subband is coded q changes nothing, and one pass is enough.
// - After encoding, the diagnostic stream gets
//   "len1 = %d :: len2 = %d :: len3 = %d\n" (quantised coefficients in each
//   block), "q = %.6f complen = %d ratio = %.1f\n" and "buffer size : %d"
//   (the stream's length).
//
// Decoder choices:
// - A stream that does not begin with SOI is reported ("No SOI MarKer.") and
//   read from its first byte on.
// - Segments it does not use (comments, application data) are reported
//   ("ERror: IIIInvalid table defined -> {marker}") and skipped by their
//   length field. Two bytes that are not a marker at all end the decoding.
// - Tables may come anywhere before they are needed (a Huffman table before
//   its blocks, the others before EOI); a later table replaces an earlier one
//   of the same kind (and number). Filters of any odd length up to 31 taps
//   are accepted; a length of 0 leaves that filter undefined.
// - The coded blocks must hold exactly the coefficients of the subbands whose
//   bin width is not zero.
// - Pixel = trunc(m_shift + r_scale * v + 0.5) clamped to 0..255.
//
// Both calls keep all their state in the call, so any number may run at once
// on different threads. Every byte of the input is read through bounds
// checks: a truncated or corrupt stream gives -1, never a read or write
// outside the caller's buffers. Failures are reported as text on the
// diagnostic stream (stderr unless given; nullptr silences it) and return -1;
// nothing is thrown.

#include <cstddef>
#include <cstdint>
#include <cstdio>

namespace sondrix {

// The image page's working buffers: a WSQ file is read whole into
// kWsqInputCapacity bytes, decoded into kWsqPixelCapacity pixels, and an
// image is encoded into kWsqEncodedCapacity bytes, at kWsqSaveRatio.
inline constexpr size_t kWsqInputCapacity = 120000;
inline constexpr size_t kWsqPixelCapacity = 81928;
inline constexpr size_t kWsqEncodedCapacity = 119988;
inline constexpr float kWsqSaveRatio = 5.0f;

// Most rate-control passes of one encoding.
inline constexpr int kWsqMaxPasses = 20;
// Images the encoder takes are 64..65535 pixels in each direction (the
// decomposition needs five levels of halving; the frame header has 16 bits).
inline constexpr int kWsqMinDimension = 64;
inline constexpr int kWsqMaxDimension = 65535;

// Encodes width x height pixels at the target compression ratio into
// out[0..outCapacity) and sets *outLength. Returns 0, or -1 when the ratio is
// 0 or not finite ("Invalid q value %f\n"), the size is out of range, or the
// stream does not fit outCapacity (nothing useful is left in out then).
int WsqEncode(const uint8_t* pixels, int width, int height, float ratio, uint8_t* out,
              size_t outCapacity, size_t* outLength, std::FILE* diagnostics = stderr);

// Decodes the stream in[0..inSize) into pixels[0..pixelCapacity) and sets
// *width and *height (width * height pixels are written). Returns 0, or -1
// when the stream is malformed or its image holds more than pixelCapacity
// pixels (then nothing is written to pixels).
int WsqDecode(const uint8_t* in, size_t inSize, uint8_t* pixels, size_t pixelCapacity, int* width,
              int* height, std::FILE* diagnostics = stderr);

}  // namespace sondrix
