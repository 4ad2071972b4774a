#pragma once
// Sectioned text file behind the ".rcf" and terminal files: label lines "[name]", key=value
// lines, bare lines and bare integers, with one label of push-back. Lines end in CR LF on
// disk and LF in memory; LF-only files read the same.

#include <cstddef>
#include <cstdint>
#include <string>

class CfgIo {
public:
    CfgIo() = default;
    ~CfgIo();
    CfgIo(const CfgIo&) = delete;
    CfgIo& operator=(const CfgIo&) = delete;

    // Reads the whole file; false (and *error set) when it cannot be read or is larger than
    // maxBytes.
    bool OpenRead(const std::string& path, std::string* error = nullptr,
                  size_t maxBytes = static_cast<size_t>(-1));
    // Reads from text already in memory (lines end in LF).
    void OpenText(std::string text);
    // Starts a new file; nothing reaches the disk before Close.
    void OpenWrite(const std::string& path);
    // Ends the file. A file being written replaces the old one as a whole, or not at all:
    // false (and *error set) when it could not be written.
    bool Close(std::string* error = nullptr);
    bool IsOpen() const { return mode_ != Mode::Closed; }
    // What has been written so far (a file being written).
    const std::string& Text() const { return text_; }

    void WriteLabel(const char* name);
    void WriteLine(const char* text);
    void WriteInt(int32_t value);
    void WriteKeyInt(const char* key, int32_t value);
    // "%ld" of the 32-bit value: 0xFFFFFFFF is written as -1.
    void WriteKeyLong(const char* key, int32_t value);
    void WriteKeyDouble(const char* key, double value);

    bool ReadLabel(std::string& label);
    bool ReadData(std::string& line);
    bool ReadInt(int32_t& value);
    void PushBack() { pushedBack_ = true; }
    // A label is waiting for the next ReadLabel (ReadData or ReadInt met it).
    bool IsPushedBack() const { return pushedBack_; }
    bool IsEOF() const;

    // Copies the printable characters (0x20..0x7E) of text, at most size - 1 of them, and
    // ends the buffer with NUL.
    static void CopyToSz(char* dst, const std::string& text, size_t size);

private:
    enum class Mode { Closed, Read, Write };

    // One line without its line end; false at the end of the file.
    bool ReadRawLine(std::string& line);
    // A line of more than two characters in square brackets gives the bare name.
    static bool IsLabelLine(const std::string& line, std::string* name);

    Mode mode_ = Mode::Closed;
    std::string path_;
    std::string text_;
    size_t pos_ = 0;
    bool pushedBack_ = false;
    std::string pushedLabel_;
};
