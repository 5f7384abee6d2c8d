#include "preview/PreviewPane.h"

#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QVBoxLayout>
#include <exception>

#include "platform/NamedWidgets.h"

namespace preview {

namespace {

constexpr int kHeaderHeight = 24;
constexpr int kArrowButtonWidth = 24;
constexpr int kInfoBarHeight = 32;
constexpr int kStripHeight = 22;
constexpr int kButtonWidth = 56;
constexpr int kButtonHeight = 24;

const QString kPropertiesHint = QStringLiteral("Dimensions  \u00a6  Bits per pixel  \u00a6  Format");

using platform::Named;
using platform::Panel;

QPushButton* Button(const char* name, const char* caption, const char* hint, QWidget* parent) {
  QPushButton* button = Named(new QPushButton(QString::fromUtf8(caption), parent), name);
  button->setToolTip(QString::fromUtf8(hint));
  button->resize(kButtonWidth, kButtonHeight);
  button->setEnabled(false);
  return button;
}

int TextWidth(const QLabel* label) { return label->fontMetrics().horizontalAdvance(label->text()); }

}  // namespace

TPreviewPane::TPreviewPane(imagelist::ImageListModel& list, PreviewHost host, QWidget* parent)
    : QWidget(parent), list_(list), host_(std::move(host)) {
  setObjectName(QStringLiteral("sPanelPreview"));
  setAttribute(Qt::WA_StyledBackground);
  BuildHeader();
  BuildContent();
  BuildInfoBar();
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(6, 4, 4, 2);
  column->setSpacing(2);
  column->addWidget(sPanelAboveImage);
  column->addWidget(sPanelContent, 1);
  column->addWidget(sPanelImageInfo);

  ShowPreviewProperties(QString());
  sLabelScale->clear();
  ShowPreviewHeader();
  RefreshPreviewPlaceholder();
  list_.AddObserver(this);
}

TPreviewPane::~TPreviewPane() { list_.RemoveObserver(this); }

void TPreviewPane::BuildHeader() {
  sPanelAboveImage = Panel("sPanelAboveImage", this);
  sPanelAboveImage->setFixedHeight(kHeaderHeight);
  LabelPreviewImage = Named(new QLabel(sPanelAboveImage), "LabelPreviewImage");
  sPanelArrows = Panel("sPanelArrows", sPanelAboveImage);
  sPanelArrows->resize(2 * kArrowButtonWidth + 4, kHeaderHeight);
  sBitBtnPreviewPrev = Named(new QToolButton(sPanelArrows), "sBitBtnPreviewPrev");
  sBitBtnPreviewPrev->setArrowType(Qt::LeftArrow);
  sBitBtnPreviewPrev->setToolTip(QStringLiteral("Previous image"));
  sBitBtnPreviewPrev->setGeometry(0, 1, kArrowButtonWidth, kHeaderHeight - 2);
  sBitBtnPreviewNext = Named(new QToolButton(sPanelArrows), "sBitBtnPreviewNext");
  sBitBtnPreviewNext->setArrowType(Qt::RightArrow);
  sBitBtnPreviewNext->setToolTip(QStringLiteral("Next image"));
  sBitBtnPreviewNext->setGeometry(kArrowButtonWidth + 2, 1, kArrowButtonWidth, kHeaderHeight - 2);
  connect(sBitBtnPreviewPrev, &QToolButton::clicked, this, [this] { sBitBtnPreviewPrevClick(); });
  connect(sBitBtnPreviewNext, &QToolButton::clicked, this, [this] { sBitBtnPreviewNextClick(); });
  sPanelAboveImage->installEventFilter(this);
}

void TPreviewPane::BuildContent() {
  sPanelContent = Named(new QLabel(this), "sPanelContent");
  sPanelContent->setAlignment(Qt::AlignCenter);
  sPanelContent->setMinimumSize(1, 1);
  tImage32Preview = new TImage32View(kViewBackground, sPanelContent);
  tImage32Preview->hide();
  tImage32Preview->SetResizeHandler([this] { PreviewResize(); });
  sPanelAGIFInfo = Named(new QLabel(QStringLiteral("Animated GIF info"), sPanelContent), "sPanelAGIFInfo");
  sPanelAGIFInfo->setAlignment(Qt::AlignCenter);
  sPanelAGIFInfo->setAttribute(Qt::WA_StyledBackground);
  sPanelAGIFInfo->setStyleSheet(
      QStringLiteral("background: #fff3c4; color: #5c4a00; border: none; border-top: 1px solid #e2c15a;"));
  sPanelAGIFInfo->setCursor(Qt::WhatsThisCursor);
  sPanelAGIFInfo->hide();
  sPanelAGIFInfo->installEventFilter(this);
  sPanelContent->installEventFilter(this);
}

void TPreviewPane::BuildInfoBar() {
  sPanelImageInfo = Panel("sPanelImageInfo", this);
  sPanelImageInfo->setFixedHeight(kInfoBarHeight);
  sPanelImageInner = Panel("sPanelImageInner", sPanelImageInfo);
  sLabelProperties = Named(new QLabel(sPanelImageInner), "sLabelProperties");
  sBitBtnPreview = Button("sBitBtnPreview", "Preview", "Preview image in default viewer", sPanelImageInner);
  sBitBtnCopy = Button("sBitBtnCopy", "Copy", "Copy image to the clipboard", sPanelImageInner);
  sBitBtnPreviewRemove = Button("sBitBtnPreviewRemove", "Remove", "Remove image from the list", sPanelImageInner);
  sLabelScale = Named(new QLabel(sPanelImageInner), "sLabelScale");
  connect(sBitBtnPreview, &QPushButton::clicked, this, [this] { sBitBtnPreviewClick(); });
  connect(sBitBtnCopy, &QPushButton::clicked, this, [this] { sBitBtnCopyClick(); });
  connect(sBitBtnPreviewRemove, &QPushButton::clicked, this, [this] { sBitBtnPreviewRemoveClick(); });
  sPanelImageInfo->installEventFilter(this);
}

bool TPreviewPane::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == sPanelAboveImage) LayoutHeader();
    if (watched == sPanelContent) LayoutContent();
    if (watched == sPanelImageInfo) {
      sPanelImageInner->setGeometry(sPanelImageInfo->rect().adjusted(2, 3, -2, -3));
      PlaceScaleLabel();
    }
  }
  if (watched == sPanelAGIFInfo && event->type() == QEvent::MouseButtonRelease) sPanelAGIFInfoClick();
  return QWidget::eventFilter(watched, event);
}

