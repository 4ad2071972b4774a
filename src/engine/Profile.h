#pragma once
// Receiver configuration files (".rcf"): the settings last read from or sent to the
// receiver, the binary log rates and the heading settings.

#include <string>

class CGPS;

class CProfile {
public:
    // gps may be null: the process-wide record is used then.
    explicit CProfile(CGPS* gps = nullptr) : gps_(gps) {}
    virtual ~CProfile() = default;

    // False when the file could not be written; the old file is then left as it was, and
    // LastError() names the file and the OS error ("cannot write /x/y.rcf: No space left on
    // device").
    bool Save(const std::string& path);
    // False when the file could not be read, is larger than 1 MB, holds no setting of a
    // configuration file or sets a key to a value that is no number or that its field cannot
    // take; nothing is sent and nothing changes then, and LastError() names the file and the
    // fault. Otherwise the loaded settings are sent to the receiver.
    bool Load(const std::string& path);

    bool SaveText(const std::string& path);
    bool LoadText(const std::string& path);

    const std::string& LastError() const { return lastError_; }
    // The refused value of the last load ("eGGA=9 in [ThisPortConfig] is not a rate code
    // (0 to 5)"); "" when none was refused.
    const std::string& RefusedValue() const { return refusedValue_; }

    // The sections of the file.
    static const char* const kSections[];

private:
    CGPS& Record();
    CGPS* gps_;
    std::string lastError_;
    std::string refusedValue_;
};
