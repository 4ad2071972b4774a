#include "platform/textfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/atomic_file.h"
#include "platform/numbers.h"
#include "platform/serial.h"

namespace platform {
namespace {

void SetError(std::string* error, const std::string& what, const std::string& path, int err) {
    if (error) *error = what + " " + path + ": " + ErrorText(err);
}

}  // namespace

std::string TextFromFileBytes(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        text += bytes[i];
    }
    return text;
}

std::string TextToFileBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') bytes += '\r';
        bytes += c;
    }
    return bytes;
}

bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* error, size_t maxBytes,
                   int* osError) {
    if (osError) *osError = 0;
    auto fail = [&](const char* what, int err) {
        if (osError) *osError = err;
        SetError(error, what, path, err);
        return false;
    };
    // Opened without blocking and read only when it is a regular file: a pipe or a device in
    // its place would otherwise hold the program forever.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return fail("cannot open", errno);
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int err = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        if (osError) *osError = err;
        if (error) *error = "cannot read " + path + ": not a regular file";
        return false;
    }
    if (static_cast<uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        if (osError) *osError = EFBIG;
        if (error) {
            *error = "cannot read " + path + ": larger than " + FormatUInt(maxBytes) + " bytes";
        }
        return false;
    }
    std::string data;
    char buf[65536];
    int err = 0;
    for (;;) {
        // Never more than one byte past the limit, however large the file.
        const size_t want = maxBytes >= kNoSizeLimit - 1
                                ? sizeof buf
                                : std::min(sizeof buf, maxBytes + 1 - data.size());
        const ssize_t n = ::read(fd, buf, want);
        if (n > 0) {
            data.append(buf, static_cast<size_t>(n));
            // A file that grows while it is read is still held to the limit.
            if (data.size() > maxBytes) {
                err = EFBIG;
                break;
            }
            continue;
        }
        if (n == 0) break;
        if (errno == EINTR) continue;
        err = errno ? errno : EIO;
        break;
    }
    ::close(fd);
    if (err == EFBIG) {
        if (osError) *osError = EFBIG;
        if (error) {
            *error = "cannot read " + path + ": larger than " + FormatUInt(maxBytes) + " bytes";
        }
        return false;
    }
    if (err != 0) return fail("cannot read", err);
    *bytes = std::move(data);
    return true;
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* error, size_t maxBytes,
                  int* osError) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes, error, maxBytes, osError)) return false;
    *text = TextFromFileBytes(bytes);
    return true;
}

bool WriteTextFile(const std::string& path, std::string_view text, std::string* error) {
    std::string err = WriteFileAtomic(path, TextToFileBytes(text));
    if (err.empty()) return true;
    if (error) *error = err;
    return false;
}

int OpenRegularFileForWrite(const std::string& path, bool append, std::string* reason) {
    constexpr const char* kNotRegular = "not a regular file";
    // No O_TRUNC here: whatever stands at the path is looked at before anything is emptied.
    const int fd = ::open(
        path.c_str(),
        O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (append ? O_APPEND : 0), 0644);
    if (fd < 0) {
        const int err = errno;
        // A pipe nobody reads answers ENXIO to a non-blocking open.
        struct stat st {};
        if (reason) {
            *reason = err == ENXIO && ::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)
                          ? kNotRegular
                          : ErrorText(err);
        }
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (reason) *reason = kNotRegular;
        return -1;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if ((flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) ||
        (!append && ::ftruncate(fd, 0) != 0)) {
        const int err = errno;
        ::close(fd);
        if (reason) *reason = ErrorText(err);
        return -1;
    }
    return fd;
}

RawFileWriter::~RawFileWriter() {
    Close(nullptr);
}

bool RawFileWriter::Open(const std::string& path, bool append, std::string* error) {
    Close(nullptr);
    std::string reason;
    const int fd = OpenRegularFileForWrite(path, append, &reason);
    if (fd >= 0) {
        file_ = ::fdopen(fd, append ? "ab" : "wb");
        if (!file_) {
            reason = ErrorText(errno);
            ::close(fd);
        }
    }
    if (!file_) {
        if (error) *error = "cannot open " + path + ": " + reason;
        return false;
    }
    path_ = path;
    return true;
}

bool RawFileWriter::Write(std::string_view bytes, std::string* error) {
    if (!file_) {
        SetError(error, "cannot write", path_, EBADF);
        return false;
    }
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) {
        SetError(error, "cannot write", path_, errno ? errno : EIO);
        return false;
    }
    return true;
}

bool RawFileWriter::Flush(std::string* error) {
    if (!file_) return true;
    if (std::fflush(file_) != 0) {
        SetError(error, "cannot write", path_, errno ? errno : EIO);
        return false;
    }
    return true;
}

bool RawFileWriter::Close(std::string* error) {
    if (!file_) return true;
    int rc = std::fclose(file_);
    int err = errno;
    file_ = nullptr;
    if (rc != 0) {
        SetError(error, "cannot write", path_, err ? err : EIO);
        return false;
    }
    return true;
}

bool TextLineReader::ReadLine(std::string* line) {
    if (pos_ >= text_.size()) return false;
    size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) end = text_.size();
    line->assign(text_, pos_, end - pos_);
    pos_ = end + 1;
    return true;
}

}  // namespace platform