void TPreviewPane::LayoutHeader() {
  const int width = sPanelAboveImage->width();
  sPanelArrows->move(width - sPanelArrows->width() - 2, 0);
  ShowPreviewHeader();
}

// The strip is docked at the bottom; the view takes the rest.
void TPreviewPane::LayoutContent() {
  const QRect inside = sPanelContent->contentsRect();
  const int strip = sPanelAGIFInfo->isHidden() ? 0 : kStripHeight;
  sPanelAGIFInfo->setGeometry(inside.left(), inside.bottom() + 1 - kStripHeight, inside.width(), kStripHeight);
  tImage32Preview->setGeometry(inside.adjusted(0, 0, 0, -strip));
}

void TPreviewPane::HighlightChanged(std::optional<int> row) {
  if (row) SelectImageFromList(*row);
}

void TPreviewPane::SelectImageFromList(int row) {
  if (row < 0 || row >= list_.Count()) return;
  const std::string path = list_.Row(row).fullPath();
  if (path != previewFilePath_) LoadPreviewImage(path);
}

void TPreviewPane::LoadPreviewImage(const std::string& path) {
  try {
    const std::optional<int> row = list_.Highlighted();
    if (!row) return FailureSteps();
    if (!list_.Row(*row).IsReadable()) {
      ShowUnknownFormat(list_.Row(*row).fullPath());
      ShowPreviewHeader();
      return FailureSteps();
    }
    list_.ScrollIntoView(*row);
    previewDib_.reset();
    std::optional<PreviewImage> image = DecodePreview(path);
    if (!image) return FailureSteps();

    previewDib_ = std::move(image->dib);
    previewFilePath_ = path;
    previewBitsPerPixel_ = image->bitsPerPixel;
    ShowPreviewHeader();
    sPanelAGIFInfo->setVisible(image->frames >= 2);
    LayoutContent();
    const QSize size = image->bitmap.size();
    tImage32Preview->SetBitmap(std::move(image->bitmap));
    ShowPreviewProperties(PropertiesText(size.width(), size.height(), previewBitsPerPixel_, image->type));
    PreviewResize();
    tImage32Preview->show();
  } catch (const std::exception&) {
    FailureSteps();
  }
}

// The image shown before, if any, stays in the view.
void TPreviewPane::FailureSteps() {
  ShowPreviewProperties(QString());
  sLabelScale->clear();
  if (host_.bringToFront) host_.bringToFront();
}

void TPreviewPane::ShowPreviewHeader() {
  const QString path = QString::fromStdString(previewFilePath_);
  LabelPreviewImage->setToolTip(path);
  if (path.isEmpty()) {
    LabelPreviewImage->setText(QStringLiteral("Preview image"));
  } else {
    const int available = sPanelAboveImage->width() - sPanelArrows->width() - 8;
    LabelPreviewImage->setText(ShortenToFit(path, LabelPreviewImage->fontMetrics(), available));
  }
  LabelPreviewImage->setGeometry(4, 0, TextWidth(LabelPreviewImage), kHeaderHeight);
}

