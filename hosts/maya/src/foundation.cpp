// Foundation: status and string.
#include <maya/MStatus.h>
#include <maya/MString.h>

#include <cstdio>
#include <cstring>

const char* MStatus::errorString() const {
    switch (code_) {
        case MS::kSuccess:
            return "Success";
        case MS::kFailure:
            return "Unexpected Internal Failure";
        case MS::kInsufficientMemory:
            return "Insufficient Memory";
        case MS::kInvalidParameter:
            return "Invalid Parameter";
        case MS::kLicenseFailure:
            return "License Failure";
        case MS::kUnknownParameter:
            return "Unknown Parameter";
        case MS::kNotImplemented:
            return "Not Implemented";
        case MS::kNotFound:
            return "Not Found";
        case MS::kEndOfFile:
            return "End of File";
    }
    return "Unknown Status";
}

// Through C's unbuffered stderr, like the plug-in's own reports: no C++
// streams, so the stand-in builds in the MSVC ABI too.
void MStatus::perror(const char* prefix) const {
    if (prefix != nullptr && prefix[0] != '\0') {
        std::fprintf(stderr, "%s: %s\n", prefix, errorString());
    } else {
        std::fprintf(stderr, "%s\n", errorString());
    }
}

void MStatus::perror(const MString& prefix) const {
    perror(prefix.asChar());
}

MString::MString() = default;
MString::MString(const char* text) : text_(text != nullptr ? text : "") {}
MString::MString(const MString& other) = default;
MString::~MString() = default;
MString& MString::operator=(const MString& other) = default;

MString& MString::operator=(const char* text) {
    text_ = text != nullptr ? text : "";
    return *this;
}

MString& MString::operator+=(const MString& other) {
    text_ += other.text_;
    return *this;
}

MString& MString::operator+=(const char* text) {
    if (text != nullptr) {
        text_ += text;
    }
    return *this;
}

bool MString::operator==(const MString& other) const {
    return text_ == other.text_;
}

bool MString::operator==(const char* text) const {
    return text != nullptr && text_ == text;
}

const char* MString::asChar() const {
    return text_.c_str();
}

unsigned int MString::length() const {
    return static_cast<unsigned int>(text_.size());
}
