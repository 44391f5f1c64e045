// A character string.
#pragma once

#include <maya/MTypes.h>

#include <string>

OPENMAYA_MAJOR_NAMESPACE_OPEN

class FND_EXPORT MString {
public:
    MString();
    MString(const char* text);
    MString(const MString& other);
    ~MString();
    MString& operator=(const MString& other);
    MString& operator=(const char* text);

    MString& operator+=(const MString& other);
    MString& operator+=(const char* text);

    bool operator==(const MString& other) const;
    bool operator==(const char* text) const;
    bool operator!=(const MString& other) const { return !(*this == other); }
    bool operator!=(const char* text) const { return !(*this == text); }

    const char* asChar() const;
    unsigned int length() const;

private:
    std::string text_;
};
OPENMAYA_NAMESPACE_CLOSE
