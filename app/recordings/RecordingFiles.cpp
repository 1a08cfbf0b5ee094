#include "RecordingFiles.h"

#include "RecordingName.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace {

// Renames without ever replacing: a file that has the new name, even one made a moment ago by
// another program, is kept and the rename refused.
int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // A file system without that kind of rename: a hard link refuses an existing name too.
    if (::link(from.c_str(), to.c_str()) != 0)
        return errno;
    ::unlink(from.c_str());
    return 0;
}

// The same file, by its identity where both exist, else by the path as written.
bool SameFile(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    const bool same = std::filesystem::equivalent(a, b, error);
    return error ? a == b : same;
}

} // namespace

std::string RecordingFiles::PathOf(const std::string& name) {
    return m_Host.RecordingsFolder() + "/" + name;
}

std::string RecordingFiles::InUse(const std::string& name) {
    const std::string path = PathOf(name);
    if (SameFile(path, m_Host.RecordingPath()))
        return name + " is being recorded; save the recording first.";
    if (SameFile(path, m_Host.PlayingPath()))
        return name + " is open for playback; stop it first.";
    return "";
}

std::string RecordingFiles::InProgressName() {
    const std::filesystem::path recording(m_Host.RecordingPath());
    if (recording.empty())
        return "";
    const std::string name = recording.filename().string();
    return SameFile(recording.string(), PathOf(name)) ? name : "";
}

RecordingFiles::Outcome RecordingFiles::Rename(const std::string& name, const std::string& title) {
    if (std::string busy = InUse(name); !busy.empty())
        return {false, busy, name};
    const std::optional<std::string> renamed = RetitledRecording(name, title);
    if (!renamed)
        return {false, "\"" + title + "\" cannot stand in a file name.", name};
    if (*renamed == name)
        return {true, "", name};
    if (const int error = RenameNoReplace(PathOf(name), PathOf(*renamed)); error != 0) {
        const std::string why = error == EEXIST ? "a file of that name exists" : std::strerror(error);
        return {false, name + " was not renamed: " + why + ".", name};
    }
    m_Host.RecordingRenamed(name, *renamed);
    return {true, name + " is now " + *renamed + ".", *renamed};
}

RecordingFiles::Outcome RecordingFiles::MoveToTrash(const std::string& name) {
    if (std::string busy = InUse(name); !busy.empty())
        return {false, busy, name};
    // The trash lies in the user's data folder. Qt puts a file whose trash folder it cannot make
    // into "files/" under the current directory (the recordings folder), where no file manager
    // looks; the data folder is made first, and a file that still lands anywhere but an absolute
    // trash path is put back.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    const QString path = QString::fromStdString(PathOf(name));
    QFile file(path);
    if (!file.moveToTrash())
        return {false, name + " could not be moved to the trash: " + file.errorString().toStdString() + ".",
                name};
    if (QDir::isRelativePath(file.fileName())) {
        QFile::rename(file.fileName(), path);
        return {false, name + " could not be moved to the trash: there is no trash folder.", name};
    }
    m_Host.RecordingRemoved(name);
    return {true, name + " was moved to the trash.", ""};
}
