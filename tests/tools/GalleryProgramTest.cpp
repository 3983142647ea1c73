// zorv_gallery as the level designer calls it: contact sheets of a folder of
// levels, and exit code 2 with one line on standard error, and no sheet, for
// what gives it nothing to draw.
#include <gtest/gtest.h>

#include <cairo.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/Utilities.h"
#include "platform/Platform.h"
#include "tests/support/TestSupport.h"
#include "tests/support/WorldTestSupport.h"
#include "tools/design/CContactSheet.h"
#include "world/CLevel.h"

namespace {

const std::string kGallery = std::string(ZORV_RUN_DIR) + "/zorv_gallery ";

ProgramRun Gallery(const std::string& args, const std::string& errFile) { return RunProgram(kGallery + args, errFile); }

std::string Examples() { return std::string(ZORV_SOURCE_DIR) + "/tools/design/examples"; }

}  // namespace

TEST(GalleryProgram, DrawsASetAndRefusesWhatGivesItNothingToDraw) {
    CScopedHome home;
    CTempDir dir, empty, damaged;
    const std::string err = dir.File("err.txt");
    ASSERT_TRUE(WriteFileText(damaged.File("junk.lvl"), "not a level"));

    // Two of the seven levels, asked on a sheet of the widest rows: it is
    // only as large as they need, two pictures side by side (0.3 of the
    // screen each).
    ProgramRun o = Gallery(Examples() + " --from 5 --columns 40 --out " + dir.File("sheet"), err);
    EXPECT_EQ(o.code, 0) << ReadFileText(err);
    EXPECT_EQ(o.out, dir.File("sheet") + "-1.png\n");
    const std::vector<uint8_t> png = ReadFileBytes(dir.File("sheet-1.png"));
    ASSERT_GT(png.size(), 1000u);
    EXPECT_EQ(std::string(png.begin() + 1, png.begin() + 4), "PNG");
    const auto bigEndian = [&png](size_t at) { return png[at] << 24 | png[at + 1] << 16 | png[at + 2] << 8 | png[at + 3]; };
    EXPECT_GT(bigEndian(16), 2 * 240);
    EXPECT_LT(bigEndian(16), 3 * 240);
    EXPECT_LT(bigEndian(20), 2 * 180);
    // A caption takes the lines it needs, never cut at its picture's edge: a
    // heading too long to stand beside the name gets a line of its own, and
    // the sheet grows by it.
    CTempDir shortHeading, longHeading;
    const std::string push = ReadFileText(Examples() + "/push.txt");
    std::string longer = push;
    longer.replace(longer.find("Behind the Crate"), 16, "A Heading of Thirty-Two Letters!");
    ASSERT_TRUE(WriteFileText(shortHeading.File("push.txt"), push));
    ASSERT_TRUE(WriteFileText(longHeading.File("push.txt"), longer));
    int heights[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(Gallery((i ? longHeading : shortHeading).Path() + " --out " + dir.File("heading"), err).code, 0)
            << ReadFileText(err);
        const std::vector<uint8_t> sheet = ReadFileBytes(dir.File("heading-1.png"));
        ASSERT_GT(sheet.size(), 24u);
        heights[i] = sheet[20] << 24 | sheet[21] << 16 | sheet[22] << 8 | sheet[23];
    }
    EXPECT_GT(heights[1], heights[0] + 10);
    // Nor is a sheet's heading cut at its edge: a sheet of one picture grows
    // to the heading a long folder name gives it, and keeps its margin; a
    // name that is no UTF-8 is written out, as a caption's.
    for (const std::string name : {"one-more-idea-tried-out-by-a-level-designer", "not\xffUTF-8"}) {
        const std::string folder = dir.File(name);
        ASSERT_TRUE(PlatformMakeDir(folder));
        ASSERT_TRUE(WriteFileText(folder + "/push.txt", push));
        ASSERT_EQ(Gallery(folder + " --out " + dir.File("named"), err).code, 0) << ReadFileText(err);
        cairo_surface_t* sheet = cairo_image_surface_create_from_png(dir.File("named-1.png").c_str());
        ASSERT_EQ(cairo_surface_status(sheet), CAIRO_STATUS_SUCCESS);
        const int width = cairo_image_surface_get_width(sheet), stride = cairo_image_surface_get_stride(sheet);
        const unsigned char* pixels = cairo_image_surface_get_data(sheet);
        const auto at = [&](int x, int y) { return *reinterpret_cast<const uint32_t*>(pixels + y * stride + 4 * x) & 0xffffff; };
        int reach = -1;  // the heading's rightmost pixel, in the band above the pictures
        for (int y = 0; y < 56; ++y)
            for (int x = 0; x < width; ++x)
                if (at(x, y) != at(0, 0)) reach = std::max(reach, x);
        EXPECT_GT(reach, 0) << name;
        EXPECT_LT(reach, width - 12) << name;
        cairo_surface_destroy(sheet);
    }
    // A sheet is held in memory while it is drawn: the largest of 40 columns
    // at full size, two rows, is drawn; a third row is one too many.
    o = Gallery("reg --to 40 --columns 40 --rows 40 --scale 1 --out " + dir.File("full"), err);
    EXPECT_EQ(o.code, 0) << ReadFileText(err);
    EXPECT_EQ(o.out, dir.File("full") + "-1.png\n");

    const struct {
        std::string args;
        std::string says;
    } refusals[] = {
        {empty.Path(), "there are no levels in " + empty.Path()},
        {Examples() + " --from 7", "--from 7 is past the end of the levels in examples (7 levels"},
        {Examples() + " --from 3 --to 2", "--from 3 comes after --to 2"},
        {"kid --from 900", "--from 900 is past the end of the kids set"},
        {damaged.Path(), damaged.File("junk.lvl") + " cannot be read: it is damaged"},
        {"nowhere", "no level set"},
        {Examples() + " --out " + dir.File("first"), "--out given twice"},
        {Examples() + " --columns 41", "--columns needs a number from 1 to 40"},
        {Examples() + " --columns 0", "--columns needs a number from 1 to 40"},
        {"reg --to 80 --columns 40 --rows 40 --scale 1",
         "a sheet of 40 x 3 pictures at scale 1 would have 32,500 x 2,008 pixels, more than the " +
             GroupThousands(static_cast<int>(CContactSheet::kMaxPixels)) +
             " a sheet may have: take fewer --columns or --rows, or a smaller --scale"},
    };
    for (const auto& r : refusals) {
        EXPECT_TRUE(IsOneLineRefusal("zorv_gallery", Gallery(r.args + " --out " + dir.File("refused"), err), err,
                                     r.says))
            << r.args;
        EXPECT_FALSE(PlatformFileExists(dir.File("refused-1.png"))) << r.args;
    }
    // A prefix that ends in a folder would name the sheets "-1.png", ...
    EXPECT_TRUE(IsOneLineRefusal("zorv_gallery", Gallery(Examples() + " --from 6 --out " + dir.Path() + "/", err), err,
                                 "--out needs a file name prefix: " + dir.Path() +
                                     "/ names a folder; give the sheets a name in it (" + dir.Path() + "/sheet)"));
    EXPECT_FALSE(PlatformFileExists(dir.File("-1.png")));
    // A sheet that cannot be written is known before the work; on a full disk
    // no sheet is left; SIGTERM ends the tool at once, every sheet whole.
    EXPECT_TRUE(IsOneLineRefusal("zorv_gallery", Gallery(Examples() + " --out " + dir.File("no/sheet"), err), err,
                                 "cannot write " + dir.File("no/sheet-1.png") + ": No such file or directory"));
    CTempDir full;
    EXPECT_TRUE(IsOneLineRefusal("zorv_gallery", RunProgram(OnAFullDisk(kGallery + Examples() + " --out " + full.File("sheet")), err),
                                 err, "cannot write " + full.File("sheet-1.png") + ": File too large"));
    EXPECT_TRUE(FolderEntries(full.Path()).empty());
    EXPECT_EQ(RunProgram(StoppedAfterASecond(kGallery + "reg --columns 1 --rows 1 --out " + full.File("reg"), "TERM"), err).code,
              143);
    for (const std::string& name : FolderEntries(full.Path()))
        EXPECT_EQ(name.substr(name.size() - 4), ".png") << name;
}

