#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace sondrix {

// The device side of a pseudo-terminal: a program (or any terminal tool)
// opens the slave path like a serial port while a simulated device holds
// this end. The slave is held open too, so the line stays up between hosts
// and the line settings the host makes can be read back.
class CPseudoTerminal {
  public:
    CPseudoTerminal();
    ~CPseudoTerminal();
    CPseudoTerminal(const CPseudoTerminal&) = delete;
    CPseudoTerminal& operator=(const CPseudoTerminal&) = delete;

    // Whether this system has pseudo-terminals (Windows has none; Open
    // then says what to do instead).
    static bool Available();

    // A new pair, the slave in raw mode at `baudRate`.
    bool Open(uint32_t baudRate, std::string& error);
    // A pair made elsewhere (the one behind a faked device node), given its
    // master; the descriptor is duplicated.
    bool Adopt(int master, uint32_t baudRate, std::string& error);
    void Close();
    const std::string& SlavePath() const { return m_slavePath; }

    // Waits for bytes from the host and reads up to `size` of them. Zero
    // when nothing came (no host yet, or a short pause); -1 once Wake was
    // called or the line failed.
    long Read(uint8_t* buffer, size_t size);
    // Writes all of `bytes` unless the line fails (false).
    bool Write(const uint8_t* bytes, size_t size);
    // Waits up to `ms`, returning false at once when Wake was called.
    bool Pause(int64_t ms);
    // Ends every wait, now and later; safe from any thread.
    void Wake();
    // The line speed the host set on the slave.
    uint32_t HostLineSpeed() const;

  private:
    bool Hold(uint32_t baudRate, std::string& error);

    struct SHandles;
    std::unique_ptr<SHandles> m_handles;
    std::string m_slavePath;
};

}  // namespace sondrix
