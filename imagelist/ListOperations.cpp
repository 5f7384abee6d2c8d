#include "imagelist/ListOperations.h"

#include <string_view>
#include <unordered_set>
#include <vector>

namespace imagelist {

namespace {

// A batch of list changes for the length of a scope.
class Batch {
 public:
  explicit Batch(ImageListModel& list) : list_(list) { list_.BeginUpdate(); }
  ~Batch() { End(); }
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  void End() {
    if (open_) list_.EndUpdate();
    open_ = false;
  }

 private:
  ImageListModel& list_;
  bool open_ = true;
};

void SetRow(ImageListModel& list, int row, const ImageEntry& entry) {
  list.SetCaption(row, entry.caption);
  list.SetTick(row, entry.tick);
  list.SetStatus(row, entry.status);
  for (int item = 0; item < kSubItemCount; ++item)
    list.SetSubItem(row, item, entry.subItems[static_cast<std::size_t>(item)]);
}

// Every field moves with its row; the highlight stays at its index.
void ExchangeRows(ImageListModel& list, int a, int b) {
  const ImageEntry first = list.Row(a);
  list.CopyRow(b, a);
  SetRow(list, b, first);
}

bool TickFor(const ImageEntry& entry, SelectOption option) {
  switch (option) {
    case SelectOption::Processed: return entry.status == ImageStatus::Converted;
    case SelectOption::Waiting: return entry.status == ImageStatus::Waiting;
    case SelectOption::Failed: return entry.status == ImageStatus::Failed;
    case SelectOption::SelectAll: return true;
    case SelectOption::DeselectAll: return false;
    case SelectOption::Inverse: return !entry.tick;
  }
  return entry.tick;
}

// Steps 1, 3 and 4 shared by both directions; the pass itself is step 2.
template <typename Pass>
void MoveCommand(ImageListModel& list, ListCommandHost& host, Pass pass) {
  if (list.TickedCount() == 0 || list.Count() <= 1) return;
  Batch batch(list);
  const bool moved = pass(list);
  batch.End();
  if (moved) {
    // The highlight follows the previewed entry to its new place.
    host.SelectRowByPath(host.PreviewFilePath());
  } else {
    list.RequestFocus();
  }
  CheckFormatMark(list, host);
}

}  // namespace

void SelectRows(ImageListModel& list, SelectOption option, ListCommandHost& host) {
  if (list.Empty()) return;
  {
    Batch batch(list);
    for (int row = 0; row < list.Count(); ++row) list.SetTick(row, TickFor(list.Row(row), option));
  }
  host.UpdateListCounts();
}

bool MoveTickedRowsUp(ImageListModel& list) {
  bool moved = false;
  for (int i = 1; i < list.Count(); ++i) {
    if (list.Row(i).tick && !list.Row(i - 1).tick) {
      ExchangeRows(list, i, i - 1);
      moved = true;
    }
  }
  return moved;
}

bool MoveTickedRowsDown(ImageListModel& list) {
  bool moved = false;
  for (int i = list.Count() - 2; i >= 0; --i) {
    if (list.Row(i).tick && !list.Row(i + 1).tick) {
      ExchangeRows(list, i, i + 1);
      moved = true;
    }
  }
  return moved;
}

// Comparing every row with every later one and deleting matches from the end keeps the first
// row of each group; a set of the paths seen so far finds the same rows in one pass.
bool DeleteDuplicateRows(ImageListModel& list) {
  std::unordered_set<std::string_view> seen;
  std::vector<int> duplicates;
  for (int row = 0; row < list.Count(); ++row) {
    if (!seen.insert(list.Row(row).fullPath()).second) duplicates.push_back(row);
  }
  seen.clear();  // its views point into rows about to go
  for (auto it = duplicates.rbegin(); it != duplicates.rend(); ++it) list.Delete(*it);
  return !duplicates.empty();
}

std::optional<int> HighlightRowByPath(ImageListModel& list, const std::string& path) {
  std::optional<int> match;
  for (int row = list.Count() - 1; row >= 0 && !match; --row) {
    if (list.Row(row).fullPath() == path) match = row;
  }
  // Every row loses its highlight first, so even the row already highlighted announces it anew.
  list.ClearHighlight();
  if (!match) return std::nullopt;
  list.Highlight(*match);
  list.ScrollIntoView(*match);
  list.RequestFocus();
  return match;
}

void MoveUp(ImageListModel& list, ListCommandHost& host) { MoveCommand(list, host, MoveTickedRowsUp); }

void MoveDown(ImageListModel& list, ListCommandHost& host) { MoveCommand(list, host, MoveTickedRowsDown); }

void RemoveDuplications(ImageListModel& list, ListCommandHost& host) {
  if (list.Empty()) return;
  Batch batch(list);
  const std::string remembered = host.PreviewFilePath();
  if (DeleteDuplicateRows(list)) {
    list.ClearHighlight();
    batch.End();
    host.UpdateListCounts();
    if (host.SelectRowByPath(remembered)) host.ClearPreview();
    host.ShowPreviewHeader();
    host.RefreshPreviewPlaceholder();
    return;
  }
  batch.End();
  host.ShowNotice("Duplications", "No duplicates found!");
  host.SelectRowByPath(remembered);
  list.RequestFocus();
}

void RemoveSelected(ImageListModel& list, ListCommandHost& host) {
  if (list.Empty()) return;
  if (!host.AskYesNo("Remove selected images", "Are you sure you want to remove all",
                     "selected images from the list?"))
    return;
  {
    Batch batch(list);
    for (int row = list.Count() - 1; row >= 0; --row) {
      if (list.Row(row).tick) list.Delete(row);
    }
    host.UpdateListCounts();
    if (list.Empty()) {
      host.ClearPreview();
    } else {
      const std::string first = list.Row(0).fullPath();
      host.SelectRowByPath(first);
    }
  }
  host.ShowPreviewHeader();
  host.RefreshPreviewPlaceholder();
  if (!list.Empty()) CheckFormatMark(list, host);
}

void CheckFormatMark(const ImageListModel& list, ListCommandHost& host) {
  const std::optional<int> row = list.Highlighted();
  if (row && !list.Row(*row).IsReadable()) host.ShowUnknownFormat(list.Row(*row).fullPath());
}

}  // namespace imagelist
