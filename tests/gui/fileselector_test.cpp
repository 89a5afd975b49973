// File selector: mask parsing, wildcard matching, attribute filters and
// sorting on a directory tree made here, path edits, and the selector's
// reactions to its list, check boxes, masks and file-name box (headless
// Allegro, built-in skin).

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include "gui/Bitmap.h"
#include "gui/Dialog.h"
#include "gui/FileList.h"
#include "gui/FileSelector.h"
#include "gui/Messages.h"
#include "gui/Settings.h"
#include "gui/Skin.h"

#include "tests/support/dialog_globals.h"
#include "tests/support/headless.h"
#include "tests/support/scripted_input.h"

namespace fs = std::filesystem;
using namespace filelist;

namespace {

const auto* const env = testkit::headlessAllegro({.asciiText = true, .colourDepth = 32, .then = [] {
    theSettings.guiSound = false;
    setGlobalSkin(new Skin());
}});

// A directory tree of its own for each test:
//   Beta/  sub/  .secret/  a.raw  B.RAW  c.txt  notes  .hidden.raw
//   map.r16  pipe (a FIFO)  dangling -> nowhere
class Tree : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/vaskur-filesel-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        dir = root + "/";
        for (const char* d : {"Beta", "sub", ".secret"})
            fs::create_directory(root + "/" + d);
        for (const char* f : {"a.raw", "B.RAW", "c.txt", "notes", ".hidden.raw", "map.r16", "sub/inner.raw"})
            std::ofstream(root + "/" + f) << "x";
        ASSERT_EQ(mkfifo((root + "/pipe").c_str(), 0644), 0);
        fs::create_symlink(root + "/nowhere", root + "/dangling");
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(root, ignored);
    }

    std::vector<std::string> names(bool directories, int ticked, const std::vector<std::string>& patterns)
    {
        std::vector<FileEntry> entries = readDirectory(dir, directories, ticked, patterns);
        sortEntries(entries);
        std::vector<std::string> out;
        for (const FileEntry& e : entries)
            out.push_back(e.name);
        return out;
    }

    std::string root;
    std::string dir;
};

using Names = std::vector<std::string>;

// ------------------------------------------------------------ masks

TEST(Masks, SplitAtBarsWithADefault)
{
    EXPECT_EQ(splitMasks(nullptr), Names{"All files (*.*)"});
    EXPECT_EQ(splitMasks(""), Names{"All files (*.*)"});
    EXPECT_EQ(splitMasks("K\xf5rguskaardid (*.raw)"), Names{"K\xf5rguskaardid (*.raw)"});
    EXPECT_EQ(splitMasks("Maps (*.raw)|Text (*.txt;*.doc)|"), (Names{"Maps (*.raw)", "Text (*.txt;*.doc)", ""}));
}

TEST(Masks, PatternsComeFromTheParentheses)
{
    EXPECT_EQ(maskPatterns("All files (*.*)"), Names{"*.*"});
    EXPECT_EQ(maskPatterns("Maps (*.raw; *.r16)"), (Names{"*.raw", "*.r16"}));
    // Without parentheses the text itself; empty pieces are no patterns.
    EXPECT_EQ(maskPatterns("*.raw;;*.txt"), (Names{"*.raw", "*.txt"}));
    EXPECT_EQ(maskPatterns("Nothing ()"), Names{});
    EXPECT_EQ(maskPatterns("Broken (*.raw"), Names{"*.raw"});
}

TEST(Masks, WildcardsIgnoreCase)
{
    EXPECT_TRUE(matches("a.raw", "*.raw"));
    EXPECT_TRUE(matches("B.RAW", "*.raw"));
    EXPECT_TRUE(matches("K\xd5RGUS.RAW", "k\xf5rgus.*"));
    EXPECT_FALSE(matches("a.raw.bak", "*.raw"));
    EXPECT_TRUE(matches("map1.r16", "map?.r[0-9]6"));
    EXPECT_FALSE(matches("map12.r16", "map?.r16"));
    // "*.*" means every file, with a dot in its name or not.
    EXPECT_TRUE(matches("notes", "*.*"));
    EXPECT_FALSE(matches("notes", "*.raw"));
}