// A gallery that fails writes no sheet and leaves those of an earlier one as
// they were: a set whose last level cannot be drawn (no entrance tube), a
// later sheet whose place holds a folder, a full disk, and a disk found full
// only when the second sheet is written out, after the first was written
// whole.
TEST(GalleryProgram, AFailedGalleryLeavesTheSheetsOfAnEarlierOneAsTheyWere) {
    CScopedHome home;
    CTempDir dir, set, tubeless;
    const std::string err = dir.File("err.txt");
    for (const char* name : {"push.txt", "walled.txt"}) {
        ASSERT_TRUE(WriteFileText(set.File(name), ReadFileText(Examples() + "/" + name)));
        ASSERT_TRUE(WriteFileText(tubeless.File(name), ReadFileText(Examples() + "/" + name)));
    }
    CLevel last = worldtest::WalkLevel(6);
    last.SetTile(NONE, 2, 22);
    ASSERT_TRUE(last.SaveToPath(tubeless.File("zz.lvl")));
    const std::string pages = " --columns 1 --rows 1 --out " + dir.File("g");
    const struct {
        std::string run;
        std::string says;
        bool folderAtSheet2;
    } rows[] = {
        {kGallery + tubeless.Path() + pages, "zz.lvl: the level has no entrance tube", false},
        {kGallery + set.Path() + pages, "cannot write " + dir.File("g-2.png") + ": it is a folder", true},
        {OnAFullDisk(kGallery + set.Path() + pages), "cannot write " + dir.File("g-1.png") + ": File too large", false},
        {"ZORV_FAIL_SYNC_OF=" + dir.File("g-2.png") + " LD_PRELOAD=" + std::string(ZORV_FAILING_CALLS) + " " +
             kGallery + set.Path() + pages,
         "cannot write " + dir.File("g-2.png") + ": No space left on device", false},
    };
    for (const auto& r : rows) {
        ASSERT_TRUE(WriteFileText(dir.File("g-1.png"), "earlier sheet 1"));
        unlink(dir.File("g-2.png").c_str());
        if (r.folderAtSheet2) {
            ASSERT_EQ(mkdir(dir.File("g-2.png").c_str(), 0700), 0);
        } else {
            ASSERT_TRUE(WriteFileText(dir.File("g-2.png"), "earlier sheet 2"));
        }
        EXPECT_TRUE(IsOneLineRefusal("zorv_gallery", RunProgram(r.run, err), err, r.says)) << r.run;
        EXPECT_TRUE(ReadFileText(dir.File("g-1.png")) == "earlier sheet 1") << r.run << ": the earlier sheet 1 changed";
        if (!r.folderAtSheet2) {
            EXPECT_TRUE(ReadFileText(dir.File("g-2.png")) == "earlier sheet 2") << r.run << ": the earlier sheet 2 changed";
        }
        EXPECT_EQ(FolderEntries(dir.Path()), (std::vector<std::string>{"err.txt", "g-1.png", "g-2.png"})) << r.run;
        rmdir(dir.File("g-2.png").c_str());
    }
    // Given a set it can draw, the gallery replaces both sheets. Of what
    // follows them, as far as the names run without a gap, only a sheet that
    // an earlier gallery wrote goes (it carries the gallery's mark): a link
    // (to such a sheet, too), a file of the user's under such a name, a
    // folder or a sheet it may not remove stays, each named in a line, and
    // the rest are still looked at; nothing past the gap is. The new sheets
    // are printed, exit code 0.
    CTempDir longer, elsewhere;
    for (const char* name : {"fall.txt", "push.txt", "walled.txt"})
        ASSERT_TRUE(WriteFileText(longer.File(name), ReadFileText(Examples() + "/" + name)));
    ASSERT_EQ(Gallery(longer.Path() + pages, err).code, 0) << ReadFileText(err);
    const std::vector<uint8_t> sheet = ReadFileBytes(dir.File("g-3.png"));
    ASSERT_TRUE(WriteFileBytes(elsewhere.File("kept.png"), sheet));
    ASSERT_EQ(symlink(elsewhere.File("kept.png").c_str(), dir.File("g-4.png").c_str()), 0);
    ASSERT_TRUE(WriteFileText(dir.File("g-5.png"), "the user's own"));
    ASSERT_EQ(mkdir(dir.File("g-6.png").c_str(), 0700), 0);
    for (const char* other : {"g-9.png", "g-03.png", "g-x.png"}) ASSERT_TRUE(WriteFileText(dir.File(other), "other"));
    const std::string left = "zorv_gallery: left " + dir.File("g-4.png") + " as it is: it is a link\n" +
                             "zorv_gallery: left " + dir.File("g-5.png") +
                             " as it is: it does not carry the mark of a sheet that zorv_gallery wrote\n" +
                             "zorv_gallery: left " + dir.File("g-6.png") + " as it is: it is a folder\n";
    const std::string removed = ", a sheet of an earlier gallery past the last one written\n";
    const struct {
        std::string environment;
        std::string third;  // the line on g-3.png
    } runs[] = {
        {"", "zorv_gallery: removed " + dir.File("g-3.png") + removed},
        {"ZORV_FAIL_UNLINK_OF=" + dir.File("g-3.png") + " LD_PRELOAD=" + std::string(ZORV_FAILING_CALLS) + " ",
         "zorv_gallery: left " + dir.File("g-3.png") +
             " as it is: it is a sheet of an earlier gallery, but it cannot be removed: Operation not permitted\n"},
    };
    for (const auto& r : runs) {
        ASSERT_TRUE(WriteFileBytes(dir.File("g-3.png"), sheet));
        ASSERT_TRUE(WriteFileBytes(dir.File("g-7.png"), sheet));
        const ProgramRun o = RunProgram(r.environment + kGallery + set.Path() + pages, err);
        EXPECT_EQ(o.code, 0) << r.environment << ReadFileText(err);
        EXPECT_EQ(o.out, dir.File("g-1.png") + "\n" + dir.File("g-2.png") + "\n") << r.environment;
        EXPECT_EQ(ReadFileBytes(dir.File("g-2.png")).at(1), 'P');
        EXPECT_EQ(ReadFileText(err), r.third + left + "zorv_gallery: removed " + dir.File("g-7.png") + removed);
        std::vector<std::string> entries = {"err.txt", "g-03.png", "g-1.png", "g-2.png", "g-3.png",
                                            "g-4.png", "g-5.png",  "g-6.png", "g-9.png", "g-x.png"};
        if (r.environment.empty()) entries.erase(entries.begin() + 4);
        EXPECT_EQ(FolderEntries(dir.Path()), entries) << r.environment;
        EXPECT_EQ(ReadFileText(dir.File("g-5.png")), "the user's own");
        EXPECT_EQ(ReadFileBytes(elsewhere.File("kept.png")).at(1), 'P');
    }
}
