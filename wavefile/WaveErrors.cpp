#include "WaveErrors.h"

#include <cctype>
#include <cerrno>
#include <cstring>

namespace WaveErrors {

std::string FileProblem::Reason() const {
    return Errno != 0 ? ReasonText(Errno) : m_FileReason;
}

std::string ReasonText(int error) {
    switch (error) {
    case 0:
        return "";
    case ENOSPC:
        return "no space left on the disk";
    case EDQUOT:
        return "the disk quota is used up";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the disk is read-only";
    case ENOENT:
        return "no such file or folder";
    case ENOTDIR:
        return "a part of the path is not a folder";
    case EISDIR:
        return "it is a folder";
    case ENAMETOOLONG:
        return "the name is too long";
    case EFBIG:
        return "the file has grown too large";
    case EIO:
        return "the disk reported an input/output error";
    case EMFILE:
    case ENFILE:
        return "too many files are open";
    case ELOOP:
        return "it is a symbolic link";
    case EAGAIN:
        return "another program is writing it";
    case ENODEV:
    case ENXIO:
        return "the device is gone";
    case ESTALE:
    case ENOTCONN:
    case EHOSTDOWN:
    case EHOSTUNREACH:
        return "the network share cannot be reached";
    case ENOMEM:
        return "the computer is out of memory";
    default:
        break;
    }
    char buffer[128];
    // The GNU strerror_r: thread-safe, answers with its own text or one in buffer.
    std::string text = ::strerror_r(error, buffer, sizeof buffer);
    if (!text.empty())
        text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
    return text;
}

std::string ReasonText(std::exception_ptr problem) {
    if (!problem)
        return "";
    try {
        std::rethrow_exception(problem);
    } catch (const FileProblem& e) {
        return e.Reason();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

std::string CurrentReason() {
    return ReasonText(std::current_exception());
}

} // namespace WaveErrors