TEST(Attributes, MasksLeaveOutUntickedBits)
{
    EXPECT_EQ(searchMask(255, ATTRIBUTE_ARCHIVE | ATTRIBUTE_HIDDEN | ATTRIBUTE_SYSTEM | ATTRIBUTE_READONLY), 255);
    EXPECT_EQ(searchMask(239, ATTRIBUTE_HIDDEN | ATTRIBUTE_SYSTEM | ATTRIBUTE_READONLY), 207);
    EXPECT_EQ(searchMask(255, 0), 255 & ~0x27);

    FileEntry readOnlyFile{"r", ATTRIBUTE_ARCHIVE | ATTRIBUTE_READONLY, 0, 0};
    EXPECT_FALSE(allowed(readOnlyFile, searchMask(239, ATTRIBUTE_ARCHIVE)));
    EXPECT_TRUE(allowed(readOnlyFile, searchMask(239, ATTRIBUTE_ARCHIVE | ATTRIBUTE_READONLY)));
    FileEntry directory{"d", ATTRIBUTE_DIRECTORY, 0, 0};
    EXPECT_FALSE(allowed(directory, 239));
    EXPECT_TRUE(allowed(directory, searchMask(255, 0)));
    FileEntry hiddenDirectory{".d", ATTRIBUTE_DIRECTORY | ATTRIBUTE_HIDDEN, 0, 0};
    EXPECT_FALSE(allowed(hiddenDirectory, searchMask(255, 0)));
}

// ------------------------------------------------------------ listing

TEST_F(Tree, EntriesGetTheirAttributesFromTheFileSystem)
{
    FileEntry e;
    ASSERT_TRUE(examine(dir, "a.raw", e));
    EXPECT_EQ(e.attributes, ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(e.size, 1);
    ASSERT_TRUE(examine(dir, "sub", e));
    EXPECT_EQ(e.attributes, ATTRIBUTE_DIRECTORY);
    ASSERT_TRUE(examine(dir, ".secret", e));
    EXPECT_EQ(e.attributes, ATTRIBUTE_DIRECTORY | ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(examine(dir, ".hidden.raw", e));
    EXPECT_EQ(e.attributes, ATTRIBUTE_ARCHIVE | ATTRIBUTE_HIDDEN);
    ASSERT_TRUE(examine(dir, "pipe", e));
    EXPECT_EQ(e.attributes, ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(examine(dir, "dangling", e));
    EXPECT_EQ(e.attributes, ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(examine(dir, "..", e));
    EXPECT_EQ(e.attributes, ATTRIBUTE_DIRECTORY) << "the way up is never hidden";
    EXPECT_FALSE(examine(dir, "missing", e));
}

TEST_F(Tree, TwoPatternsListMatchingFilesOnceAfterTheDirectories)
{
    EXPECT_EQ(names(true, ATTRIBUTE_ARCHIVE, {"*.raw", "*.r16", "*.RAW"}),
              (Names{".", "..", "Beta", "sub", "a.raw", "B.RAW", "map.r16"}));
}

TEST_F(Tree, UntickedBoxesHideEntries)
{
    // Without Directories only files.
    EXPECT_EQ(names(false, ATTRIBUTE_ARCHIVE, {"*.*"}), (Names{"a.raw", "B.RAW", "c.txt", "map.r16", "notes"}));
    // Without Archives no regular file at all.
    EXPECT_EQ(names(true, 0, {"*.*"}), (Names{".", "..", "Beta", "sub"}));
    // Hidden shows the dot names; System the pipe and the dangling link.
    EXPECT_EQ(names(true, ATTRIBUTE_ARCHIVE | ATTRIBUTE_HIDDEN, {"*.raw"}),
              (Names{".", "..", ".secret", "Beta", "sub", ".hidden.raw", "a.raw", "B.RAW"}));
    EXPECT_EQ(names(false, ATTRIBUTE_SYSTEM, {"*"}), (Names{"dangling", "pipe"}));
}

TEST_F(Tree, ReadOnlyFilesNeedTheirBox)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "every file is writable for root";
    ASSERT_EQ(chmod((root + "/c.txt").c_str(), 0444), 0);
    EXPECT_EQ(names(false, ATTRIBUTE_ARCHIVE, {"*.txt"}), Names{});
    EXPECT_EQ(names(false, ATTRIBUTE_ARCHIVE | ATTRIBUTE_READONLY, {"*.txt"}), Names{"c.txt"});
}

TEST_F(Tree, AnUnreadableDirectoryOffersOnlyTheWayUp)
{
    std::vector<FileEntry> entries = readDirectory(dir + "missing/", true, ATTRIBUTE_ARCHIVE, {"*.*"});
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].name, "..");
    EXPECT_TRUE(readDirectory(dir + "missing/", false, ATTRIBUTE_ARCHIVE, {"*.*"}).empty());
    if (geteuid() != 0) {
        ASSERT_EQ(chmod((root + "/sub").c_str(), 0), 0);
        entries = readDirectory(dir + "sub/", true, ATTRIBUTE_ARCHIVE, {"*.*"});
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].name, "..");
        chmod((root + "/sub").c_str(), 0755);
    }
}

