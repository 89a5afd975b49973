// Temporaries, renames and the way back for FileBatch.
#include "tools/vaskur-geo/FileBatch.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace vaskur_geo {

namespace {

// A new file named after `path` with a unique ending, given the usual
// permissions (mkstemp makes it private); empty when none can be made.
std::string uniqueBeside(const std::string& path)
{
    std::string name = path + ".XXXXXX";
    const int fd = mkstemp(name.data());
    if (fd < 0)
        return {};
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return name;
}

bool isDirectory(const std::string& path)
{
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool exists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;
}

} // namespace

FileBatch::~FileBatch()
{
    removeTemporaries();
}

bool FileBatch::add(const std::string& target, std::string& temporary, std::string& error)
{
    if (isDirectory(target)) {
        error = "cannot write " + target + ": it is a directory";
        return false;
    }
    temporary = uniqueBeside(target);
    if (temporary.empty()) {
        error = "cannot write " + target + ": " + std::strerror(errno);
        return false;
    }
    entries_.push_back({target, temporary, {}});
    return true;
}

bool FileBatch::commit(std::string& error)
{
    // First every earlier target steps aside (a hard link where the file
    // system allows, so the target never vanishes), then the new files take
    // their places.
    for (Entry& e : entries_) {
        if (!exists(e.target))
            continue;
        e.backup = uniqueBeside(e.target);
        if (!e.backup.empty())
            std::remove(e.backup.c_str());
        const bool kept = !e.backup.empty()
            && (link(e.target.c_str(), e.backup.c_str()) == 0 || std::rename(e.target.c_str(), e.backup.c_str()) == 0);
        if (!kept) {
            error = "cannot write " + e.target + ": " + std::strerror(errno);
            e.backup.clear();
            rollBack(0);
            return false;
        }
    }
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        if (std::rename(e.temporary.c_str(), e.target.c_str()) != 0) {
            error = "cannot write " + e.target + ": " + std::strerror(errno);
            rollBack(i);
            return false;
        }
        e.temporary.clear();
    }
    for (Entry& e : entries_)
        if (!e.backup.empty())
            std::remove(e.backup.c_str());
    entries_.clear();
    return true;
}

void FileBatch::rollBack(std::size_t renamed)
{
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        Entry& e = entries_[i];
        if (i < renamed)
            std::remove(e.target.c_str());
        if (!e.backup.empty())
            std::rename(e.backup.c_str(), e.target.c_str());
        e.backup.clear();
    }
}

void FileBatch::removeTemporaries()
{
    for (const Entry& e : entries_)
        if (!e.temporary.empty())
            std::remove(e.temporary.c_str());
    entries_.clear();
}

} // namespace vaskur_geo
