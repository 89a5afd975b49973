// Files that change together or not at all. Each file is written under a
// temporary name beside its target; commit renames them into place, and if
// one rename fails the files renamed before it get their earlier contents
// back. Temporaries left uncommitted are removed.
#pragma once

#include <string>
#include <vector>

namespace vaskur_geo {

class FileBatch {
public:
    FileBatch() = default;
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // A new empty temporary beside `target`, to be written by the caller.
    // False with a reason naming the target when the target is a directory
    // or nothing can be created beside it.
    bool add(const std::string& target, std::string& temporary, std::string& error);

    // Renames every temporary over its target. False with a reason when one
    // cannot be; every target then holds what it held before.
    bool commit(std::string& error);

private:
    struct Entry {
        std::string target;
        std::string temporary;
        std::string backup;   // the earlier target while the batch is renamed
    };
    void rollBack(std::size_t renamed);
    void removeTemporaries();

    std::vector<Entry> entries_;
};

} // namespace vaskur_geo