TEST(Sorting, DirectoriesFirstThenNamesIgnoringCase)
{
    std::vector<FileEntry> entries;
    for (const char* n : {"zeta.raw", "Alpha.raw", "alpha.RAW", "beta.raw", "_x.raw"})
        entries.push_back({n, ATTRIBUTE_ARCHIVE, 0, 0});
    for (const char* n : {"..", "Zoo", "apple", "!bang", "."})
        entries.push_back({n, ATTRIBUTE_DIRECTORY, 0, 0});
    // Letters compare as small ones, so "_" (between the capitals and the
    // small letters) comes before every letter.
    const Names expected{".", "..", "!bang", "apple", "Zoo", "_x.raw", "Alpha.raw", "alpha.RAW", "beta.raw", "zeta.raw"};
    std::mt19937 random(7);
    for (int round = 0; round < 20; ++round) {
        std::shuffle(entries.begin(), entries.end(), random);
        sortEntries(entries);
        Names got;
        for (const FileEntry& e : entries)
            got.push_back(e.name);
        ASSERT_EQ(got, expected) << "round " << round;
    }
}

// ------------------------------------------------------------ paths

TEST(Paths, ComponentsAndParents)
{
    EXPECT_EQ(directoryPart("/a/b/c.raw"), "/a/b/");
    EXPECT_EQ(directoryPart("c.raw"), "");
    EXPECT_EQ(namePart("/a/b/c.raw"), "c.raw");
    EXPECT_EQ(dropLastComponent("/a/b/c.raw"), "/a/b/");
    EXPECT_EQ(dropLastComponent("/a/b/"), "/a/");
    EXPECT_EQ(dropLastComponent("/a"), "/");
    EXPECT_EQ(dropLastComponent("/"), "/");
    EXPECT_EQ(dropLastComponent("c.raw"), "");
    EXPECT_EQ(parentDirectory("/a/b/"), "/a/");
    EXPECT_EQ(parentDirectory("/a/b"), "/a/");
    EXPECT_EQ(parentDirectory("/"), "/");
    EXPECT_EQ(parentDirectory(""), "../");
    EXPECT_EQ(parentDirectory("../"), "../../");
    EXPECT_EQ(parentDirectory("./"), "../");
    EXPECT_EQ(parentDirectory("maps/./"), "maps/../");
    EXPECT_EQ(withSeparator("/a"), "/a/");
    EXPECT_EQ(withSeparator("/a/"), "/a/");
}

