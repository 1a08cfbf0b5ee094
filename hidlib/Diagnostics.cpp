#include "Diagnostics.h"

namespace kelvane {

int Diagnostic(const char* /*text*/) {
    return 0;
}

} // namespace kelvane
