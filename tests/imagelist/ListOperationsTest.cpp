#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "imagelist/ListOperations.h"

namespace imagelist {
namespace {

// Rows written as "A* B C*": a name per row, "*" when ticked, "?" when unreadable.
void Fill(ImageListModel& list, const std::string& rows) {
  std::istringstream words(rows);
  for (std::string word; words >> word;) {
    const bool ticked = word.find('*') != std::string::npos;
    const bool unreadable = word.find('?') != std::string::npos;
    const std::string name = word.substr(0, word.find_first_of("*?"));
    ImageEntry entry = MakeEntry({"1 x 1", unreadable ? "?" : "PNG", "72", name + " bytes", name}, true);
    entry.tick = ticked;
    list.Append(std::move(entry));
  }
}

std::string Rows(const ImageListModel& list) {
  std::string text;
  for (int row = 0; row < list.Count(); ++row) {
    const ImageEntry& entry = list.Row(row);
    // Every field travels with its row.
    EXPECT_EQ(entry.caption, entry.fullPath());
    EXPECT_EQ(entry.subItems[FileSize], entry.fullPath() + " bytes");
    text += (row ? " " : "") + entry.fullPath() + (entry.tick ? "*" : "");
  }
  return text;
}

// Plays the preview and the dialogs: the previewed path follows SelectRowByPath as the pane's
// highlight handler makes it do, and every call is recorded.
struct FakeHost : ListCommandHost {
  explicit FakeHost(ImageListModel& l) : list(l) {}

  std::string PreviewFilePath() const override { return preview; }
  bool SelectRowByPath(const std::string& path) override {
    calls.push_back("select " + path);
    const std::optional<int> row = HighlightRowByPath(list, path);
    if (row) preview = path;
    return !row;
  }
  void ClearPreview() override {
    calls.push_back("clear");
    preview.clear();
  }
  void ShowPreviewHeader() override { calls.push_back("header"); }
  void RefreshPreviewPlaceholder() override { calls.push_back("placeholder"); }
  void ShowUnknownFormat(const std::string& path) override {
    calls.push_back("unknown " + path);
    preview = path;
  }
  void UpdateListCounts() override { calls.push_back("counts " + CountsText(list)); }
  void ShowNotice(const std::string& title, const std::string& text) override {
    calls.push_back("notice " + title + ": " + text);
  }
  bool AskYesNo(const std::string& title, const std::string& line1, const std::string& line2) override {
    calls.push_back("ask " + title + ": " + line1 + " " + line2);
    const bool yes = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return yes;
  }

