// The ordered rows of the image list, with the highlighted row and batches of changes. Plain C++
// so that the list operations and the workers can drive it without widgets; a view follows it
// through ImageListObserver.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "imagelist/ImageEntry.h"

namespace imagelist {

class ImageListObserver {
 public:
  virtual ~ImageListObserver() = default;
  // A row's tick, status, caption or texts changed (not reported inside a batch).
  virtual void RowChanged(int /*row*/) {}
  virtual void RowAboutToBeAppended(int /*row*/) {}
  virtual void RowAppended(int /*row*/) {}
  virtual void RowAboutToBeRemoved(int /*row*/) {}
  virtual void RowRemoved(int /*row*/) {}
  virtual void HighlightChanged(std::optional<int> /*row*/) {}
  // The outermost batch ended: every row may have changed.
  virtual void BatchEnded() {}
  virtual void ScrollIntoViewRequested(int /*row*/) {}
  virtual void FocusRequested() {}
};

class ImageListModel {
 public:
  int Count() const { return static_cast<int>(rows_.size()); }
  bool Empty() const { return rows_.empty(); }
  // Rows at an index outside 0..Count()-1 are a programming error (std::out_of_range).
  const ImageEntry& Row(int index) const { return rows_.at(Index(index)); }
  int TickedCount() const;
  std::optional<int> FindByPath(const std::string& fullPath) const;

  void SetTick(int row, bool tick);
  void SetStatus(int row, ImageStatus status);
  void SetCaption(int row, std::string caption);
  void SetSubItem(int row, int subItem, std::string text);
  // Appends at the end and returns the new row's index.
  int Append(ImageEntry entry);
  void Delete(int row);
  // Copies every field of one row onto another; the highlight stays where it is.
  void CopyRow(int from, int to);

  std::optional<int> Highlighted() const { return highlighted_; }
  void Highlight(int row);
  void ClearHighlight();
  void ScrollIntoView(int row);
  void RequestFocus();

  // Captions become full paths or file names, in one batch.
  void ShowFullPath(bool fullPath);

  // Batches nest; changes inside report once, at the outermost EndUpdate.
  void BeginUpdate() { ++batchDepth_; }
  void EndUpdate();
  bool InBatch() const { return batchDepth_ > 0; }

  void AddObserver(ImageListObserver* observer);
  void RemoveObserver(ImageListObserver* observer);

 private:
  std::size_t Index(int row) const;
  ImageEntry& Mutable(int row) { return rows_.at(Index(row)); }
  void Changed(int row);
  template <typename Call>
  void Tell(Call call) {
    for (ImageListObserver* observer : observers_) call(*observer);
  }

  std::vector<ImageEntry> rows_;
  std::optional<int> highlighted_;
  int batchDepth_ = 0;
  bool changedInBatch_ = false;
  std::vector<ImageListObserver*> observers_;
};

// The counts label: ticked rows, " / ", all rows.
std::string CountsText(const ImageListModel& list);

}  // namespace imagelist
