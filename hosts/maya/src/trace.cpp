// The call log and armed call failures: what a traced API call records,
// and the failures tests arm against the plug-in's calls.
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "trace.h"

namespace mayahost {

using detail::Attribute;

namespace detail {

struct Trace::Call {
    Host::Impl* host;
    CallRecord record;
    MS::MStatusCode injected = MS::kSuccess;
};

Trace::Call* Trace::start(Host::Impl* host, const char* function, std::string_view attribute,
                          std::string&& arguments) {
    auto call = std::make_unique<Call>();
    call->host = host;
    call->record.function = function;
    call->record.attribute = std::string(attribute);
    call->record.arguments = std::move(arguments);
    if (host->failuresArmed.load(std::memory_order_relaxed)) {
        call->injected = host->armedFailure(call->record);
    }
    return call.release();
}

MS::MStatusCode Trace::injectedBy(const Call* call) {
    return call->injected;
}

void Trace::finish(Call* call, MS::MStatusCode status) {
    const std::unique_ptr<Call> owned(call);
    owned->record.status = status;
    owned->host->record(std::move(owned->record));
}

namespace {

// A number or address as printf writes it with `format`, a literal of the
// callers below.
template <class Value>
std::string printed(const char* format, Value value) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string formatArg(float v) {
    return printed("%.9g", static_cast<double>(v));
}

std::string formatArg(double v) {
    return printed("%.17g", v);
}

std::string formatArg(const char* v) {
    if (v == nullptr) {
        return "null";
    }
    // Appended piece by piece: GCC 12 at -O3 takes '"' + std::string(v) for
    // an overlapping copy (-Wrestrict).
    std::string quoted(1, '"');
    quoted.append(v).push_back('"');
    return quoted;
}

std::string formatArg(const void* v) {
    if (v == nullptr) {
        return "null";
    }
    return printed("%p", v);
}

std::string formatArg(const MObject& v) {
    if (v.isNull()) {
        return "null";
    }
    if (Attribute* a = attributeOf(v)) {
        return a->info.longName;
    }
    return "plugin";
}

}  // namespace detail

MS::MStatusCode Host::Impl::armedFailure(const CallRecord& call) {
    std::lock_guard lock(logMutex);
    MS::MStatusCode result = MS::kSuccess;
    for (auto& rule : failures) {
        if (rule.matcher(call)) {
            ++rule.seen;
            if (result == MS::kSuccess && (rule.occurrence == 0 || rule.seen == rule.occurrence)) {
                result = rule.status;
            }
        }
    }
    return result;
}

void Host::Impl::record(CallRecord&& call) {
    if (!logEnabled.load(std::memory_order_relaxed)) {
        return;
    }
    std::lock_guard lock(logMutex);
    log.push_back(std::move(call));
}

void Host::setCallLogEnabled(bool enabled) {
    impl_->logEnabled.store(enabled);
}

std::vector<CallRecord> Host::callLog() const {
    std::lock_guard lock(impl_->logMutex);
    return impl_->log;
}

void Host::clearCallLog() {
    std::lock_guard lock(impl_->logMutex);
    impl_->log.clear();
}

void Host::failCalls(CallMatcher matcher, MS::MStatusCode status, int occurrence) {
    std::lock_guard lock(impl_->logMutex);
    impl_->failures.push_back({std::move(matcher), status, occurrence, 0});
    impl_->failuresArmed.store(true);
}

void Host::failCalls(const std::string& function, const std::string& attribute,
                     MS::MStatusCode status, int occurrence) {
    failCalls(
        [function, attribute](const CallRecord& call) {
            return call.function == function && (attribute.empty() || call.attribute == attribute);
        },
        status, occurrence);
}

void Host::clearCallFailures() {
    std::lock_guard lock(impl_->logMutex);
    impl_->failures.clear();
    impl_->failuresArmed.store(false);
}

}  // namespace mayahost
