#include "LastError.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace kelvane {
namespace {

struct Failure {
    int error = 0;
    std::string text;
};

// Built on first use. Every CKelvane constructor uses it, so it is built before any
// object (the plain interface's static ones included) and destroyed after all of them.
std::mutex& TableLock() {
    static std::mutex lock;
    return lock;
}

std::map<const CKelvane*, Failure>& Table() {
    static std::map<const CKelvane*, Failure> table;
    return table;
}

} // namespace

void SetLastError(const CKelvane* object, int error, const std::string& text) {
    try {
        std::lock_guard lock(TableLock());
        Table()[object] = Failure{error != 0 ? error : EIO, text};
    } catch (...) {
        // Out of memory: the result still says that the call failed.
    }
}

void ClearLastError(const CKelvane* object) {
    ForgetLastError(object);
}

int CopyLastError(const CKelvane* object, char* buffer, int size) {
    std::lock_guard lock(TableLock());
    const auto found = Table().find(object);
    const char* text = found != Table().end() ? found->second.text.c_str() : "";
    if (buffer != nullptr && size > 0) {
        const std::size_t n = strnlen(text, static_cast<std::size_t>(size) - 1);
        std::memcpy(buffer, text, n);
        buffer[n] = '\0';
    }
    return found != Table().end() ? found->second.error : 0;
}

void CopyLastErrorTo(const CKelvane* to, const CKelvane* from) {
    try {
        std::lock_guard lock(TableLock());
        const auto found = Table().find(from);
        if (found != Table().end()) {
            Table()[to] = found->second;
        } else {
            Table().erase(to);
        }
    } catch (...) {
    }
}

void ForgetLastError(const CKelvane* object) {
    std::lock_guard lock(TableLock());
    Table().erase(object);
}

std::string WithReason(const std::string& what, int error) {
    char buffer[128];
    // The GNU strerror_r: thread-safe, answers with its own text or one in buffer.
    return what + ": " + ::strerror_r(error, buffer, sizeof buffer);
}

} // namespace kelvane
