// Result of an API call: a status code and its text.
#pragma once

#include <maya/MTypes.h>

OPENMAYA_MAJOR_NAMESPACE_OPEN

namespace MS {
enum MStatusCode {
    kSuccess = 0,
    kFailure = 1,
    kInsufficientMemory = 2,
    kInvalidParameter = 3,
    kLicenseFailure = 4,
    kUnknownParameter = 5,
    kNotImplemented = 6,
    kNotFound = 7,
    kEndOfFile = 8,
};
}  // namespace MS

class FND_EXPORT MStatus {
public:
    using MStatusCode = MS::MStatusCode;

    MStatus() = default;
    MStatus(MStatusCode code) : code_(code) {}
    MStatus(const MStatus&) = default;
    MStatus& operator=(const MStatus&) = default;

    bool operator==(const MStatus& other) const { return code_ == other.code_; }
    bool operator==(MStatusCode code) const { return code_ == code; }
    bool operator!=(const MStatus& other) const { return code_ != other.code_; }
    bool operator!=(MStatusCode code) const { return code_ != code; }
    explicit operator bool() const { return code_ == MS::kSuccess; }

    bool error() const { return code_ != MS::kSuccess; }
    void clear() { code_ = MS::kSuccess; }
    MStatusCode statusCode() const { return code_; }

    // The status's own text, for example "Invalid Parameter".
    const char* errorString() const;

    // Writes the status's text to the standard error stream, after
    // `prefix` and ": " when the prefix is not empty, and ends the line.
    void perror(const char* prefix) const;
    void perror(const MString& prefix) const;

private:
    MStatusCode code_ = MS::kSuccess;
};
OPENMAYA_NAMESPACE_CLOSE
