#pragma once
// Files opened the way the program needs them: read-only or read-write, never
// locking out other programs (a capture tool or player may hold the clip),
// 64-bit offsets, positioned reads and writes, always closed (RAII).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <stdexcept>
#include <string>
#include <sys/uio.h>

namespace korvan {

class FileError : public std::runtime_error {
public:
    FileError(const std::string& what, int err);
    // The system's error number (errno).
    int erreur() const { return err_; }

private:
    int err_;
};

// Random-access bytes: a file on disk, or memory in tests and fuzzing.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual int64_t size() const = 0;
    // Reads up to n bytes at offset; returns the count read (short at the end).
    virtual size_t readAt(int64_t offset, void* buffer, size_t n) const = 0;
    bool readExactAt(int64_t offset, void* buffer, size_t n) const { return readAt(offset, buffer, n) == n; }
};

class MemorySource : public ByteSource {
public:
    MemorySource(const void* data, size_t n) : data_(static_cast<const uint8_t*>(data)), n_(n) {}
    int64_t size() const override { return int64_t(n_); }
    size_t readAt(int64_t offset, void* buffer, size_t n) const override;
private:
    const uint8_t* data_;
    size_t n_;
};

class BinaryFile : public ByteSource {
public:
    // Create: read-write on a new empty file (an existing one is truncated).
    enum class Mode { Read, ReadWrite, Create };

    // Throws FileError when the file cannot be opened.
    explicit BinaryFile(const std::string& path, Mode mode = Mode::Read);
    ~BinaryFile();
    BinaryFile(const BinaryFile&) = delete;
    BinaryFile& operator=(const BinaryFile&) = delete;
    BinaryFile(BinaryFile&& other) noexcept;
    BinaryFile& operator=(BinaryFile&& other) noexcept;

    // Current size of the file (re-read each call: captures can still grow).
    int64_t size() const override;
    // Reads up to n bytes at offset; returns the count actually read (short at
    // the end of the file). Throws FileError on an I/O error.
    size_t readAt(int64_t offset, void* buffer, size_t n) const override;
    // Writes all n bytes at offset in one call; throws FileError on failure.
    void writeAt(int64_t offset, const void* buffer, size_t n);
    // Writes the pieces one after the other from offset (vectored writes).
    void writeVAt(int64_t offset, std::span<const iovec> morceaux);

    int descriptor() const { return fd_; }

private:
    std::string path_;
    int fd_ = -1;
};

bool fileExists(const std::string& path);

} // namespace korvan
