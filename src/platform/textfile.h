#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <utility>

// Text files behave like the original platform's text mode on both sides: lines end in
// CR LF on disk and in LF in memory.
namespace platform {

// CR LF becomes LF; a lone CR is kept; LF-only text passes unchanged.
std::string TextFromFileBytes(std::string_view bytes);
// Every LF becomes CR LF.
std::string TextToFileBytes(std::string_view text);

// Whole-file helpers. On failure they return false and set *error to a text naming the file
// and the OS error, and *osError (when given) to the error number (ENOENT: no such file).
// Only regular files are read ("not a regular file" otherwise; a pipe never blocks the call),
// and none larger than maxBytes (EFBIG).
inline constexpr size_t kNoSizeLimit = static_cast<size_t>(-1);
bool ReadFileBytes(const std::string& path, std::string* bytes, std::string* error,
                   size_t maxBytes = kNoSizeLimit, int* osError = nullptr);
bool ReadTextFile(const std::string& path, std::string* text, std::string* error,
                  size_t maxBytes = kNoSizeLimit, int* osError = nullptr);
// Replaces the file atomically (see atomic_file.h) with the text in file form.
bool WriteTextFile(const std::string& path, std::string_view text, std::string* error);

// Opens a file for writing (created when missing; emptied unless append) without ever blocking:
// a pipe or a device in its place is refused, *reason then reads "not a regular file". Returns
// the descriptor, in blocking mode, or -1 with *reason set to the OS error text.
int OpenRegularFileForWrite(const std::string& path, bool append, std::string* reason);

// A file written piece by piece with its bytes as they are (recorded receiver data). On
// failure the calls return false and set *error to a text naming the file and the OS error.
class RawFileWriter {
public:
    RawFileWriter() = default;
    ~RawFileWriter();
    RawFileWriter(const RawFileWriter&) = delete;
    RawFileWriter& operator=(const RawFileWriter&) = delete;

    // append: keep what the file holds and write at its end; else start empty.
    bool Open(const std::string& path, bool append, std::string* error);
    bool Write(std::string_view bytes, std::string* error);
    bool Flush(std::string* error);
    bool Close(std::string* error);
    bool IsOpen() const { return file_ != nullptr; }

private:
    std::FILE* file_ = nullptr;
    std::string path_;
};

// A text file written piece by piece (logs, point and polygon tables): every LF goes to the
// file as CR LF.
class TextFileWriter {
public:
    bool Open(const std::string& path, bool append, std::string* error) {
        return raw_.Open(path, append, error);
    }
    bool Write(std::string_view text, std::string* error) {
        return raw_.Write(TextToFileBytes(text), error);
    }
    bool Flush(std::string* error) { return raw_.Flush(error); }
    bool Close(std::string* error) { return raw_.Close(error); }
    bool IsOpen() const { return raw_.IsOpen(); }

private:
    RawFileWriter raw_;
};

// Splits text at LF into lines (without the LF); a last line without LF still counts.
class TextLineReader {
public:
    explicit TextLineReader(std::string text) : text_(std::move(text)) {}
    bool ReadLine(std::string* line);

private:
    std::string text_;
    size_t pos_ = 0;
};

}  // namespace platform
