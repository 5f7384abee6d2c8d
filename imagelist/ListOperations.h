// The commands that change ticks, order and membership of the image list: select by status,
// move the ticked rows, remove duplicates, remove the ticked rows. They work on the plain model;
// what they need of the preview and the dialogs comes through ListCommandHost.
#pragma once

#include <optional>
#include <string>

#include "imagelist/ImageListModel.h"

namespace imagelist {

class ListCommandHost {
 public:
  virtual ~ListCommandHost() = default;
  virtual std::string PreviewFilePath() const = 0;
  // Highlights and previews the row with the path; true when no row matched.
  virtual bool SelectRowByPath(const std::string& path) = 0;
  virtual void ClearPreview() = 0;
  virtual void ShowPreviewHeader() = 0;
  virtual void RefreshPreviewPlaceholder() = 0;
  // The highlighted row cannot be decoded: the preview names it and says so.
  virtual void ShowUnknownFormat(const std::string& path) = 0;
  virtual void UpdateListCounts() = 0;
  virtual void ShowNotice(const std::string& title, const std::string& text) = 0;
  // True only when the answer was "yes".
  virtual bool AskYesNo(const std::string& title, const std::string& line1, const std::string& line2) = 0;
};

// The items of the status menu, in menu order (the separator has no item).
enum class SelectOption { Processed, Waiting, Failed, SelectAll, DeselectAll, Inverse };

struct SelectMenuItem {
  SelectOption option;
  const char* name;
  const char* caption;
  std::optional<ImageStatus> icon;
};

inline constexpr SelectMenuItem kSelectMenuItems[] = {
    {SelectOption::Processed, "MenuItemProcessed", "Processed", ImageStatus::Converted},
    {SelectOption::Waiting, "MenuItemSelectWaiting", "Waiting", ImageStatus::Waiting},
    {SelectOption::Failed, "MenuItemSelectFailed", "Failed", ImageStatus::Failed},
    {SelectOption::SelectAll, "MenuItemSelectAll", "Select all", std::nullopt},
    {SelectOption::DeselectAll, "MenuItemDeselectAll", "Deselet all", std::nullopt},
    {SelectOption::Inverse, "MenuItemInverse", "Inverse", std::nullopt},
};

// Sets every row's tick as the menu item says, in one batch. Nothing happens on an empty list.
void SelectRows(ImageListModel& list, SelectOption option, ListCommandHost& host);

// One pass over the rows: each ticked row with an unticked row just above (below) it changes
// place with that row. True when something moved.
bool MoveTickedRowsUp(ImageListModel& list);
bool MoveTickedRowsDown(ImageListModel& list);

// Deletes every later row whose full path equals an earlier row's (exact, case-sensitive), so
// the first of each group stays. True when something was deleted.
bool DeleteDuplicateRows(ImageListModel& list);

// Highlights on its own the last row whose full path equals the path, scrolls it into view and
// focuses the list. Without a match the highlight is cleared and nullopt returned.
std::optional<int> HighlightRowByPath(ImageListModel& list, const std::string& path);

// The commands as the buttons run them, with the preview kept on its row.
void MoveUp(ImageListModel& list, ListCommandHost& host);
void MoveDown(ImageListModel& list, ListCommandHost& host);
void RemoveDuplications(ImageListModel& list, ListCommandHost& host);
void RemoveSelected(ImageListModel& list, ListCommandHost& host);

// When the highlighted row is of an unknown format the preview says so.
void CheckFormatMark(const ImageListModel& list, ListCommandHost& host);

}  // namespace imagelist
