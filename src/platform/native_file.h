#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>

namespace sondrix {

// Paths travel through the program as UTF-8 text; these turn such text into a
// path the system's wide or narrow file calls take, and back.
inline std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}
inline std::string Utf8FromPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// A path as the program's file functions take it: made from a
// std::filesystem::path, never from a narrow string. On Windows that
// conversion reads the bytes in the C locale, so a name outside ASCII
// ("Sicherung Ω 指纹") would be written or looked for mangled while the
// program prints it as typed; passing a std::string or a literal where a
// CFilePath is wanted does not compile. Text a person typed or a dialog
// returned (UTF-8) becomes a path through PathFromUtf8.
class CFilePath {
  public:
    // Implicit: every std::filesystem::path is a file path.
    CFilePath(const std::filesystem::path& path) : m_path(path) {}        // NOLINT
    CFilePath(std::filesystem::path&& path) : m_path(std::move(path)) {}  // NOLINT
    template <class Text>
    requires std::is_convertible_v<const Text&, std::string_view> CFilePath(const Text& text)
    = delete;

    const std::filesystem::path& Path() const { return m_path; }
    operator const std::filesystem::path&() const { return m_path; }  // NOLINT

  private:
    std::filesystem::path m_path;
};

// The system's description of the error of the last call that failed on
// this thread ("No space left on device").
std::string LastSystemErrorText();

// As many symbolic links as the system itself follows before it gives up.
inline constexpr int kMaxLinkHops = 40;

// The file a symbolic link names, through every link on the way (at most
// `hops`); the path itself when it is no link. A link to nothing yet gives
// the file it would make.
std::filesystem::path FollowLinks(const CFilePath& path, int hops = kMaxLinkHops);

// One open file of the operating system, closed when it goes away. Close() is
// there for writers: it reports the errors some file systems only give at close.
class CNativeFile {
  public:
    enum class EMode {
        Read,       // an existing file; opening never blocks (a FIFO, a device)
        CreateNew,  // a new file; fails with Exists when the name is taken
        Truncate,   // creates the file or empties the one there
        Append,     // creates the file or writes on at its end
        Existing,   // writes into what is there as it is (a device, a FIFO)
    };
    enum class EError { None, NotFound, Exists, Other };

    CNativeFile() = default;
    ~CNativeFile();
    CNativeFile(CNativeFile&& other) noexcept;
    CNativeFile& operator=(CNativeFile&& other) noexcept;
    CNativeFile(const CNativeFile&) = delete;
    CNativeFile& operator=(const CNativeFile&) = delete;

    // Closes what was open, then opens `path`; LastError() tells why not.
    bool Open(const CFilePath& path, EMode mode);
    bool IsOpen() const;
    EError LastError() const { return m_error; }

    // Writes every byte, going on after partial writes and interruptions.
    bool WriteAll(std::span<const uint8_t> bytes);
    // Reads until `out` is full or the file ends; returns the bytes read, or -1 on error.
    long ReadUpTo(std::span<uint8_t> out);
    // The size of a regular file; false for anything else (folder, pipe, device).
    bool RegularFileSize(uint64_t& size) const;
    // Puts what was written on the disk.
    bool Flush();
    // Cuts a regular file to its first `length` bytes and writes on from there.
    bool TruncateTo(uint64_t length);
    // Gives the file the permissions of the regular file at `model`, if there is one.
    void CopyPermissionsFrom(const CFilePath& model);
    // Closes the file; false when the close reported an error.
    bool Close();

    // Whether something exists at `path`: None, NotFound, or Other when that cannot be told.
    static EError Probe(const CFilePath& path);
    // Gives `from` the name `to`, replacing a file there in one step (Windows
    // also writes the change through to the disk before it returns).
    static bool Replace(const CFilePath& from, const CFilePath& to);
    static bool Remove(const CFilePath& path);
    // This process's number, for names of temporary files.
    static unsigned long ProcessId();

  private:
    // A POSIX descriptor or a Win32 handle; -1 is "none" for both.
    intptr_t m_handle = -1;
    EError m_error = EError::None;
};

}  // namespace sondrix
