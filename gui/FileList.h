// Directory listing and path handling for the file selector
// (gui/FileSelector.h), without drawing.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Directory listing for the file selector: file attribute bits, file masks,
// wildcard patterns, reading a directory with attribute filters, sorting,
// and the path edits the selector makes. Nothing here draws or needs Allegro
// to be running.
//
// Paths are byte strings as the file system has them (a name need not be
// valid Latin-1 or UTF-8); the separator is '/'.

// Attribute bits of a directory entry (Allegro's FA_ values).
enum : int {
    ATTRIBUTE_READONLY  = 0x01,
    ATTRIBUTE_HIDDEN    = 0x02,
    ATTRIBUTE_SYSTEM    = 0x04,
    ATTRIBUTE_DIRECTORY = 0x10,
    ATTRIBUTE_ARCHIVE   = 0x20,
    ATTRIBUTE_ALL       = 0xff,
};

// One directory entry as found.
struct FileEntry {
    std::string name;      // the name as stored in the directory
    int attributes = 0;    // ATTRIBUTE_ bits
    std::time_t time = 0;  // last modification
    std::int64_t size = 0; // bytes
    bool isDirectory() const { return (attributes & ATTRIBUTE_DIRECTORY) != 0; }
    // "." or "..".
    bool isDotEntry() const { return name == "." || name == ".."; }
};

namespace filelist {

// The longest path the selector's file-name box holds.
inline constexpr std::size_t pathCapacity = 256;

// The attribute bits of a file in `directory` (which may be empty for the
// current directory): a directory is ATTRIBUTE_DIRECTORY; a regular file is
// ATTRIBUTE_ARCHIVE, and ATTRIBUTE_READONLY when the user may not write it;
// anything else (devices, pipes, sockets, links leading nowhere) is
// ATTRIBUTE_SYSTEM. A name starting with "." (other than "." and "..") adds
// ATTRIBUTE_HIDDEN. Fills `entry`; false when the entry cannot be examined
// at all.
bool examine(const std::string& directory, const std::string& name, FileEntry& entry);

// The items of a mask text: pieces between "|". Without a text (null or
// empty) the single item "All files (*.*)".
std::vector<std::string> splitMasks(const char* masks);

// The wildcard patterns of one mask item: the text from its "(" on (the
// whole text when there is none), split at ";", with "(" and ")" and
// surrounding blanks dropped; empty pieces are left out.
std::vector<std::string> maskPatterns(const std::string& mask);

// Does a name match a wildcard pattern ("*", "?", "[...]")? Letters match
// regardless of case; "*.*" and "*" match every name.
bool matches(const std::string& name, const std::string& pattern);

// The attribute mask a search allows, starting from `base` (255 for
// directories, 239 for files) and taking out the bits whose check boxes are
// not ticked. `ticked` holds the ticked ATTRIBUTE_ARCHIVE, _HIDDEN, _SYSTEM
// and _READONLY bits.
int searchMask(int base, int ticked);

// Is an entry allowed by a search mask? Every attribute bit of the entry
// except ATTRIBUTE_DIRECTORY must be in the mask, and a directory needs
// ATTRIBUTE_DIRECTORY in it.
bool allowed(const FileEntry& entry, int mask);

// Reads a directory as the file list shows it: with `directories`, every
// subdirectory (and "." and "..") the ticked attributes allow; then every
// other entry that the ticked attributes allow and that matches one of the
// patterns (each entry once). `ticked` as for searchMask. A directory that
// cannot be read yields only ".." (so that the user can leave it), or
// nothing at the root. An empty `directory` means the current one.
std::vector<FileEntry> readDirectory(const std::string& directory, bool directories, int ticked,
                                     const std::vector<std::string>& patterns);

// Directories before files; "." and ".." first; then by name ignoring case
// (names equal but for case in byte order).
bool listsBefore(const FileEntry& a, const FileEntry& b);
void sortEntries(std::vector<FileEntry>& entries);

// --- Paths ---

// The path up to and including its last separator ("" when there is none).
std::string directoryPart(const std::string& path);
// The last component of a path after its last separator.
std::string namePart(const std::string& path);
bool endsWithSeparator(const std::string& path);
// Adds a separator unless the path is empty or ends with one.
std::string withSeparator(const std::string& path);
// Removes the last component of a path, with the separator that ends it if
// it is a directory: "/a/b/c.raw" -> "/a/b/", "/a/b/" -> "/a/". The root
// "/" stays.
std::string dropLastComponent(const std::string& path);
// The directory above a directory path ("/a/b/" -> "/a/"). Paths that end
// in "." or ".." or have no directory part go up with "../".
std::string parentDirectory(const std::string& directory);
// Is `path` an existing directory (following links)?
bool isDirectory(const std::string& path);
// The current directory with a trailing separator ("./" when it does not
// fit into pathCapacity or cannot be found).
std::string currentDirectory();
// "~" or "~/..." with the home directory put in (as given otherwise).
std::string expandHome(const std::string& path);

// How a name is shown: a name in UTF-8 whose characters are all Latin-1 is
// shown in Latin-1; control characters (and bytes of broken UTF-8 below
// 0xa0) are shown as "?"; other bytes as they are.
std::string displayName(const std::string& name);

// A path as the file-name box shows it: every component as displayName
// shows it, the separators as they are.
std::string shownPath(const std::string& path);

// The path in the file system that a shown (or typed) path names, component
// by component: a component that exists as written is kept; otherwise an
// entry of the directory so far that is shown that way takes its place (the
// lowest in byte order when several are); a component found neither way
// (a new file, a missing directory) stays as written.
std::string fileSystemPath(const std::string& shown);

} // namespace filelist
