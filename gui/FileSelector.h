// The file selector window and the entries of its list; the listing itself
// is in gui/FileList.h.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "gui/Button.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/FileList.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "gui/Panel.h"
#include "gui/Window.h"

// An entry of the file selector's list: a copy of the directory entry, shown
// with a folder or page icon and its name.
class FileItem : public ListItem {
public:
    explicit FileItem(const FileEntry& entry);

    // The list's look for the state, a folder (directory) or page (file)
    // icon from x = 4 to 17 for entries other than "." and "..", and the
    // name at x = 21, vertically centred.
    void draw(Bitmap& canvas, int state, const Widget& list) override;

    const FileEntry& entry() const { return entry_; }

    // The icons, drawn with their top-left corner at (x, y); 14 x 12 pixels.
    static void drawFolderIcon(BITMAP* bmp, int x, int y);
    static void drawPageIcon(BITMAP* bmp, int x, int y);

private:
    FileEntry entry_;
};

// A ready-made window in which the user picks a file: the directory list,
// a list of drives (on this system the one item "/", the file system root),
// a file-name box holding the path, the file masks, check boxes for the
// attributes of the entries shown, and OK and Cancel.
//
// Typical use:
//     FileSelector selector("Open", "", "Height maps (*.raw)", ATTRIBUTE_ARCHIVE);
//     if (auto path = selector.popup(parentDialog))
//         open(*path);
class FileSelector : public Window {
public:
    // `path`: the initial path (null or empty: the current directory with a
    // trailing separator). `masks`: items separated by "|", each a
    // description followed by patterns separated by ";" in parentheses (null
    // or empty: "All files (*.*)"). `attributes`: ATTRIBUTE_ARCHIVE,
    // _HIDDEN, _SYSTEM and _READONLY bits tick their check boxes
    // (Directories is always ticked at the start).
    FileSelector(const char* title, const char* path = nullptr, const char* masks = nullptr,
                 int attributes = 0);
    ~FileSelector() override;

    // Runs the selector modally on `parent`, centred on it; x (when not
    // keepPosition) sets the left edge, and then y (when not keepPosition)
    // the top. Returns the file the box names (filePath) when a file was
    // chosen or OK pressed; nothing when the selector was left with Cancel,
    // Esc or the close icon.
    std::optional<std::string> popup(Dialog* parent, int x = keepPosition, int y = keepPosition);

    // Reads the current directory anew into the file list.
    void fillFileList();

    void handleEvent(Widget* widget, int message, int argument1 = 0, int argument2 = 0) override;

    // The path in the file-name box, as the box shows it: names of the
    // file system in the form the file list shows them (filelist::shownPath).
    std::string path() const;
    // The path in the file system that the box names: the name added from
    // the list as stored in its directory, other components found by the
    // way they are shown (filelist::fileSystemPath).
    std::string filePath() const;
    // Puts a path into the file-name box as typed (cut to its capacity).
    void setPath(const std::string& path);
    // Does the box still end with the name that was added from the file
    // list (right after a separator)?
    bool nameAdded() const;
    // The ticked attribute check boxes as ATTRIBUTE_ bits.
    int tickedAttributes() const;
    // The directory the list shows.
    std::string listedDirectory() const;

    // The parts.
    Panel& background() { return background_; }
    Button& okButton() { return ok_; }
    Button& cancelButton() { return cancel_; }
    CheckBox& archivesBox() { return archives_; }
    CheckBox& directoriesBox() { return directories_; }
    CheckBox& hiddenBox() { return hidden_; }
    CheckBox& systemBox() { return system_; }
    CheckBox& readOnlyBox() { return readOnly_; }
    EditBox& fileNameBox() { return fileName_; }
    ListBox& driveList() { return drives_; }
    ListBox& fileList() { return files_; }
    ComboBox& maskBox() { return mask_; }

private:
    class Client;
    friend class Client;

    void fillMasks(const char* masks);
    void fillDrives();
    // Reactions of handleEvent.
    void entrySelected(int index);
    void entryActivated(int index);
    void pathEntered();
    void enterDirectory(const std::string& directory);
    // The box's path without the name added from the list, while the box
    // still ends with that name; otherwise up to its last separator. The
    // name of an entry chosen in the list goes after it.
    std::string pathBeforeName() const;
    // Notes the name put into the box from the list: as shown, and as
    // stored in the directory (empty when not known).
    void noteAddedName(const std::string& shown, const std::string& stored);
    // Replaces the box's text when the new path fits; false when it does not.
    bool putPath(const std::string& path);

    std::unique_ptr<Client> clientArea_;
    Panel background_;
    Button ok_;
    Button cancel_;
    CheckBox archives_;
    CheckBox directories_;
    CheckBox hidden_;
    CheckBox system_;
    CheckBox readOnly_;
    EditBox fileName_;
    ListBox drives_;
    ListBox files_;
    ComboBox mask_;
    Label fileLabel_;
    Label maskLabel_;

    // The name last added from the list, as the box shows it and as the
    // directory stores it (with a trailing separator for a directory). It
    // counts only while the box still ends with it.
    std::string addedName_;
    std::string addedStoredName_;
    // How the last popup ended: a file was chosen (or OK), or not.
    bool chosen_ = false;
};
