#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imagelist/ImageListModel.h"

namespace imagelist {
namespace {

ImageEntry Readable(const std::string& path) {
  return MakeEntry({"640 x 480", "JPEG", "72", "12 KB", path}, false);
}

ImageEntry Unreadable(const std::string& path) { return MakeEntry({"-", "?", "-", "10", path}, false); }

// Records what a view would hear, in order.
struct Recorder : ImageListObserver {
  std::vector<std::string> events;
  void RowChanged(int row) override { events.push_back("changed " + std::to_string(row)); }
  void RowAppended(int row) override { events.push_back("appended " + std::to_string(row)); }
  void RowRemoved(int row) override { events.push_back("removed " + std::to_string(row)); }
  void HighlightChanged(std::optional<int> row) override {
    events.push_back("highlight " + (row ? std::to_string(*row) : std::string("none")));
  }
  void BatchEnded() override { events.push_back("batch"); }
};

TEST(ImageEntryTest, NewRowsAreTickedAndWaitingUnlessUnreadable) {
  const ImageEntry good = Readable("/pics/a.jpg");
  EXPECT_TRUE(good.tick);
  EXPECT_EQ(good.status, ImageStatus::Waiting);
  EXPECT_EQ(good.caption, "a.jpg");

  ImageEntry bad = Unreadable("/pics/b.txt");
  EXPECT_FALSE(bad.tick);
  EXPECT_EQ(bad.status, ImageStatus::Failed);
  bad.tick = true;  // the user may tick it, yet it never becomes a page
  EXPECT_FALSE(bad.IsConvertible());

  EXPECT_EQ(MakeEntry({"1 x 1", "PNG", "96", "1", "/p/c.png"}, true).caption, "/p/c.png");
}

TEST(ImageEntryTest, FileNamePartSplitsAtTheLastSlashOnly) {
  const std::pair<std::string, std::string> cases[] = {
      {"/home/u/a.jpg", "a.jpg"}, {"a.jpg", "a.jpg"}, {"/x/y:z.png", "y:z.png"}, {"/dir/", ""}};
  for (const auto& [path, name] : cases) EXPECT_EQ(FileNamePart(path), name) << path;
}

TEST(ImageListModelTest, CountsFollowAppendTickAndDelete) {
  ImageListModel list;
  EXPECT_EQ(CountsText(list), "0 / 0");
  list.Append(Readable("/a.jpg"));
  EXPECT_EQ(CountsText(list), "1 / 1");
  list.Append(Readable("/b.jpg"));
  list.Append(Readable("/c.jpg"));
  list.SetTick(1, false);
  EXPECT_EQ(CountsText(list), "2 / 3");
  list.Append(Unreadable("/d.bin"));
  EXPECT_EQ(CountsText(list), "2 / 4");
  list.Delete(0);
  EXPECT_EQ(CountsText(list), "1 / 3");
  EXPECT_EQ(list.Row(0).fullPath(), "/b.jpg");
}

TEST(ImageListModelTest, ShowFullPathChangesCaptionsOnlyInOneBatch) {
  ImageListModel list;
  list.Append(Readable("/p/a.jpg"));
  list.Append(Unreadable("/p/b.bin"));
  list.SetStatus(0, ImageStatus::Converted);
  ImageListModel before = list;
  Recorder recorder;
  list.AddObserver(&recorder);

  list.ShowFullPath(true);
  EXPECT_EQ(recorder.events, std::vector<std::string>{"batch"});
  EXPECT_EQ(list.Row(0).caption, "/p/a.jpg");
  EXPECT_EQ(list.Row(1).caption, "/p/b.bin");
  for (int row = 0; row < 2; ++row) {
    ImageEntry expected = before.Row(row);
    expected.caption = expected.fullPath();
    EXPECT_EQ(list.Row(row), expected);
  }
  list.ShowFullPath(false);
  EXPECT_EQ(list.Row(0), before.Row(0));
  list.RemoveObserver(&recorder);
}

TEST(ImageListModelTest, NestedBatchReportsOnceAtTheOuterEnd) {
  ImageListModel list;
  list.Append(Readable("/a.jpg"));
  Recorder recorder;
  list.AddObserver(&recorder);
  list.BeginUpdate();
  list.BeginUpdate();
  list.SetTick(0, false);
  list.EndUpdate();
  EXPECT_TRUE(recorder.events.empty());
  list.EndUpdate();
  list.SetTick(0, true);
  EXPECT_EQ(recorder.events, (std::vector<std::string>{"batch", "changed 0"}));
  list.RemoveObserver(&recorder);
}

TEST(ImageListModelTest, HighlightStaysOnItsRowAcrossDeletesAndCopies) {
  ImageListModel list;
  for (const char* path : {"/a.jpg", "/b.jpg", "/c.jpg"}) list.Append(Readable(path));
  Recorder recorder;
  list.AddObserver(&recorder);
  list.Highlight(2);
  list.Delete(0);  // a row above goes: the highlight follows its row
  EXPECT_EQ(list.Highlighted(), 1);
  list.CopyRow(0, 1);  // moving data does not move the highlight
  EXPECT_EQ(list.Highlighted(), 1);
  EXPECT_EQ(list.Row(1).fullPath(), "/b.jpg");
  list.Delete(1);
  EXPECT_EQ(list.Highlighted(), std::nullopt);
  EXPECT_EQ(recorder.events,
            (std::vector<std::string>{"highlight 2", "removed 0", "changed 1", "removed 1", "highlight none"}));
  list.RemoveObserver(&recorder);
}

TEST(ImageListModelTest, PathsAreExactCaseSensitiveIdentities) {
  ImageListModel list;
  list.Append(Readable("/p/A.jpg"));
  list.Append(Readable("/p/a.jpg"));
  EXPECT_EQ(list.FindByPath("/p/a.jpg"), 1);
  EXPECT_EQ(list.FindByPath("/p/a.JPG"), std::nullopt);
  EXPECT_THROW(list.Row(2), std::out_of_range);
  EXPECT_THROW(list.SetSubItem(0, 5, "x"), std::out_of_range);
}

}  // namespace
}  // namespace imagelist