TEST(Paths, HomeAndCurrentDirectory)
{
    const char* home = std::getenv("HOME");
    const std::string saved = home ? home : "";
    setenv("HOME", "/home/tester", 1);
    EXPECT_EQ(expandHome("~/maps/x.raw"), "/home/tester/maps/x.raw");
    EXPECT_EQ(expandHome("~"), "/home/tester");
    EXPECT_EQ(expandHome("~other/x"), "~other/x");
    EXPECT_EQ(expandHome("/x/~/y"), "/x/~/y");
    if (home)
        setenv("HOME", saved.c_str(), 1);
    else
        unsetenv("HOME");

    const std::string cwd = currentDirectory();
    EXPECT_TRUE(endsWithSeparator(cwd));
    EXPECT_LE(cwd.size(), pathCapacity);
    EXPECT_TRUE(isDirectory(cwd));
}

TEST(Paths, NamesAreShownInLatin1)
{
    EXPECT_EQ(displayName("k\xc3\xb5rgus.raw"), "k\xf5rgus.raw");  // UTF-8 o tilde
    EXPECT_EQ(displayName("k\xf5rgus.raw"), "k\xf5rgus.raw");      // already Latin-1
    EXPECT_EQ(displayName("a\tb\x01" "c"), "a?b?c");
    // The euro sign has no Latin-1 character: its bytes show as they are,
    // but for the one that is a control character in Latin-1.
    EXPECT_EQ(displayName("\xe2\x82\xac.raw"), "\xe2?\xac.raw");
}

// ------------------------------------------------------------ the selector

class Selector : public Tree {
protected:
    // The names in the selector's file list, in order.
    static Names listed(FileSelector& s)
    {
        Names out;
        for (int i = 0; i < s.fileList().itemCount(); ++i)
            out.push_back(s.fileList().item(i)->text());
        return out;
    }
    static int indexOf(FileSelector& s, const std::string& name)
    {
        const Names n = listed(s);
        auto it = std::find(n.begin(), n.end(), name);
        return it == n.end() ? -1 : static_cast<int>(it - n.begin());
    }
    static void pick(FileSelector& s, const std::string& name)
    {
        const int i = indexOf(s, name);
        ASSERT_GE(i, 0) << name;
        s.fileList().select(i);
        s.handleEvent(&s.fileList(), MSG_SCROLL, i);
    }
    static void activate(FileSelector& s, const std::string& name)
    {
        const int i = indexOf(s, name);
        ASSERT_GE(i, 0) << name;
        s.handleEvent(&s.fileList(), MSG_ACTIVATE, i);
    }
    static void typeAndEnter(FileSelector& s, const std::string& path)
    {
        s.setPath(path);
        s.handleEvent(&s.fileNameBox(), MSG_ACTIVATE);
    }
};

