#include "engine/CfgIO.h"

#include <utility>

#include "platform/numbers.h"
#include "platform/textfile.h"
#include "platform/trace.h"

CfgIo::~CfgIo() {
    if (IsOpen()) Close();
}

bool CfgIo::OpenRead(const std::string& path, std::string* error, size_t maxBytes) {
    std::string text;
    std::string err;
    if (!platform::ReadTextFile(path, &text, &err, maxBytes)) {
        if (error) *error = err;
        return false;
    }
    path_ = path;
    OpenText(std::move(text));
    return true;
}

void CfgIo::OpenText(std::string text) {
    mode_ = Mode::Read;
    text_ = std::move(text);
    pos_ = 0;
    pushedBack_ = false;
    pushedLabel_.clear();
}

void CfgIo::OpenWrite(const std::string& path) {
    mode_ = Mode::Write;
    path_ = path;
    text_.clear();
    pos_ = 0;
}

bool CfgIo::Close(std::string* error) {
    bool ok = true;
    if (mode_ == Mode::Write) {
        std::string err;
        ok = platform::WriteTextFile(path_, text_, &err);
        if (!ok) {
            platform::Trace("Tessaray_PC: %s\n", err.c_str());
            if (error) *error = err;
        }
    }
    mode_ = Mode::Closed;
    return ok;
}

void CfgIo::WriteLabel(const char* name) {
    text_ += '[';
    text_ += name;
    text_ += "]\n";
}

void CfgIo::WriteLine(const char* text) {
    text_ += text;
    text_ += '\n';
}

void CfgIo::WriteInt(int32_t value) {
    text_ += platform::Format("%d\n", value);
}

void CfgIo::WriteKeyInt(const char* key, int32_t value) {
    text_ += platform::Format("%s=%d\n", key, value);
}

void CfgIo::WriteKeyLong(const char* key, int32_t value) {
    text_ += platform::Format("%s=%ld\n", key, static_cast<long>(value));
}

void CfgIo::WriteKeyDouble(const char* key, double value) {
    text_ += platform::Format("%s=%lf\n", key, value);
}

bool CfgIo::ReadRawLine(std::string& line) {
    line.clear();
    if (mode_ != Mode::Read || pos_ >= text_.size()) return false;
    const size_t end = text_.find('\n', pos_);
    if (end == std::string::npos) {
        line = text_.substr(pos_);
        pos_ = text_.size();
    } else {
        line = text_.substr(pos_, end - pos_);
        pos_ = end + 1;
    }
    // A stray CR before the line end (a line written with its own CR LF) is no part of it.
    while (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

bool CfgIo::IsLabelLine(const std::string& line, std::string* name) {
    if (line.size() <= 2 || line.front() != '[' || line.back() != ']') return false;
    const size_t first = line.find_first_not_of('[');
    const size_t last = line.find_last_not_of(']');
    if (first == std::string::npos || last == std::string::npos || last < first) {
        name->clear();
    } else {
        *name = line.substr(first, last - first + 1);
    }
    return true;
}

bool CfgIo::ReadLabel(std::string& label) {
    if (pushedBack_) {
        pushedBack_ = false;
        label = pushedLabel_;
        return true;
    }
    std::string line;
    ReadRawLine(line);
    if (IsLabelLine(line, &label)) {
        pushedLabel_ = label;
        return true;
    }
    label.clear();
    platform::Trace("Expected label not found.  Input = %c%s%c\n", '"', line.c_str(), '"');
    return false;
}

bool CfgIo::ReadData(std::string& line) {
    if (!ReadRawLine(line)) return false;
    if (line.empty()) return false;
    if (line.size() <= 2) return true;
    std::string name;
    if (IsLabelLine(line, &name)) {
        pushedLabel_ = name;
        pushedBack_ = true;
        return false;
    }
    pushedBack_ = false;
    return true;
}

bool CfgIo::ReadInt(int32_t& value) {
    std::string line;
    if (!ReadRawLine(line) || line.empty()) return false;
    std::string name;
    if (IsLabelLine(line, &name)) {
        pushedLabel_ = name;
        pushedBack_ = true;
        return false;
    }
    char digits[64];
    CopyToSz(digits, line, sizeof(digits));
    value = platform::AtoL(digits);
    return true;
}

bool CfgIo::IsEOF() const {
    if (mode_ != Mode::Read) return true;
    return !pushedBack_ && pos_ >= text_.size();
}

void CfgIo::CopyToSz(char* dst, const std::string& text, size_t size) {
    if (dst == nullptr || size == 0) return;
    size_t n = 0;
    for (const char c : text) {
        if (n + 1 >= size) break;
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte <= 0x7E) dst[n++] = static_cast<char>(byte);
    }
    dst[n] = '\0';
}
