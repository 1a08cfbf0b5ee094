// The reason of each object's last failure: an errno and a text in Linux terms
// ("cannot open /dev/hidraw2 for reading: Permission denied"), beside the 0/1/-1
// results that callers of the class were written against.
//
// Kept in a table beside the objects, not in them: the size and layout of
// CKelvane are part of the library's binary interface (programs built against an
// earlier header allocate the objects themselves), so the class gains no member.
// The table has a lock of its own, since Write may run on another thread than
// Read.
#pragma once

#include <string>

class CKelvane;

namespace kelvane {

// Records a failure of `object`. error 0 is taken as EIO: a failure always has a
// reason.
void SetLastError(const CKelvane* object, int error, const std::string& text);
// The object has no failure to report (a new object, a successful Open).
void ClearLastError(const CKelvane* object);
// The errno of the object's last failure, 0 when none; its text goes into
// buffer (at most size - 1 characters and a NUL) when buffer is not null.
int CopyLastError(const CKelvane* object, char* buffer, int size);
// operator= copies the failure with the channels; the destructor forgets it.
void CopyLastErrorTo(const CKelvane* to, const CKelvane* from);
void ForgetLastError(const CKelvane* object);

// "<what>: <the system's text for error>".
std::string WithReason(const std::string& what, int error);

} // namespace kelvane
