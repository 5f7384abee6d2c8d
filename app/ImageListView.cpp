#include "app/ImageListView.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <array>

#include "app/Glyphs.h"
#include "app/Rounding.h"

namespace app {

namespace {

struct Column {
  const char* caption;
  Qt::Alignment alignment;
  int width;
};

constexpr std::array<Column, TImageListTableModel::kColumnCount> kColumns{{
    {" Source image", Qt::AlignLeft | Qt::AlignVCenter, 270},
    {" Dimensions", Qt::AlignCenter, 80},
    {"Format", Qt::AlignCenter, 50},
    {"DPI", Qt::AlignCenter, 50},
    {"File size", Qt::AlignCenter, 60},
}};

const QPixmap& StatusIcon(imagelist::ImageStatus status) {
  static const std::array<QPixmap, 4> icons{
      StatusIconPixmap(imagelist::ImageStatus::Converted), StatusIconPixmap(imagelist::ImageStatus::Failed),
      StatusIconPixmap(imagelist::ImageStatus::Processing), StatusIconPixmap(imagelist::ImageStatus::Waiting)};
  return icons.at(static_cast<std::size_t>(status));
}

int Shade(int channel) { return RoundHalfEven(channel * 94 / 100.0); }

}  // namespace

QColor ZebraShade(QColor background) {
  return QColor(Shade(background.red()), Shade(background.green()), Shade(background.blue()));
}

TImageListTableModel::TImageListTableModel(imagelist::ImageListModel& list, QObject* parent)
    : QAbstractTableModel(parent), list_(&list) {
  list_->AddObserver(this);
}

TImageListTableModel::~TImageListTableModel() { Detach(); }

void TImageListTableModel::Detach() {
  if (list_ == nullptr) return;
  beginResetModel();
  list_->RemoveObserver(this);
  list_ = nullptr;
  endResetModel();
}

int TImageListTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() || list_ == nullptr ? 0 : list_->Count();
}

int TImageListTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumnCount;
}

QVariant TImageListTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || list_ == nullptr || index.row() >= list_->Count()) return {};
  const imagelist::ImageEntry& entry = list_->Row(index.row());
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      return QString::fromStdString(column == 0 ? entry.caption : entry.subItems.at(static_cast<std::size_t>(column - 1)));
    case Qt::CheckStateRole:
      if (column == 0) return entry.tick ? Qt::Checked : Qt::Unchecked;
      return {};
    case Qt::DecorationRole:
      if (column == 0) return StatusIcon(entry.status);
      return {};
    case Qt::TextAlignmentRole:
      return QVariant::fromValue(kColumns.at(static_cast<std::size_t>(column)).alignment);
    default:
      return {};
  }
}

bool TImageListTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (!index.isValid() || list_ == nullptr || index.column() != 0 || role != Qt::CheckStateRole) return false;
  list_->SetTick(index.row(), value.toInt() == Qt::Checked);
  return true;
}

Qt::ItemFlags TImageListTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 0) flags |= Qt::ItemIsUserCheckable;
  return flags;
}

QVariant TImageListTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumnCount) return {};
  const Column& column = kColumns.at(static_cast<std::size_t>(section));
  if (role == Qt::DisplayRole) return QString::fromLatin1(column.caption);
  if (role == Qt::TextAlignmentRole) return QVariant::fromValue(column.alignment);
  return {};
}

void TImageListTableModel::RowChanged(int row) {
  emit dataChanged(index(row, 0), index(row, kColumnCount - 1));
  emit ListChanged();
}

void TImageListTableModel::RowAboutToBeAppended(int row) { beginInsertRows({}, row, row); }

void TImageListTableModel::RowAppended(int /*row*/) {
  endInsertRows();
  emit ListChanged();
}

void TImageListTableModel::RowAboutToBeRemoved(int row) {
  emit RemovalStarting();
  beginRemoveRows({}, row, row);
}

void TImageListTableModel::RowRemoved(int /*row*/) {
  endRemoveRows();
  emit RemovalEnded();
  emit ListChanged();
}

void TImageListTableModel::HighlightChanged(std::optional<int> row) { emit HighlightRequested(row.value_or(-1)); }

void TImageListTableModel::BatchEnded() {
  if (list_->Count() > 0) emit dataChanged(index(0, 0), index(list_->Count() - 1, kColumnCount - 1));
  emit ListChanged();
}

void TImageListTableModel::ScrollIntoViewRequested(int row) { emit ScrollRequested(row); }

void TImageListTableModel::FocusRequested() { emit FocusWanted(); }

TImageListView::TImageListView(imagelist::ImageListModel& list, QColor background, QWidget* parent)
    : QTableView(parent), list_(list), model_(new TImageListTableModel(list, this)) {
  setObjectName(QStringLiteral("sListViewImages"));
  setModel(model_);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSortingEnabled(false);
  setWordWrap(false);
  setIconSize(QSize(22, 20));
  setShowGrid(false);
  setAlternatingRowColors(true);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(22);

  // The highlight looks the same whether or not the list has the focus.
  QPalette colours = palette();
  colours.setColor(QPalette::Base, background);
  colours.setColor(QPalette::AlternateBase, ZebraShade(background));
  for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText})
    colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
  setPalette(colours);

  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(false);
  header->setSectionsMovable(false);
  header->setHighlightSections(false);
  header->setStretchLastSection(false);
  header->setMinimumSectionSize(kColumns[2].width);
  for (int column = 0; column < TImageListTableModel::kColumnCount; ++column) {
    header->setSectionResizeMode(column, column == 0 ? QHeaderView::Interactive : QHeaderView::Fixed);
    header->resizeSection(column, kColumns.at(static_cast<std::size_t>(column)).width);
  }
  // The first column may grow but never shrinks below its starting width.
  connect(header, &QHeaderView::sectionResized, this, [header](int section, int, int size) {
    if (section == 0 && size < kColumns[0].width) header->resizeSection(0, kColumns[0].width);
  });

  connect(model_, &TImageListTableModel::HighlightRequested, this, &TImageListView::FollowHighlight);
  connect(model_, &TImageListTableModel::ScrollRequested, this,
          [this](int row) { scrollTo(model_->index(row, 0)); });
  connect(model_, &TImageListTableModel::FocusWanted, this, [this] { setFocus(); });
  // Qt moves the current row to a neighbour when the current one is removed; the list instead
  // drops its highlight, so the view follows the list once the removal is over.
  connect(model_, &TImageListTableModel::RemovalStarting, this, [this] { removing_ = true; });
  connect(model_, &TImageListTableModel::RemovalEnded, this, [this] {
    removing_ = false;
    FollowHighlight(list_.Highlighted().value_or(-1));
  });
  connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) { CurrentRowChanged(current); });
}

TImageListView::~TImageListView() { model_->Detach(); }

void TImageListView::FollowHighlight(int row) {
  if (row < 0) {
    selectionModel()->clearCurrentIndex();
    clearSelection();
    return;
  }
  selectionModel()->setCurrentIndex(model_->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void TImageListView::CurrentRowChanged(const QModelIndex& current) {
  if (removing_) return;
  if (current.isValid()) {
    list_.Highlight(current.row());
  } else {
    list_.ClearHighlight();
  }
}

}  // namespace app
