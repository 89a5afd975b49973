// Masks and wildcards, reading and sorting a directory by attributes, and
// the path edits of the file selector (parent, home, separators).
#include "gui/FileList.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

namespace filelist {

namespace {

bool isDotName(const std::string& name) { return name == "." || name == ".."; }

std::string trimmed(const std::string& text)
{
    const char* blanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    const std::size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

int lowerByte(unsigned char c)
{
    // Latin-1 capitals (0xc0 to 0xde, but not the multiplication sign) fold too.
    if (c >= 'A' && c <= 'Z')
        return c + 32;
    if (c >= 0xc0 && c <= 0xde && c != 0xd7)
        return c + 32;
    return c;
}

int compareIgnoringCase(const std::string& a, const std::string& b)
{
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const int ca = lowerByte(static_cast<unsigned char>(a[i]));
        const int cb = lowerByte(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return 0;
}

} // namespace

bool examine(const std::string& directory, const std::string& name, FileEntry& entry)
{
    const std::string full = (directory.empty() ? std::string("./") : withSeparator(directory)) + name;
    entry = FileEntry{};
    entry.name = name;
    struct stat st {};
    if (::stat(full.c_str(), &st) != 0) {
        // A link leading nowhere is still an entry of the directory.
        if (::lstat(full.c_str(), &st) != 0)
            return false;
    }
    int attributes = 0;
    if (S_ISDIR(st.st_mode)) {
        attributes |= ATTRIBUTE_DIRECTORY;
    } else if (S_ISREG(st.st_mode)) {
        attributes |= ATTRIBUTE_ARCHIVE;
        if (::access(full.c_str(), W_OK) != 0)
            attributes |= ATTRIBUTE_READONLY;
    } else {
        attributes |= ATTRIBUTE_SYSTEM;
    }
    if (!name.empty() && name[0] == '.' && !isDotName(name))
        attributes |= ATTRIBUTE_HIDDEN;
    entry.attributes = attributes;
    entry.time = st.st_mtime;
    entry.size = static_cast<std::int64_t>(st.st_size);
    return true;
}

std::vector<std::string> splitMasks(const char* masks)
{
    std::vector<std::string> items;
    if (!masks || !*masks) {
        items.emplace_back("All files (*.*)");
        return items;
    }
    std::string text(masks);
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = text.find('|', start);
        items.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    return items;
}

std::vector<std::string> maskPatterns(const std::string& mask)
{
    std::vector<std::string> patterns;
    const std::size_t open = mask.find('(');
    std::string text = open == std::string::npos ? mask : mask.substr(open + 1);
    std::size_t start = 0;
    for (;;) {
        const std::size_t semicolon = text.find(';', start);
        std::string piece =
            text.substr(start, semicolon == std::string::npos ? std::string::npos : semicolon - start);
        const std::size_t close = piece.find(')');
        if (close != std::string::npos)
            piece.erase(close);
        piece = trimmed(piece);
        if (!piece.empty())
            patterns.push_back(piece);
        if (semicolon == std::string::npos)
            break;
        start = semicolon + 1;
    }
    return patterns;
}

bool matches(const std::string& name, const std::string& pattern)
{
    if (pattern == "*.*" || pattern == "*")
        return true;
    // Both sides in small letters (Latin-1 ones too), then an exact match.
    auto folded = [](std::string text) {
        for (char& c : text)
            c = static_cast<char>(lowerByte(static_cast<unsigned char>(c)));
        return text;
    };
    return ::fnmatch(folded(pattern).c_str(), folded(name).c_str(), 0) == 0;
}

int searchMask(int base, int ticked)
{
    int mask = base;
    for (int bit : {ATTRIBUTE_ARCHIVE, ATTRIBUTE_HIDDEN, ATTRIBUTE_SYSTEM, ATTRIBUTE_READONLY})
        if (!(ticked & bit))
            mask &= ~bit;
    return mask;
}

bool allowed(const FileEntry& entry, int mask)
{
    if (entry.isDirectory() && !(mask & ATTRIBUTE_DIRECTORY))
        return false;
    return (entry.attributes & ~ATTRIBUTE_DIRECTORY & ~mask) == 0;
}

std::vector<FileEntry> readDirectory(const std::string& directory, bool directories, int ticked,
                                     const std::vector<std::string>& patterns)
{
    std::vector<FileEntry> found;
    const std::string where = directory.empty() ? std::string(".") : directory;
    DIR* dir = ::opendir(where.c_str());
    if (!dir) {
        // Nothing can be read here; offer the way back up.
        char resolved[PATH_MAX];
        const bool atRoot = ::realpath(where.c_str(), resolved) && std::strcmp(resolved, "/") == 0;
        if (directories && !atRoot) {
            FileEntry up;
            up.name = "..";
            up.attributes = ATTRIBUTE_DIRECTORY;
            found.push_back(up);
        }
        return found;
    }
    std::vector<std::string> names;
    while (const dirent* d = ::readdir(dir))
        names.emplace_back(d->d_name);
    ::closedir(dir);

    const int directoryMask = searchMask(ATTRIBUTE_ALL, ticked);
    const int fileMask = searchMask(ATTRIBUTE_ALL & ~ATTRIBUTE_DIRECTORY, ticked);
    for (const std::string& name : names) {
        FileEntry entry;
        if (!examine(directory, name, entry)) {
            if (!isDotName(name))
                continue;
            entry.name = name;
            entry.attributes = ATTRIBUTE_DIRECTORY;
        }
        if (entry.isDirectory()) {
            if (directories && allowed(entry, directoryMask))
                found.push_back(entry);
            continue;
        }
        if (!allowed(entry, fileMask))
            continue;
        for (const std::string& pattern : patterns) {
            if (matches(name, pattern)) {
                found.push_back(entry);
                break;
            }
        }
    }
    return found;
}

bool listsBefore(const FileEntry& a, const FileEntry& b)
{
    if (a.isDirectory() != b.isDirectory())
        return a.isDirectory();
    const int dotA = a.name == "." ? 0 : a.name == ".." ? 1 : 2;
    const int dotB = b.name == "." ? 0 : b.name == ".." ? 1 : 2;
    if (dotA != dotB)
        return dotA < dotB;
    const int c = compareIgnoringCase(a.name, b.name);
    if (c != 0)
        return c < 0;
    return a.name < b.name;
}

void sortEntries(std::vector<FileEntry>& entries)
{
    std::stable_sort(entries.begin(), entries.end(), listsBefore);
}

std::string directoryPart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string namePart(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWithSeparator(const std::string& path) { return !path.empty() && path.back() == '/'; }

std::string withSeparator(const std::string& path)
{
    if (path.empty() || endsWithSeparator(path))
        return path;
    return path + '/';
}

std::string dropLastComponent(const std::string& path)
{
    if (path == "/")
        return path;
    std::string rest = path;
    if (endsWithSeparator(rest))
        rest.pop_back();
    return directoryPart(rest);
}

std::string parentDirectory(const std::string& directory)
{
    std::string dir = withSeparator(directory);
    if (dir == "/")
        return dir;
    if (dir.empty())
        return "../";
    const std::string last = namePart(dir.substr(0, dir.size() - 1));
    if (last == "..")
        return dir + "../";
    if (last == ".")
        return dropLastComponent(dir) + "../";
    return dropLastComponent(dir);
}

bool isDirectory(const std::string& path)
{
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string currentDirectory()
{
    char buffer[PATH_MAX];
    if (::getcwd(buffer, sizeof buffer)) {
        std::string dir = withSeparator(buffer);
        if (dir.size() <= pathCapacity)
            return dir;
    }
    return "./";
}

std::string expandHome(const std::string& path)
{
    if (path.empty() || path[0] != '~' || (path.size() > 1 && path[1] != '/'))
        return path;
    const char* home = std::getenv("HOME");
    if (!home || !*home)
        return path;
    std::string base(home);
    if (endsWithSeparator(base) && base != "/")
        base.pop_back();
    if (base == "/")
        return path.size() > 1 ? path.substr(1) : std::string("/");
    return base + path.substr(1);
}

std::string displayName(const std::string& name)
{
    // First try UTF-8 holding only Latin-1 characters.
    std::string decoded;
    bool utf8 = true;
    bool wide = false;
    for (std::size_t i = 0; i < name.size() && utf8;) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c < 0x80) {
            decoded += static_cast<char>(c);
            ++i;
        } else if ((c == 0xc2 || c == 0xc3) && i + 1 < name.size() &&
                   (static_cast<unsigned char>(name[i + 1]) & 0xc0) == 0x80) {
            const int code = ((c & 0x1f) << 6) | (static_cast<unsigned char>(name[i + 1]) & 0x3f);
            decoded += static_cast<char>(code);
            wide = true;
            i += 2;
        } else {
            utf8 = false;
        }
    }
    std::string shown = (utf8 && wide) ? decoded : name;
    for (char& ch : shown) {
        const unsigned char c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7f || (c >= 0x80 && c < 0xa0))
            ch = '?';
    }
    return shown;
}

namespace {

// Rebuilds a '/'-separated path component by component: `change` gets the
// path rebuilt so far and the next component, and gives what takes the
// component's place. The separators stay as they are.
template <class Change>
std::string mapComponents(const std::string& path, Change change)
{
    std::string out;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        const std::size_t end = slash == std::string::npos ? path.size() : slash;
        out += change(out, path.substr(start, end - start));
        if (slash == std::string::npos)
            return out;
        out += '/';
        start = slash + 1;
    }
}

// The entry of `directory` (the current one when empty) that displayName
// shows as `shown`, the lowest in byte order when several are; empty when
// there is none.
std::string entryShownAs(const std::string& directory, const std::string& shown)
{
    DIR* dir = ::opendir(directory.empty() ? "." : directory.c_str());
    if (!dir)
        return {};
    std::string found;
    while (const dirent* d = ::readdir(dir)) {
        const std::string name = d->d_name;
        if (displayName(name) == shown && (found.empty() || name < found))
            found = name;
    }
    ::closedir(dir);
    return found;
}

} // namespace

std::string shownPath(const std::string& path)
{
    return mapComponents(path, [](const std::string&, const std::string& component) {
        return displayName(component);
    });
}

std::string fileSystemPath(const std::string& shown)
{
    return mapComponents(shown, [](const std::string& path, const std::string& component) {
        struct stat st {};
        if (component.empty() || isDotName(component) || ::lstat((path + component).c_str(), &st) == 0)
            return component;
        const std::string found = entryShownAs(path, component);
        return found.empty() ? component : found;
    });
}

} // namespace filelist
