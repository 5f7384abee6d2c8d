// The report-style view of the image list: a Qt table model over ImageListModel and the table
// view configured as the list is shown (tick boxes, status icons, five columns, one whole-row
// highlight, no sorting, zebra shading).
#pragma once

#include <QAbstractTableModel>
#include <QColor>
#include <QTableView>

#include "imagelist/ImageListModel.h"

namespace app {

// A shaded row: each of red, green and blue × 94 / 100, rounded half to even.
QColor ZebraShade(QColor background);

class TImageListTableModel : public QAbstractTableModel, public imagelist::ImageListObserver {
  Q_OBJECT
 public:
  static constexpr int kColumnCount = 5;

  TImageListTableModel(imagelist::ImageListModel& list, QObject* parent);
  ~TImageListTableModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // Ends the link to the list early, when the list is about to go away first.
  void Detach();

 signals:
  // Any change that can alter the counts: a row's fields, rows added or removed, a batch.
  void ListChanged();
  void HighlightRequested(int row);  // -1: none
  void ScrollRequested(int row);
  void FocusWanted();
  // Around a row's removal, before and after Qt's own handling of it.
  void RemovalStarting();
  void RemovalEnded();

 private:
  void RowChanged(int row) override;
  void RowAboutToBeAppended(int row) override;
  void RowAppended(int row) override;
  void RowAboutToBeRemoved(int row) override;
  void RowRemoved(int row) override;
  void HighlightChanged(std::optional<int> row) override;
  void BatchEnded() override;
  void ScrollIntoViewRequested(int row) override;
  void FocusRequested() override;

  imagelist::ImageListModel* list_;
};

class TImageListView : public QTableView {
  Q_OBJECT
 public:
  TImageListView(imagelist::ImageListModel& list, QColor background, QWidget* parent);
  ~TImageListView() override;

  TImageListTableModel* ListModel() const { return model_; }

 private:
  void FollowHighlight(int row);
  void CurrentRowChanged(const QModelIndex& current);

  imagelist::ImageListModel& list_;
  TImageListTableModel* model_;
  bool removing_ = false;
};

}  // namespace app
