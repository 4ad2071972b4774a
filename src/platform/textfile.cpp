#include "platform/textfile.h"

#include <cerrno>

#include "platform/atomic_file.h"
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

bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* error) {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        SetError(error, "cannot open", path, errno);
        return false;
    }
    std::string data;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) data.append(buf, n);
    bool failed = std::ferror(f) != 0;
    int err = errno;
    std::fclose(f);
    if (failed) {
        SetError(error, "cannot read", path, err ? err : EIO);
        return false;
    }
    *bytes = std::move(data);
    return true;
}

bool ReadTextFile(const std::string& path, std::string* text, std::string* error) {
    std::string bytes;
    if (!ReadFileBytes(path, &bytes, error)) return false;
    *text = TextFromFileBytes(bytes);
    return true;
}

bool WriteTextFile(const std::string& path, std::string_view text, std::string* error) {
    std::string err = WriteFileAtomic(path, TextToFileBytes(text));
    if (err.empty()) return true;
    if (error) *error = err;
    return false;
}

RawFileWriter::~RawFileWriter() {
    Close(nullptr);
}

bool RawFileWriter::Open(const std::string& path, bool append, std::string* error) {
    Close(nullptr);
    file_ = std::fopen(path.c_str(), append ? "ab" : "wb");
    if (!file_) {
        SetError(error, "cannot open", path, errno);
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
