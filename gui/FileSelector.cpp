// The file selector: entry icons, its widgets, filling the lists, the path
// box and walking folders, and its popup returning the chosen path.
#include "gui/FileSelector.h"

#include <cctype>

#include <allegro.h>

#include "gui/Bitmap.h"

using namespace filelist;

// ------------------------------------------------------------ FileItem

FileItem::FileItem(const FileEntry& entry) : ListItem(entry.name.c_str()), entry_(entry) {}

void FileItem::drawFolderIcon(BITMAP* bmp, int x, int y)
{
    const int back = makecol(110, 105, 80);
    const int front = makecol(240, 230, 120);
    const int outline = makecol(96, 88, 64);
    // The back with its tab, then the front flap lying a little lower.
    rectfill(bmp, x, y + 1, x + 5, y + 2, back);
    rect(bmp, x, y + 1, x + 5, y + 2, outline);
    rectfill(bmp, x, y + 2, x + 12, y + 11, back);
    rect(bmp, x, y + 2, x + 12, y + 11, outline);
    const int flap[] = {x + 1, y + 11, x + 3, y + 5, x + 13, y + 5, x + 11, y + 11};
    polygon(bmp, 4, flap, front);
    line(bmp, x + 1, y + 11, x + 3, y + 5, outline);
    line(bmp, x + 3, y + 5, x + 13, y + 5, outline);
    line(bmp, x + 13, y + 5, x + 11, y + 11, outline);
    line(bmp, x + 11, y + 11, x + 1, y + 11, outline);
}

void FileItem::drawPageIcon(BITMAP* bmp, int x, int y)
{
    const int white = makecol(255, 255, 255);
    const int black = makecol(0, 0, 0);
    // A sheet with its top-right corner folded down.
    const int sheet[] = {x + 2, y, x + 8, y, x + 11, y + 3, x + 11, y + 11, x + 2, y + 11};
    polygon(bmp, 5, sheet, white);
    line(bmp, x + 2, y, x + 8, y, black);
    line(bmp, x + 8, y, x + 11, y + 3, black);
    line(bmp, x + 11, y + 3, x + 11, y + 11, black);
    line(bmp, x + 11, y + 11, x + 2, y + 11, black);
    line(bmp, x + 2, y + 11, x + 2, y, black);
    line(bmp, x + 8, y, x + 8, y + 3, black);
    line(bmp, x + 8, y + 3, x + 11, y + 3, black);
}

void FileItem::draw(Bitmap& canvas, int state, const Widget& list)
{
    drawBackground(canvas, state, list);
    BITMAP* b = canvas.bitmap();
    if (!b)
        return;
    if (!entry_.isDotEntry()) {
        const int top = (b->h - 12) / 2;
        if (entry_.isDirectory())
            drawFolderIcon(b, 4, top);
        else
            drawPageIcon(b, 4, top);
    }
    drawText(canvas, displayName(entry_.name).c_str(), 21, state, list);
}

// ------------------------------------------------------------ client area

// The selector's client area. An exit button closes the client area before
// its activation reaches the window, so which one closed it is noted here.
class FileSelector::Client : public WindowClient {
public:
    explicit Client(FileSelector& owner) : owner_(owner) {}

    void handleEvent(Widget* widget, int message, int argument1, int argument2) override
    {
        if (message == MSG_ACTIVATE) {
            if (widget == &owner_.ok_)
                owner_.chosen_ = true;
            else if (widget == &owner_.cancel_)
                owner_.chosen_ = false;
        }
        WindowClient::handleEvent(widget, message, argument1, argument2);
    }

private:
    FileSelector& owner_;
};

// ------------------------------------------------------------ FileSelector

namespace {
constexpr int clientWidth = 400;
constexpr int clientHeight = 300;

// The shortcut keys: Ctrl with the underlined letter.
constexpr int ctrl(char letter) { return letter - 'A' + 1; }
} // namespace

