#include "analysis/file_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <climits>
#include <unistd.h>
#include <vector>

namespace korvan {

namespace {

// Repeats a positioned transfer until n bytes are done, again after a signal.
// A transfer of no bytes ends it (the end of the file, for a read).
template <typename Transfert>
size_t transfererTout(size_t n, Transfert&& transfert, const char* echec, const std::string& chemin)
{
    size_t done = 0;
    while (done < n) {
        const ssize_t k = transfert(done);
        if (k < 0) {
            if (errno == EINTR)
                continue;
            throw FileError(echec + chemin, errno);
        }
        if (k == 0)
            break;
        done += size_t(k);
    }
    return done;
}

} // namespace

FileError::FileError(const std::string& what, int err)
    : std::runtime_error(what + ": " + std::strerror(err)), err_(err)
{
}

BinaryFile::BinaryFile(const std::string& path, Mode mode) : path_(path)
{
    int flags = O_RDONLY;
    if (mode == Mode::ReadWrite)
        flags = O_RDWR;
    else if (mode == Mode::Create)
        flags = O_RDWR | O_CREAT | O_TRUNC;
    // Non-blocking for the open itself: a FIFO named *.avi would otherwise
    // wait for a writer forever. Only regular files are read or patched.
    flags |= O_CLOEXEC | O_NONBLOCK | O_NOCTTY;
    do {
        fd_ = ::open(path.c_str(), flags, 0666);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0)
        throw FileError("cannot open " + path, errno);
    struct stat st {};
    const int err = ::fstat(fd_, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : !S_ISREG(st.st_mode) ? ENXIO : 0;
    if (err != 0) {
        ::close(fd_);
        fd_ = -1;
        throw FileError("cannot open " + path + " (not a regular file)", err);
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
}

BinaryFile::~BinaryFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

BinaryFile::BinaryFile(BinaryFile&& other) noexcept : path_(std::move(other.path_)), fd_(other.fd_)
{
    other.fd_ = -1;
}

BinaryFile& BinaryFile::operator=(BinaryFile&& other) noexcept
{
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        path_ = std::move(other.path_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

int64_t BinaryFile::size() const
{
    struct stat st {};
    if (::fstat(fd_, &st) != 0)
        throw FileError("cannot stat " + path_, errno);
    return int64_t(st.st_size);
}

size_t BinaryFile::readAt(int64_t offset, void* buffer, size_t n) const
{
    if (offset < 0)
        return 0;
    auto* out = static_cast<char*>(buffer);
    return transfererTout(
        n, [&](size_t done) { return ::pread(fd_, out + done, n - done, off_t(offset + int64_t(done))); },
        "cannot read ", path_);
}

size_t MemorySource::readAt(int64_t offset, void* buffer, size_t n) const
{
    if (n == 0 || offset < 0 || uint64_t(offset) >= n_)
        return 0;
    const size_t count = std::min(n, n_ - size_t(offset));
    std::memcpy(buffer, data_ + offset, count);
    return count;
}

void BinaryFile::writeAt(int64_t offset, const void* buffer, size_t n)
{
    const auto* in = static_cast<const char*>(buffer);
    const size_t done = transfererTout(
        n, [&](size_t fait) { return ::pwrite(fd_, in + fait, n - fait, off_t(offset + int64_t(fait))); },
        "cannot write ", path_);
    // pwrite writes nothing only when the device takes no more.
    if (done < n)
        throw FileError("cannot write " + path_, ENOSPC);
}

void BinaryFile::writeVAt(int64_t offset, std::span<const iovec> morceaux)
{
    std::vector<iovec> reste(morceaux.begin(), morceaux.end());
    size_t premier = 0;
    while (premier < reste.size()) {
        const int n = int(std::min<size_t>(reste.size() - premier, IOV_MAX));
        const ssize_t k = ::pwritev(fd_, reste.data() + premier, n, off_t(offset));
        if (k < 0) {
            if (errno == EINTR)
                continue;
            throw FileError("cannot write " + path_, errno);
        }
        // pwritev writes nothing only when the device takes no more.
        if (k == 0)
            throw FileError("cannot write " + path_, ENOSPC);
        offset += k;
        // Skips what was written, maybe part of a piece.
        size_t fait = size_t(k);
        while (premier < reste.size() && fait >= reste[premier].iov_len)
            fait -= reste[premier++].iov_len;
        if (fait > 0) {
            reste[premier].iov_base = static_cast<char*>(reste[premier].iov_base) + fait;
            reste[premier].iov_len -= fait;
        }
    }
}

bool fileExists(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

} // namespace korvan