  ImageListModel& list;
  std::string preview;
  std::vector<std::string> calls;
  std::deque<bool> answers;
};

struct FocusCounter : ImageListObserver {
  int focus = 0;
  int batches = 0;
  void FocusRequested() override { ++focus; }
  void BatchEnded() override { ++batches; }
};

struct MoveCase {
  const char* rows;
  const char* up;
  const char* down;
};

TEST(ListOperationsTest, MoveRunsOnePassOverTheTickedRows) {
  const MoveCase cases[] = {
      {"A* B C* D*", "A* C* D* B", "B A* C* D*"},
      {"A* B C D", "A* B C D", "B A* C D"},
      {"A* B* C* D*", "A* B* C* D*", "A* B* C* D*"},
      {"A B C D*", "A B D* C", "A B C D*"},
      {"A B* C* D", "B* C* A D", "A D B* C*"},
      {"A* B C* D", "A* C* B D", "B A* D C*"},
  };
  for (const MoveCase& c : cases) {
    for (const bool up : {true, false}) {
      SCOPED_TRACE(std::string(c.rows) + (up ? " up" : " down"));
      ImageListModel list;
      Fill(list, c.rows);
      EXPECT_EQ(up ? MoveTickedRowsUp(list) : MoveTickedRowsDown(list), std::string(c.rows) != (up ? c.up : c.down));
      EXPECT_EQ(Rows(list), up ? c.up : c.down);
    }
  }
}

TEST(ListOperationsTest, MoveKeepsThePreviewedEntryHighlighted) {
  ImageListModel list;
  Fill(list, "A* B C* D*");
  FakeHost host(list);
  host.preview = "C";
  list.Highlight(2);
  FocusCounter observer;
  list.AddObserver(&observer);

  MoveUp(list, host);
  EXPECT_EQ(Rows(list), "A* C* D* B");
  EXPECT_EQ(list.Highlighted(), 1);
  EXPECT_EQ(host.calls, std::vector<std::string>{"select C"});
  EXPECT_EQ(observer.batches, 1);

  MoveDown(list, host);
  EXPECT_EQ(Rows(list), "B A* C* D*");
  EXPECT_EQ(list.Highlighted(), 2);
  list.RemoveObserver(&observer);
}

TEST(ListOperationsTest, MoveThatChangesNothingOnlyFocusesTheList) {
  const char* cases[] = {"A* B C", "A* B* C*"};
  for (const char* rows : cases) {
    SCOPED_TRACE(rows);
    ImageListModel list;
    Fill(list, rows);
    FakeHost host(list);
    FocusCounter observer;
    list.AddObserver(&observer);
    MoveUp(list, host);
    EXPECT_EQ(Rows(list), rows);
    EXPECT_EQ(observer.focus, 1);
    EXPECT_TRUE(host.calls.empty());
    list.RemoveObserver(&observer);
  }
}

TEST(ListOperationsTest, MoveIgnoresASingleRowAndAListWithoutTicks) {
  for (const char* rows : {"A*", "A B C"}) {
    ImageListModel list;
    Fill(list, rows);
    FakeHost host(list);
    FocusCounter observer;
    list.AddObserver(&observer);
    MoveUp(list, host);
    MoveDown(list, host);
    EXPECT_EQ(Rows(list), rows);
    EXPECT_EQ(observer.focus + observer.batches, 0) << rows;
    list.RemoveObserver(&observer);
  }
}

TEST(ListOperationsTest, MoveMarksAHighlightedUnreadableRow) {
  ImageListModel list;
  Fill(list, "A B?* C");
  FakeHost host(list);
  host.preview = "B";
  list.Highlight(1);
  MoveUp(list, host);
  EXPECT_EQ(Rows(list), "B* A C");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"select B", "unknown B"}));
}

struct DuplicateCase {
  const char* rows;
  const char* left;
};

TEST(ListOperationsTest, RemoveDuplicationsKeepsTheFirstOfEachGroup) {
  const DuplicateCase cases[] = {
      {"X* Y* X* X* Y*", "X* Y*"},
      {"X Y* X* X Y", "X Y*"},  // the first keeps its own tick
      {"/p/a.jpg* /p/A.jpg* /p/a.JPG*", "/p/a.jpg* /p/A.jpg* /p/a.JPG*"},
      {"A B C A", "A B C"},
  };
  for (const DuplicateCase& c : cases) {
    SCOPED_TRACE(c.rows);
    ImageListModel list;
    Fill(list, c.rows);
    EXPECT_EQ(DeleteDuplicateRows(list), std::string(c.rows) != c.left);
    EXPECT_EQ(Rows(list), c.left);
  }
}

// The nested loops compare every row with every later one and delete from the end.
std::vector<std::string> QuadraticDeduplicate(std::vector<std::string> rows) {
  const std::size_t start = rows.size();
  for (std::size_t i = 0; i < start; ++i) {
    for (std::size_t j = rows.size(); j-- > i + 1;) {
      if (i < rows.size() && rows[j] == rows[i]) rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(j));
    }
  }
  return rows;
}

TEST(ListOperationsTest, RemoveDuplicationsMatchesTheNestedLoops) {
  std::mt19937 random(7);
  for (int round = 0; round < 50; ++round) {
    std::vector<std::string> paths(random() % 40);
    for (std::string& path : paths) path = "/f" + std::to_string(random() % 12);
    ImageListModel list;
    for (const std::string& path : paths) list.Append(MakeEntry({"", "PNG", "", "", path}, false));
    DeleteDuplicateRows(list);
    std::vector<std::string> left;
    for (int row = 0; row < list.Count(); ++row) left.push_back(list.Row(row).fullPath());
    EXPECT_EQ(left, QuadraticDeduplicate(paths));
  }
}