FileSelector::FileSelector(const char* title, const char* path, const char* masks, int attributes)
    : clientArea_(std::make_unique<Client>(*this))
{
    setTitle(title ? title : "");
    clientArea_->resize(clientWidth, clientHeight);
    setClientArea(clientArea_.get());

    background_.shape(4, 4, clientWidth - 8, clientHeight - 8);
    ok_.setup(292, 240, 96, 22, ctrl('O'), D_EXIT, "&OK");
    cancel_.setup(292, 266, 96, 22, ctrl('C'), D_EXIT, "&Cancel");
    archives_.setup(292, 122, 96, 22, ctrl('A'), 0, "&Archives");
    directories_.setup(292, 144, 96, 22, ctrl('D'), 0, "&Directories");
    hidden_.setup(292, 166, 96, 22, ctrl('H'), 0, "&Hidden");
    system_.setup(292, 188, 96, 22, ctrl('S'), 0, "&System");
    readOnly_.setup(292, 210, 96, 22, ctrl('R'), 0, "&Read only");
    directories_.setChecked(true);
    archives_.setChecked((attributes & ATTRIBUTE_ARCHIVE) != 0);
    hidden_.setChecked((attributes & ATTRIBUTE_HIDDEN) != 0);
    system_.setChecked((attributes & ATTRIBUTE_SYSTEM) != 0);
    readOnly_.setChecked((attributes & ATTRIBUTE_READONLY) != 0);

    // The box shows names the way the list does.
    std::string start = shownPath((path && *path) ? std::string(path) : currentDirectory());
    if (start.size() > pathCapacity)
        start = shownPath(currentDirectory());
    fileName_.setup(52, 240, 232, 22, 0, 0, start.c_str(), static_cast<int>(pathCapacity));
    drives_.setup(292, 12, 96, 102, 0, 0, false);
    files_.setup(12, 12, 272, 220, 0, 0, false);
    fillMasks(masks);
    mask_.setup(52, 266, 232, 22, 0, 0, 0);
    for (Label* label : {&fileLabel_, &maskLabel_})
        label->clearFlag(D_AUTOSIZE);
    fileLabel_.setup(12, 244, 40, 22, 0, 0, "file:", Label::AlignCentre);
    maskLabel_.setup(12, 270, 40, 22, 0, 0, "mask:", Label::AlignCentre);

    for (Widget* child : std::initializer_list<Widget*>{
             &background_, &ok_, &cancel_, &archives_, &directories_, &hidden_, &system_, &readOnly_,
             &fileName_, &drives_, &files_, &mask_, &fileLabel_, &maskLabel_})
        add(child);

    fillDrives();
    fillFileList();
}

FileSelector::~FileSelector() = default;

void FileSelector::fillMasks(const char* masks)
{
    for (const std::string& item : splitMasks(masks))
        mask_.list().insertItem(item.c_str());
}

void FileSelector::fillDrives()
{
    // One file system with one root: its only "drive".
    drives_.clear();
    drives_.insertItem("/");
}

int FileSelector::tickedAttributes() const
{
    int ticked = 0;
    if (archives_.checked())
        ticked |= ATTRIBUTE_ARCHIVE;
    if (hidden_.checked())
        ticked |= ATTRIBUTE_HIDDEN;
    if (system_.checked())
        ticked |= ATTRIBUTE_SYSTEM;
    if (readOnly_.checked())
        ticked |= ATTRIBUTE_READONLY;
    return ticked;
}

std::string FileSelector::path() const
{
    const char* text = fileName_.text();
    return text ? std::string(text) : std::string();
}

void FileSelector::setPath(const std::string& path)
{
    fileName_.setText(path.substr(0, pathCapacity).c_str());
    fileName_.redraw();
}

bool FileSelector::putPath(const std::string& path)
{
    if (path.size() > pathCapacity)
        return false;
    fileName_.setText(path.c_str());
    fileName_.redraw();
    return true;
}

std::string FileSelector::listedDirectory() const { return fileSystemPath(directoryPart(path())); }

bool FileSelector::nameAdded() const
{
    const std::string current = path();
    if (addedName_.empty() || !current.ends_with(addedName_))
        return false;
    const std::string before = current.substr(0, current.size() - addedName_.size());
    return before.empty() || endsWithSeparator(before);
}

std::string FileSelector::pathBeforeName() const
{
    const std::string current = path();
    if (nameAdded())
        return current.substr(0, current.size() - addedName_.size());
    return directoryPart(current);
}

void FileSelector::noteAddedName(const std::string& shown, const std::string& stored)
{
    addedName_ = shown;
    addedStoredName_ = stored;
}

std::string FileSelector::filePath() const
{
    // The name taken from the list is known exactly as stored; the rest is
    // looked up by the way it is shown.
    if (nameAdded() && !addedStoredName_.empty())
        return fileSystemPath(pathBeforeName()) + addedStoredName_;
    return fileSystemPath(path());
}

void FileSelector::fillFileList()
{
    files_.clear();
    const char* maskText = mask_.text();
    std::vector<FileEntry> entries = readDirectory(listedDirectory(), directories_.checked(), tickedAttributes(),
                                                   maskPatterns(maskText ? maskText : ""));
    sortEntries(entries);
    for (const FileEntry& entry : entries)
        files_.insertItem(new FileItem(entry));
    files_.layout();
    files_.redraw();
}

