// One traced API call of the plug-in: formatted, checked against armed
// failures and logged only while the log is on or failures are armed.
// Internal to the OpenMaya library.
#pragma once

#include <maya/MObject.h>
#include <maya/MStatus.h>

#include <string>
#include <string_view>

#include "hostRecords.h"

namespace mayahost::detail {

// Formatting of call arguments for the log.
inline std::string formatArg(bool v) {
    return v ? "true" : "false";
}
std::string formatArg(float v);
std::string formatArg(double v);
std::string formatArg(const char* v);
std::string formatArg(const void* v);
inline std::string formatArg(int v) {
    return std::to_string(v);
}
inline std::string formatArg(unsigned int v) {
    return std::to_string(v);
}
std::string formatArg(const MObject& v);

template <class... Args>
std::string formatArgs(const Args&... args) {
    std::string out;
    bool first = true;
    ((out += first ? "" : ", ", out += formatArg(args), first = false), ...);
    return out;
}

// One traced API call: formats and checks for an armed failure only when
// the log is on or failures are armed, and logs the outcome. With both off a
// call costs a few loads and no stores: the record, its strings and the
// attribute's name are made, on the heap, only when the call is traced.
class Trace {
public:
    template <class Name, class MakeArgs>
    Trace(const char* function, const Name& attribute, MakeArgs&& makeArgs) {
        Host::Impl* const host = currentHost();
        if (host != nullptr && host->tracing()) [[unlikely]] {
            call_ = start(host, function, std::string_view(attribute), makeArgs());
        }
    }
    template <class Name>
    Trace(const char* function, const Name& attribute)
        : Trace(function, attribute, [] { return std::string(); }) {}

    // The status an armed failure imposes on this call, or kSuccess.
    bool failed() const { return injected() != MS::kSuccess; }
    MS::MStatusCode injected() const { return call_ != nullptr ? injectedBy(call_) : MS::kSuccess; }
    Host::Impl* host() const { return currentHost(); }

    MStatus done(MStatus status) {
        if (call_ != nullptr) [[unlikely]] {
            finish(call_, status.statusCode());
            call_ = nullptr;
        }
        return status;
    }
    ~Trace() {
        if (call_ != nullptr) [[unlikely]] {
            finish(call_, MS::kSuccess);
        }
    }
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

private:
    struct Call;
    // Out of line: they make, check, log and free the record.
    static Call* start(Host::Impl* host, const char* function, std::string_view attribute,
                       std::string&& arguments);
    static MS::MStatusCode injectedBy(const Call* call);
    static void finish(Call* call, MS::MStatusCode status);

    Call* call_ = nullptr;
};

}  // namespace mayahost::detail
