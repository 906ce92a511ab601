#pragma once

// Helpers shared by the imaging tests: reference files, synthetic images,
// image comparison and capture of the codec's diagnostic stream.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace sondrix::test {

std::string WsqTestDataPath(const std::string& name);
// The bytes of a file; throws, naming the path, when it cannot be opened.
std::vector<uint8_t> ReadWholeFile(const std::string& path);
// A WSQ reference file by name; throws, naming the path, when it is missing
// or empty, so that a test without its data fails instead of checking nothing.
std::vector<uint8_t> ReadWsqReference(const std::string& name);

// A ridge pattern like a fingerprint's: curved stripes of varying period with
// a little deterministic noise.
std::vector<uint8_t> RidgeImage(int width, int height, unsigned seed = 1);

// One marker segment of a WSQ stream: its marker, where the marker stands,
// and its payload (after the length field). For a block header, `data` is
// the entropy-coded data that follows it. SOI and EOI have no payload.
struct WsqSegment {
    uint16_t marker = 0;
    size_t offset = 0;
    std::vector<uint8_t> payload;
    std::vector<uint8_t> data;
};
std::vector<WsqSegment> WsqSegments(const std::vector<uint8_t>& stream);

double Psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);
int MaxDifference(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b);

// A diagnostic stream for the codec whose text can be read back.
class CCapturedStream {
  public:
    CCapturedStream();
    ~CCapturedStream();
    CCapturedStream(const CCapturedStream&) = delete;
    CCapturedStream& operator=(const CCapturedStream&) = delete;

    std::FILE* File() const { return m_file; }
    std::string Text();

  private:
    std::FILE* m_file;
};

}  // namespace sondrix::test