void FileSelector::entrySelected(int index)
{
    const auto* item = dynamic_cast<const FileItem*>(files_.item(index));
    if (!item || item->entry().isDotEntry())
        return;
    const std::string separator = item->entry().isDirectory() ? "/" : "";
    const std::string shown = displayName(item->entry().name) + separator;
    // A path that would not fit into the box is not made; the box keeps
    // what it had.
    if (putPath(pathBeforeName() + shown))
        noteAddedName(shown, item->entry().name + separator);
}

void FileSelector::enterDirectory(const std::string& directory)
{
    if (!putPath(withSeparator(directory)))
        return;
    noteAddedName("", "");
    fillFileList();
}

void FileSelector::entryActivated(int index)
{
    const auto* item = dynamic_cast<const FileItem*>(files_.item(index));
    if (!item)
        return;
    const FileEntry& entry = item->entry();
    if (entry.name == ".")
        return;
    const std::string base = pathBeforeName();
    if (entry.name == "..") {
        // The directory left behind stays selected in the list above it.
        std::string left = base;
        if (endsWithSeparator(left))
            left.pop_back();
        left = namePart(left);
        enterDirectory(parentDirectory(base));
        for (int i = 0; i < files_.itemCount(); ++i) {
            const auto* above = dynamic_cast<const FileItem*>(files_.item(i));
            if (above && above->entry().isDirectory() && !above->entry().isDotEntry() &&
                displayName(above->entry().name) == left) {
                files_.select(i);
                break;
            }
        }
        return;
    }
    const std::string shown = displayName(entry.name);
    if (entry.isDirectory()) {
        enterDirectory(base + shown);
        return;
    }
    if (!putPath(base + shown))
        return;
    noteAddedName(shown, entry.name);
    chosen_ = true;
    close();
}

void FileSelector::pathEntered()
{
    std::string typed = expandHome(path());
    if (typed.empty())
        return;
    if (typed.size() > 1 && endsWithSeparator(typed))
        typed.pop_back();
    // The names typed may be the shown form of names stored otherwise.
    const std::string found = fileSystemPath(typed);
    if (isDirectory(found)) {
        enterDirectory(shownPath(found));
        if (typed[0] == '/')
            drives_.select(0);
        return;
    }
    if (!putPath(typed))
        return;
    chosen_ = true;
    close();
}

void FileSelector::handleEvent(Widget* widget, int message, int argument1, int argument2)
{
    Window::handleEvent(widget, message, argument1, argument2);
    if (message == MSG_ACTIVATE) {
        if (widget == &archives_ || widget == &directories_ || widget == &hidden_ || widget == &system_ ||
            widget == &readOnly_ || widget == &mask_) {
            fillFileList();
        } else if (widget == &drives_) {
            if (ListItem* drive = drives_.item(argument1)) {
                putPath(drive->text());
                noteAddedName("", "");
                fillFileList();
            }
        } else if (widget == &files_) {
            entryActivated(argument1);
        } else if (widget == &fileName_) {
            pathEntered();
        }
    } else if (message == MSG_SCROLL && widget == &files_) {
        entrySelected(argument1);
    }
}

std::optional<std::string> FileSelector::popup(Dialog* parent, int x, int y)
{
    // Centred on the parent (on the screen without one). The parent is set
    // first so that a place left of or above a smaller parent is kept as
    // it is rather than counted from the parent's far edge.
    setParent(parent ? parent : this);
    centre();
    if (x != keepPosition) {
        setX(x);
        if (y != keepPosition)
            setY(y);
    }
    updateChildPositions();

    const std::string current = path();
    // A path ending with a name counts as ending with an added one; a file
    // name still there from the list keeps its stored form.
    if (endsWithSeparator(current))
        noteAddedName("", "");
    else if (!nameAdded())
        noteAddedName(namePart(current), "");
    if (!current.empty()) {
        // Bytes as unsigned: a path may start with any byte, and tolower
        // takes only those (and EOF).
        const int first = static_cast<unsigned char>(current[0]);
        for (int i = 0; i < drives_.itemCount(); ++i) {
            const std::string& letter = drives_.item(i)->text();
            const int drive = letter.empty() ? -1 : static_cast<unsigned char>(letter[0]);
            if (drive == first || drive == std::tolower(first)) {
                drives_.select(i);
                break;
            }
        }
    }
    chosen_ = false;
    Window::popup(parent, keepPosition, keepPosition, &files_.itemArea());
    if (!chosen_)
        return std::nullopt;
    return filePath();
}