void TPreviewPane::ShowPreviewProperties(const QString& text) {
  sLabelProperties->setText(text);
  sLabelProperties->setToolTip(text.isEmpty() ? QString() : kPropertiesHint);
  sLabelProperties->setGeometry(0, 0, TextWidth(sLabelProperties), sPanelImageInner->height());
  const bool shown = !text.isEmpty();
  int left = shown ? sLabelProperties->x() + sLabelProperties->width() + 9 : 2;
  const int top = std::max(0, (sPanelImageInner->height() - kButtonHeight) / 2);
  for (QPushButton* button : {sBitBtnPreview, sBitBtnCopy, sBitBtnPreviewRemove}) {
    button->move(left, top);
    button->setEnabled(shown);
    left += button->width() + 4;
  }
  sLabelScale->setVisible(shown);
}

void TPreviewPane::PreviewResize() {
  const QImage& bitmap = tImage32Preview->Bitmap();
  if (bitmap.isNull()) {
    LabelPreviewImage->setText(QStringLiteral("Preview image"));
    sLabelProperties->clear();
    sLabelScale->clear();
    tImage32Preview->hide();
    return;
  }
  const float scale = PreviewScale(tImage32Preview->size(), bitmap.size());
  tImage32Preview->SetScale(scale);
  sLabelScale->setText(ScaleText(scale));
  PlaceScaleLabel();
}

void TPreviewPane::PlaceScaleLabel() {
  const int width = TextWidth(sLabelScale);
  sLabelScale->setGeometry(sPanelImageInner->width() - width, 0, width, sPanelImageInner->height());
}

bool TPreviewPane::SelectRowByPath(const std::string& path) {
  const std::string wanted = path;  // the path may be our own, which loading changes
  const std::optional<int> row = imagelist::HighlightRowByPath(list_, wanted);
  if (row) previewFilePath_ = wanted;
  return !row;
}

void TPreviewPane::ClearPreview() {
  tImage32Preview->hide();
  tImage32Preview->SetBitmap(QImage());
  sPanelAGIFInfo->hide();
  previewFilePath_.clear();
  ShowPreviewProperties(QString());
  sLabelScale->clear();
}

void TPreviewPane::RefreshPreviewPlaceholder() {
  sPanelContent->clear();
  if (!list_.Highlighted()) sPanelContent->setText(QStringLiteral("Click on the list to preview an image"));
}

void TPreviewPane::ShowUnknownFormat(const std::string& path) {
  previewFilePath_ = path;
  sPanelContent->setText(QStringLiteral("Unknown image format"));
  sPanelAGIFInfo->hide();
  tImage32Preview->hide();
}

void TPreviewPane::UpdateListCounts() {
  if (host_.updateListCounts) host_.updateListCounts();
}

void TPreviewPane::ShowNotice(const std::string& title, const std::string& text) {
  if (host_.showNotice) host_.showNotice(title, text, 0);
}

bool TPreviewPane::AskYesNo(const std::string& title, const std::string& line1, const std::string& line2) {
  return host_.askYesNo && host_.askYesNo(title, line1, line2);
}

void TPreviewPane::sBitBtnPreviewNextClick() {
  if (!list_.Empty()) {
    const int target = list_.Highlighted() ? *list_.Highlighted() + 1 : 0;
    if (target < list_.Count()) {
      list_.Highlight(target);
      list_.ScrollIntoView(target);
    }
  }
  list_.RequestFocus();
}

void TPreviewPane::sBitBtnPreviewPrevClick() {
  if (!list_.Empty()) {
    const int target = list_.Highlighted() ? *list_.Highlighted() - 1 : list_.Count() - 1;
    if (target >= 0) {
      list_.Highlight(target);
      list_.ScrollIntoView(target);
    }
  }
  list_.RequestFocus();
}

void TPreviewPane::sBitBtnPreviewClick() {
  if (host_.openInShell) host_.openInShell(LabelPreviewImage->toolTip().toStdString());
  SelectRowByPath(previewFilePath_);
}

void TPreviewPane::sBitBtnCopyClick() {
  QGuiApplication::clipboard()->setImage(tImage32Preview->Bitmap());
  SelectRowByPath(previewFilePath_);
}

void TPreviewPane::sBitBtnPreviewRemoveClick() {
  if (!AskYesNo("Remove this image", "Are you sure you want to remove", "the current image from the list?")) return;
  const std::optional<int> highlighted = list_.Highlighted();
  if (!highlighted) return;
  {
    list_.BeginUpdate();
    const int h = *highlighted;
    const int n = list_.Count();
    const std::optional<int> next = h < n - 1 ? std::optional(h + 1) : h > 0 ? std::optional(h - 1) : std::nullopt;
    const std::string nextPath = next ? list_.Row(*next).fullPath() : std::string();
    list_.Delete(h);
    UpdateListCounts();
    if (SelectRowByPath(nextPath)) ClearPreview();
    list_.EndUpdate();
  }
  ShowPreviewHeader();
  RefreshPreviewPlaceholder();
  imagelist::CheckFormatMark(list_, *this);
}

void TPreviewPane::sPanelAGIFInfoClick() {
  if (host_.showNotice)
    host_.showNotice("Animated GIF info", "This is an animated GIF. You can only view and export the first frame.", 1);
}

}  // namespace preview