TEST_F(Selector, StartsWithItsMasksBoxesAndList)
{
    FileSelector s("Pick", dir.c_str(), "Maps (*.raw)|Text (*.txt)", ATTRIBUTE_ARCHIVE | ATTRIBUTE_HIDDEN);
    EXPECT_STREQ(s.title(), "Pick");
    EXPECT_EQ(s.clientArea()->w(), 400);
    EXPECT_EQ(s.clientArea()->h(), 300);
    EXPECT_EQ(s.maskBox().list().itemCount(), 2);
    EXPECT_STREQ(s.maskBox().text(), "Maps (*.raw)");
    EXPECT_TRUE(s.archivesBox().checked());
    EXPECT_TRUE(s.directoriesBox().checked());
    EXPECT_TRUE(s.hiddenBox().checked());
    EXPECT_FALSE(s.systemBox().checked());
    EXPECT_FALSE(s.readOnlyBox().checked());
    EXPECT_EQ(s.tickedAttributes(), ATTRIBUTE_ARCHIVE | ATTRIBUTE_HIDDEN);
    EXPECT_EQ(s.okButton().key(), 15);
    EXPECT_EQ(s.cancelButton().key(), 3);
    EXPECT_EQ(s.readOnlyBox().key(), 18);
    ASSERT_EQ(s.driveList().itemCount(), 1);
    EXPECT_EQ(s.driveList().item(0)->text(), "/");
    EXPECT_EQ(listed(s), (Names{".", "..", ".secret", "Beta", "sub", ".hidden.raw", "a.raw", "B.RAW"}));

    FileSelector plain("Plain");
    EXPECT_EQ(plain.path(), currentDirectory());
    EXPECT_STREQ(plain.maskBox().text(), "All files (*.*)");
    EXPECT_FALSE(plain.archivesBox().checked());
}

TEST_F(Selector, BoxesAndMasksRefillTheList)
{
    FileSelector s("Pick", dir.c_str(), "Maps (*.raw)|Text (*.txt;notes)", ATTRIBUTE_ARCHIVE);
    s.directoriesBox().setChecked(false);
    s.handleEvent(&s.directoriesBox(), MSG_ACTIVATE);
    EXPECT_EQ(listed(s), (Names{"a.raw", "B.RAW"}));

    s.maskBox().list().select(1);
    s.maskBox().editBox().setText(s.maskBox().list().item(1)->text().c_str());
    s.handleEvent(&s.maskBox(), MSG_ACTIVATE, 1);
    EXPECT_EQ(listed(s), (Names{"c.txt", "notes"}));

    s.archivesBox().setChecked(false);
    s.handleEvent(&s.archivesBox(), MSG_ACTIVATE);
    EXPECT_EQ(listed(s), Names{});
}

TEST_F(Selector, ChoosingAnotherEntryReplacesTheNameChosenBefore)
{
    FileSelector s("Pick", dir.c_str(), "All (*.*)", ATTRIBUTE_ARCHIVE);
    EXPECT_FALSE(s.nameAdded());
    pick(s, "a.raw");
    EXPECT_EQ(s.path(), dir + "a.raw");
    EXPECT_TRUE(s.nameAdded());
    pick(s, "B.RAW");
    EXPECT_EQ(s.path(), dir + "B.RAW");
    pick(s, "sub");
    EXPECT_EQ(s.path(), dir + "sub/");
    pick(s, "notes");
    EXPECT_EQ(s.path(), dir + "notes");
    // "." and ".." leave the path alone when selected.
    pick(s, "..");
    EXPECT_EQ(s.path(), dir + "notes");
    EXPECT_EQ(s.listedDirectory(), dir);
}

TEST_F(Selector, AnEditedBoxKeepsItsDirectoryForTheNextPick)
{
    // The name picked is erased in the box (End, Backspaces): only a name
    // the box still ends with is replaced, so the folder stays.
    FileSelector s("Pick", dir.c_str(), "All (*.*)", ATTRIBUTE_ARCHIVE);
    pick(s, "a.raw");
    s.setPath(dir);
    pick(s, "B.RAW");
    EXPECT_EQ(s.path(), dir + "B.RAW");
    s.setPath(dir);
    activate(s, "..");
    EXPECT_EQ(s.path(), directoryPart(root)) << "one level up";
}