TEST(ListOperationsTest, RemoveDuplicationsKeepsOrClearsThePreview) {
  ImageListModel list;
  Fill(list, "X Y X Z");
  FakeHost host(list);
  host.preview = "Y";
  list.Highlight(1);
  RemoveDuplications(list, host);
  EXPECT_EQ(Rows(list), "X Y Z");
  EXPECT_EQ(list.Highlighted(), 1);
  EXPECT_EQ(host.calls, (std::vector<std::string>{"counts 0 / 3", "select Y", "header", "placeholder"}));

  host.calls.clear();
  RemoveDuplications(list, host);
  EXPECT_EQ(Rows(list), "X Y Z");
  EXPECT_EQ(host.calls, (std::vector<std::string>{"notice Duplications: No duplicates found!", "select Y"}));

  // The previewed path is not in the list any more: the preview empties.
  ImageListModel other;
  Fill(other, "X X");
  FakeHost gone(other);
  gone.preview = "/elsewhere";
  RemoveDuplications(other, gone);
  EXPECT_EQ(gone.calls, (std::vector<std::string>{"counts 0 / 1", "select /elsewhere", "clear", "header",
                                                  "placeholder"}));
  EXPECT_EQ(gone.preview, "");
}

TEST(ListOperationsTest, RemoveAsksAndDeletesTheTickedRows) {
  const std::string question =
      "ask Remove selected images: Are you sure you want to remove all selected images from the list?";
  struct Case {
    const char* rows;
    bool yes;
    const char* left;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"A* B C* D", true, "B D", {question, "counts 0 / 2", "select B", "header", "placeholder"}},
      {"A* B C* D", false, "A* B C* D", {question}},
      {"A B", true, "A B", {question, "counts 0 / 2", "select A", "header", "placeholder"}},
      {"A* B*", true, "", {question, "counts 0 / 0", "clear", "header", "placeholder"}},
      {"A* B?", true, "B", {question, "counts 0 / 1", "select B", "header", "placeholder", "unknown B"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rows);
    ImageListModel list;
    Fill(list, c.rows);
    FakeHost host(list);
    host.preview = "A";
    host.answers = {c.yes};
    RemoveSelected(list, host);
    EXPECT_EQ(Rows(list), c.left);
    EXPECT_EQ(host.calls, c.calls);
    if (list.Empty()) {
      EXPECT_EQ(host.preview, "");
    } else if (c.yes) {
      EXPECT_EQ(list.Highlighted(), 0);
    }
  }
}

TEST(ListOperationsTest, EmptyListIgnoresEveryCommand) {
  ImageListModel list;
  FakeHost host(list);
  MoveUp(list, host);
  MoveDown(list, host);
  RemoveDuplications(list, host);
  RemoveSelected(list, host);
  for (const SelectMenuItem& item : kSelectMenuItems) SelectRows(list, item.option, host);
  EXPECT_TRUE(host.calls.empty());
}

TEST(ListOperationsTest, MenuItemsTickByStatus) {
  ImageListModel list;
  Fill(list, "C* F W* P C W F*");
  const ImageStatus statuses[] = {ImageStatus::Converted, ImageStatus::Failed,  ImageStatus::Waiting,
                                  ImageStatus::Processing, ImageStatus::Converted, ImageStatus::Waiting,
                                  ImageStatus::Failed};
  for (int row = 0; row < list.Count(); ++row) list.SetStatus(row, statuses[row]);
  const std::pair<SelectOption, const char*> cases[] = {
      {SelectOption::Processed, "C* F W P C* W F"},   {SelectOption::Waiting, "C F W* P C W* F"},
      {SelectOption::Failed, "C F* W P C W F*"},      {SelectOption::Inverse, "C* F W* P* C* W* F"},
      {SelectOption::SelectAll, "C* F* W* P* C* W* F*"}, {SelectOption::DeselectAll, "C F W P C W F"},
  };
  FakeHost host(list);
  for (const auto& [option, ticks] : cases) {
    SelectRows(list, option, host);
    EXPECT_EQ(Rows(list), ticks);
    EXPECT_EQ(host.calls.back(), "counts " + CountsText(list));
  }
}

TEST(ListOperationsTest, HighlightRowByPathTakesTheLastMatch) {
  ImageListModel list;
  Fill(list, "A B A C");
  EXPECT_EQ(HighlightRowByPath(list, "A"), 2);
  EXPECT_EQ(list.Highlighted(), 2);
  EXPECT_EQ(HighlightRowByPath(list, "a"), std::nullopt);
  EXPECT_EQ(list.Highlighted(), std::nullopt);
}

}  // namespace
}  // namespace imagelist
