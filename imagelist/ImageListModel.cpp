#include "imagelist/ImageListModel.h"

#include <algorithm>
#include <stdexcept>

namespace imagelist {

std::string FileNamePart(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

ImageEntry MakeEntry(std::array<std::string, kSubItemCount> subItems, bool showFullPath) {
  ImageEntry entry;
  entry.subItems = std::move(subItems);
  entry.caption = showFullPath ? entry.fullPath() : FileNamePart(entry.fullPath());
  entry.tick = entry.IsReadable();
  entry.status = entry.tick ? ImageStatus::Waiting : ImageStatus::Failed;
  return entry;
}

std::size_t ImageListModel::Index(int row) const {
  if (row < 0 || row >= Count()) throw std::out_of_range("image list row out of range");
  return static_cast<std::size_t>(row);
}

int ImageListModel::TickedCount() const {
  return static_cast<int>(std::count_if(rows_.begin(), rows_.end(), [](const ImageEntry& e) { return e.tick; }));
}

std::optional<int> ImageListModel::FindByPath(const std::string& fullPath) const {
  const auto it = std::find_if(rows_.begin(), rows_.end(),
                               [&](const ImageEntry& e) { return e.fullPath() == fullPath; });
  if (it == rows_.end()) return std::nullopt;
  return static_cast<int>(it - rows_.begin());
}

void ImageListModel::Changed(int row) {
  if (InBatch()) {
    changedInBatch_ = true;
    return;
  }
  Tell([row](ImageListObserver& o) { o.RowChanged(row); });
}

void ImageListModel::SetTick(int row, bool tick) {
  Mutable(row).tick = tick;
  Changed(row);
}

void ImageListModel::SetStatus(int row, ImageStatus status) {
  Mutable(row).status = status;
  Changed(row);
}

void ImageListModel::SetCaption(int row, std::string caption) {
  Mutable(row).caption = std::move(caption);
  Changed(row);
}

void ImageListModel::SetSubItem(int row, int subItem, std::string text) {
  if (subItem < 0 || subItem >= kSubItemCount) throw std::out_of_range("image list sub-item out of range");
  Mutable(row).subItems[static_cast<std::size_t>(subItem)] = std::move(text);
  Changed(row);
}

int ImageListModel::Append(ImageEntry entry) {
  const int row = Count();
  Tell([row](ImageListObserver& o) { o.RowAboutToBeAppended(row); });
  rows_.push_back(std::move(entry));
  Tell([row](ImageListObserver& o) { o.RowAppended(row); });
  return row;
}

void ImageListModel::Delete(int row) {
  const std::size_t index = Index(row);
  Tell([row](ImageListObserver& o) { o.RowAboutToBeRemoved(row); });
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(index));
  const std::optional<int> before = highlighted_;
  if (highlighted_ == row) {
    highlighted_.reset();
  } else if (highlighted_ && *highlighted_ > row) {
    --*highlighted_;
  }
  Tell([row](ImageListObserver& o) { o.RowRemoved(row); });
  if (before && !highlighted_) Tell([](ImageListObserver& o) { o.HighlightChanged(std::nullopt); });
}

void ImageListModel::CopyRow(int from, int to) {
  ImageEntry copy = Row(from);
  Mutable(to) = std::move(copy);
  Changed(to);
}

void ImageListModel::Highlight(int row) {
  Index(row);
  if (highlighted_ == row) return;
  highlighted_ = row;
  Tell([row](ImageListObserver& o) { o.HighlightChanged(row); });
}

void ImageListModel::ClearHighlight() {
  if (!highlighted_) return;
  highlighted_.reset();
  Tell([](ImageListObserver& o) { o.HighlightChanged(std::nullopt); });
}

void ImageListModel::ScrollIntoView(int row) {
  Index(row);
  Tell([row](ImageListObserver& o) { o.ScrollIntoViewRequested(row); });
}

void ImageListModel::RequestFocus() {
  Tell([](ImageListObserver& o) { o.FocusRequested(); });
}

void ImageListModel::ShowFullPath(bool fullPath) {
  BeginUpdate();
  for (int row = 0; row < Count(); ++row) {
    const std::string& path = Row(row).fullPath();
    SetCaption(row, fullPath ? path : FileNamePart(path));
  }
  EndUpdate();
}

void ImageListModel::EndUpdate() {
  if (batchDepth_ == 0) return;
  if (--batchDepth_ > 0 || !changedInBatch_) return;
  changedInBatch_ = false;
  Tell([](ImageListObserver& o) { o.BatchEnded(); });
}

void ImageListModel::AddObserver(ImageListObserver* observer) {
  if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end()) observers_.push_back(observer);
}

void ImageListModel::RemoveObserver(ImageListObserver* observer) {
  observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

std::string CountsText(const ImageListModel& list) {
  return std::to_string(list.TickedCount()) + " / " + std::to_string(list.Count());
}

}  // namespace imagelist