TEST_F(Selector, ActivatingEntersDirectoriesGoesUpAndChoosesFiles)
{
    FileSelector s("Pick", dir.c_str(), "All (*.*)", ATTRIBUTE_ARCHIVE);
    pick(s, "a.raw");
    activate(s, ".");
    EXPECT_EQ(s.path(), dir + "a.raw");

    // Entering a directory straight from a chosen file name.
    activate(s, "sub");
    EXPECT_EQ(s.path(), dir + "sub/");
    EXPECT_FALSE(s.nameAdded());
    EXPECT_EQ(listed(s), (Names{".", "..", "inner.raw"}));

    pick(s, "inner.raw");
    activate(s, "..");
    EXPECT_EQ(s.path(), dir);
    EXPECT_EQ(indexOf(s, "Beta"), 2);
    EXPECT_EQ(s.fileList().selectedIndex(), indexOf(s, "sub")) << "the directory left stays selected";

    EXPECT_FALSE(s.closeRequested());
    pick(s, "c.txt");
    activate(s, "c.txt");
    EXPECT_EQ(s.path(), dir + "c.txt");
    EXPECT_TRUE(s.closeRequested());
}

TEST_F(Selector, TheFileNameBoxEntersDirectoriesAndChoosesFiles)
{
    FileSelector s("Pick", "/", "All (*.*)", ATTRIBUTE_ARCHIVE);
    typeAndEnter(s, root + "/sub");
    EXPECT_EQ(s.path(), dir + "sub/");
    EXPECT_EQ(listed(s), (Names{".", "..", "inner.raw"}));
    EXPECT_FALSE(s.closeRequested());

    // A trailing separator is dropped before looking.
    typeAndEnter(s, root + "/Beta/");
    EXPECT_EQ(s.path(), dir + "Beta/");
    EXPECT_FALSE(s.closeRequested());

    typeAndEnter(s, "");
    EXPECT_FALSE(s.closeRequested());

    // A name that is no directory is chosen, existing or not.
    typeAndEnter(s, root + "/new.raw");
    EXPECT_EQ(s.path(), root + "/new.raw");
    EXPECT_TRUE(s.closeRequested());
}

TEST_F(Selector, TheDriveGoesToTheRoot)
{
    FileSelector s("Pick", dir.c_str(), "All (*.*)", ATTRIBUTE_ARCHIVE);
    pick(s, "a.raw");
    s.handleEvent(&s.driveList(), MSG_ACTIVATE, 0);
    EXPECT_EQ(s.path(), "/");
    EXPECT_FALSE(s.nameAdded());
    EXPECT_GE(indexOf(s, "tmp"), 0);
}

TEST_F(Selector, PathsNearTheCapacityAreNeverCut)
{
    // A directory whose path leaves room for short names only.
    std::string deep = root;
    while (deep.size() < pathCapacity - 12)
        deep += "/" + std::string(std::min<std::size_t>(40, pathCapacity - 13 - deep.size() + 1), 'd');
    ASSERT_TRUE(fs::create_directories(deep));
    std::ofstream(deep + "/ok.raw") << "x";
    std::ofstream(deep + "/" + std::string(60, 'n') + ".raw") << "x";
    fs::create_directory(deep + "/" + std::string(30, 's'));

    FileSelector s("Pick", (deep + "/").c_str(), "All (*.*)", ATTRIBUTE_ARCHIVE);
    ASSERT_EQ(s.path(), deep + "/");
    pick(s, "ok.raw");
    EXPECT_EQ(s.path(), deep + "/ok.raw");
    // Too long to be held: the box keeps what it had.
    pick(s, std::string(60, 'n') + ".raw");
    EXPECT_EQ(s.path(), deep + "/ok.raw");
    activate(s, std::string(30, 's'));
    EXPECT_EQ(s.path(), deep + "/ok.raw");
    EXPECT_EQ(s.listedDirectory(), deep + "/");
    EXPECT_FALSE(s.closeRequested());

    // A path longer than the box is cut when put in, and the selector
    // starting with one falls back to the current directory.
    s.setPath(std::string(400, 'x'));
    EXPECT_EQ(s.path().size(), pathCapacity);
    FileSelector tooLong("Pick", ("/" + std::string(300, 'y')).c_str());
    EXPECT_EQ(tooLong.path(), currentDirectory());
}

