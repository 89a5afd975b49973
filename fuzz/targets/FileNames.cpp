// Directory-entry names in the file selector: listed, shown and put back
// into the path.
#include "fuzz/Harness.h"

#include "gui/Bitmap.h"
#include "gui/FileList.h"
#include "gui/FileSelector.h"
#include "gui/Messages.h"

#include <allegro.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fuzz {

// The bytes are split at "/" and zero bytes, the two bytes a name cannot
// hold: the first piece is the selector's mask text, the others are names
// of files made in an empty folder. The selector lists the folder; each
// entry is drawn (its name shown) and chosen (its name shown in the box,
// which must still name the file as stored), and a path is typed back.
int fileNames(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < size && pieces.size() <= 16; ++i) {
        if (data[i] == '/' || data[i] == 0)
            pieces.emplace_back();
        else
            pieces.back() += static_cast<char>(data[i]);
    }
    const std::string folder = scratchFolder() + "list/";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directory(folder, ignored);
    for (std::size_t i = 1; i < pieces.size(); ++i) {
        const std::string& name = pieces[i];
        if (name.empty() || name == "." || name == ".." || name.size() > 255)
            continue;
        std::ofstream(folder + name) << "x";
    }

    FileSelector selector("Vali kaart", folder.c_str(), pieces[0].c_str(), ATTRIBUTE_ARCHIVE | ATTRIBUTE_HIDDEN);
    ListBox& list = selector.fileList();
    Bitmap canvas;
    require(canvas.create(200, 20), "room for a list row");
    for (int i = 0; i < list.itemCount(); ++i) {
        auto* item = dynamic_cast<FileItem*>(list.item(i));
        require(item != nullptr, "the file list holds file items");
        item->draw(canvas, 0, list);
        if (item->entry().isDotEntry() || item->entry().isDirectory())
            continue;
        const std::string shownBefore = selector.path(), fileBefore = selector.filePath();
        list.select(i);
        selector.handleEvent(&list, MSG_SCROLL, i);
        // The box shows the name as the list does and names the file as
        // stored; a path too long for the box is not made, the box keeps
        // what it had.
        const std::string shown = folder + filelist::displayName(item->entry().name);
        if (shown.size() > filelist::pathCapacity) {
            require(selector.path() == shownBefore && selector.filePath() == fileBefore,
                    "a chosen entry too long for the box leaves it as it was");
            continue;
        }
        require(selector.path() == shown, "a chosen entry is shown as the list shows it");
        require(selector.filePath() == folder + item->entry().name, "a chosen entry names its file as stored");
        // Typed back as shown, the path still leads to a file of the folder.
        require(std::filesystem::exists(filelist::fileSystemPath(shown), ignored),
                "a shown path leads back to a file");
    }
    // What the box holds, typed back in.
    selector.setPath(folder + (pieces.size() > 1 ? pieces[1] : pieces[0]));
    selector.handleEvent(&selector.fileNameBox(), MSG_ACTIVATE);
    return 0;
}

} // namespace fuzz
