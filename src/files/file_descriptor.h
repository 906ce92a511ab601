#pragma once

#include <cstdint>
#include <span>

namespace sondrix {

// Owns one POSIX file descriptor and closes it when it goes away. Close() is
// there for writers: it reports the errors some file systems only give at close.
class CFileDescriptor {
  public:
    CFileDescriptor() = default;
    explicit CFileDescriptor(int fd) : m_fd(fd) {}
    ~CFileDescriptor();
    CFileDescriptor(CFileDescriptor&& other) noexcept;
    CFileDescriptor& operator=(CFileDescriptor&& other) noexcept;
    CFileDescriptor(const CFileDescriptor&) = delete;
    CFileDescriptor& operator=(const CFileDescriptor&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Get() const { return m_fd; }

    // Writes every byte, going on after partial writes and interruptions.
    bool WriteAll(std::span<const uint8_t> bytes);
    // Reads until `out` is full or the file ends; returns the bytes read, or -1 on error.
    long ReadUpTo(std::span<uint8_t> out);
    // Closes the descriptor; false when the close reported an error.
    bool Close();

  private:
    int m_fd = -1;
};

}  // namespace sondrix