TEST_F(Selector, OddNamesAreListedAndRoundTrip)
{
    const std::string odd = "k\xc3\xb5rgus\x01.raw";
    const std::string raw = "vana\xf5\xff.raw";
    std::ofstream(root + "/" + odd) << "x";
    std::ofstream(root + "/" + raw) << "x";
    const std::string folder = "P\xc3\xb5hi";  // UTF-8 "Pohi" with o tilde
    fs::create_directory(root + "/" + folder);
    std::ofstream(root + "/" + folder + "/m\xc3\xa4gi.raw") << "x";
    FileSelector s("Pick", dir.c_str(), "Maps (*.raw)", ATTRIBUTE_ARCHIVE);
    // The box shows a name as the list does; the file is still found by it.
    pick(s, odd);
    EXPECT_EQ(s.path(), dir + displayName(odd));
    EXPECT_EQ(s.filePath(), dir + odd);
    pick(s, raw);
    EXPECT_EQ(s.filePath(), dir + raw);
    activate(s, folder);
    EXPECT_EQ(s.path(), dir + "P\xf5hi/");
    EXPECT_EQ(listed(s), (Names{".", "..", "m\xc3\xa4gi.raw"}));
    // A name typed in Latin-1 finds the file stored in UTF-8.
    typeAndEnter(s, dir + "P\xf5hi/m\xe4gi.raw");
    EXPECT_EQ(s.filePath(), root + "/" + folder + "/m\xc3\xa4gi.raw");
}

// ------------------------------------------------------------ popping up

// A selector that notes how it stands while it is up, then is left the way
// the test asks for.
class LeftSelector : public FileSelector {
public:
    enum class Leave { Ok, Cancel, CloseIcon, ChooseFile };
    using FileSelector::FileSelector;

    void msgTick() override
    {
        FileSelector::msgTick();
        if (done_)
            return;
        done_ = true;
        at = relativePos();
        absolute = Point(x(), y());
        drive = driveList().selectedIndex();
        listFocused = fileList().itemArea().hasFocus();
        switch (leave) {
        case Leave::Ok:
            clientArea()->handleEvent(&okButton(), MSG_ACTIVATE, 0, 0);
            break;
        case Leave::Cancel:
            clientArea()->handleEvent(&cancelButton(), MSG_ACTIVATE, 0, 0);
            break;
        case Leave::CloseIcon:
            handleEvent(&closeIcon(), MSG_ACTIVATE, 0, 0);
            break;
        case Leave::ChooseFile:
            for (int i = 0; i < fileList().itemCount(); ++i)
                if (fileList().item(i)->text() == fileToChoose)
                    handleEvent(&fileList(), MSG_ACTIVATE, i, 0);
            break;
        }
    }
    void again() { done_ = false; }

    Leave leave = Leave::Ok;
    std::string fileToChoose;
    Point at{-1, -1};
    Point absolute{-1, -1};
    int drive = -2;
    bool listFocused = false;

private:
    bool done_ = false;
};

class Popped : public Selector {
protected:
    void SetUp() override
    {
        Selector::SetUp();
        ASSERT_NO_FATAL_FAILURE(globals_.set(input));
        theSettings.useKeyboard = false;
        theSettings.guiSound = false;
    }
    void TearDown() override
    {
        if (host.running())
            host.sendMessage(MSG_END);
        globals_.restore();
        Selector::TearDown();
    }
    void start(int w, int h)
    {
        host.resize(w, h);
        host.sendMessage(MSG_START);
    }

    testkit::ScriptedInput input;  // time only: the mouse stays far away
    testkit::DialogGlobals globals_;
    Dialog host;
};

TEST_F(Popped, CentredOnTheParentEveryTimeUnlessPlaced)
{
    // A parent smaller than the selector: the centred place lies left of
    // and above it, and must stay there on every popup.
    start(300, 200);
    LeftSelector s("Pick", dir.c_str(), "All (*.*)", ATTRIBUTE_ARCHIVE);
    const Point centred((300 - s.w()) / 2, (200 - s.h()) / 2);
    ASSERT_LT(centred.x, 0);
    for (int round = 0; round < 2; ++round) {
        s.again();
        s.popup(&host);
        EXPECT_EQ(s.at, centred) << "popup " << round;
        EXPECT_EQ(s.absolute, centred) << "popup " << round;
    }

    // x places the left edge; y counts only together with x.
    s.again();
    s.popup(&host, 20, 30);
    EXPECT_EQ(s.at, Point(20, 30));
    s.again();
    s.popup(&host, 32768, 30);
    EXPECT_EQ(s.at, centred);
    s.again();
    s.popup(&host, 15);
    EXPECT_EQ(s.at, Point(15, centred.y));
}

TEST_F(Popped, ResultDependsOnHowTheSelectorWasLeft)
{
    start(640, 480);
    LeftSelector s("Pick", (dir + "a.raw").c_str(), "All (*.*)", ATTRIBUTE_ARCHIVE);
    auto result = s.popup(&host);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, dir + "a.raw");
    EXPECT_EQ(s.drive, 0) << "the root drive is selected for an absolute path";
    EXPECT_TRUE(s.listFocused);
    EXPECT_TRUE(s.nameAdded());
    EXPECT_FALSE(host.contains(&s));

    // Picking another entry after popping up replaces the name.
    pick(s, "B.RAW");
    EXPECT_EQ(s.path(), dir + "B.RAW");

    s.again();
    s.leave = LeftSelector::Leave::Cancel;
    EXPECT_FALSE(s.popup(&host).has_value());
    s.again();
    s.leave = LeftSelector::Leave::CloseIcon;
    EXPECT_FALSE(s.popup(&host).has_value());

    s.again();
    s.leave = LeftSelector::Leave::ChooseFile;
    s.fileToChoose = "c.txt";
    result = s.popup(&host);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, dir + "c.txt");

    // OK takes the box's text even when it names nothing that exists.
    s.again();
    s.leave = LeftSelector::Leave::Ok;
    s.setPath(dir + "missing.raw");
    result = s.popup(&host);
    ASSERT_TRUE(result.has_value());
    EXPECT_EQ(*result, dir + "missing.raw");
}

TEST(FileItemLook, IconsTellDirectoriesFromFiles)
{
    Widget list;
    list.setSkin(nullptr);
    Bitmap canvas;
    ASSERT_TRUE(canvas.create(120, 16));
    const int background = makecol(1, 2, 3);
    auto colourIn = [&](int x1, int x2, int r, int g, int b) {
        for (int y = 0; y < 16; ++y)
            for (int x = x1; x <= x2; ++x) {
                const int c = getpixel(canvas.bitmap(), x, y);
                if (getr(c) == r && getg(c) == g && getb(c) == b)
                    return true;
            }
        return false;
    };
    auto drawn = [&](const char* name, int attributes) {
        clear_to_color(canvas.bitmap(), background);
        FileItem item(FileEntry{name, attributes, 0, 0});
        item.draw(canvas, 0, list);
    };

    drawn("sub", ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(colourIn(4, 17, 240, 230, 120));
    EXPECT_TRUE(colourIn(4, 17, 96, 88, 64));
    EXPECT_FALSE(colourIn(0, 3, 240, 230, 120));
    EXPECT_FALSE(colourIn(18, 20, 240, 230, 120));

    drawn("a.raw", ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(colourIn(4, 17, 255, 255, 255));
    EXPECT_TRUE(colourIn(4, 17, 0, 0, 0));
    EXPECT_FALSE(colourIn(4, 17, 240, 230, 120));

    drawn("..", ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(colourIn(0, 20, 240, 230, 120));
    EXPECT_FALSE(colourIn(0, 20, 255, 255, 255));
}

} // namespace
