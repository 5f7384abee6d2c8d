// The preview of the highlighted list row: header with the file's path and arrow buttons, the
// scaled image, the animated GIF strip, the properties line, scale and the Preview, Copy and
// Remove buttons. It owns the previewed path, which the list commands use to keep the preview
// on its row.
#pragma once

#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "imagelist/ImageListModel.h"
#include "imagelist/ListOperations.h"
#include "preview/ImageView.h"
#include "preview/PreviewImage.h"

namespace preview {

// What the pane needs of the window around it; unset members do nothing (or answer "no").
struct PreviewHost {
  std::function<void()> updateListCounts;
  // Kind 0 information, 1 warning.
  std::function<void(const std::string& title, const std::string& text, int kind)> showNotice;
  std::function<bool(const std::string& title, const std::string& line1, const std::string& line2)> askYesNo;
  std::function<void(const std::string& path)> openInShell;
  std::function<void()> bringToFront;
};

class TPreviewPane : public QWidget, public imagelist::ListCommandHost, private imagelist::ImageListObserver {
 public:
  static inline const QColor kViewBackground{0xf5, 0xf9, 0xfe};

  TPreviewPane(imagelist::ImageListModel& list, PreviewHost host, QWidget* parent);
  ~TPreviewPane() override;

  void LoadPreviewImage(const std::string& path);
  void SelectImageFromList(int row);
  void ShowPreviewProperties(const QString& text);
  void PreviewResize();

  // The list commands' side of the preview.
  std::string PreviewFilePath() const override { return previewFilePath_; }
  bool SelectRowByPath(const std::string& path) override;
  void ClearPreview() override;
  void ShowPreviewHeader() override;
  void RefreshPreviewPlaceholder() override;
  void ShowUnknownFormat(const std::string& path) override;
  void UpdateListCounts() override;
  void ShowNotice(const std::string& title, const std::string& text) override;
  bool AskYesNo(const std::string& title, const std::string& line1, const std::string& line2) override;

  void sBitBtnPreviewNextClick();
  void sBitBtnPreviewPrevClick();
  void sBitBtnPreviewClick();
  void sBitBtnCopyClick();
  void sBitBtnPreviewRemoveClick();
  void sPanelAGIFInfoClick();

  // The decoded file behind the view (null before the first preview) and its depth.
  FIBITMAP* PreviewDib() const { return previewDib_.get(); }
  int PreviewBitsPerPixel() const { return previewBitsPerPixel_; }

  QWidget* sPanelAboveImage;
  QLabel* LabelPreviewImage;
  QWidget* sPanelArrows;
  QToolButton* sBitBtnPreviewPrev;
  QToolButton* sBitBtnPreviewNext;
  QLabel* sPanelContent;
  TImage32View* tImage32Preview;
  QLabel* sPanelAGIFInfo;
  QWidget* sPanelImageInfo;
  QWidget* sPanelImageInner;
  QLabel* sLabelProperties;
  QPushButton* sBitBtnPreview;
  QPushButton* sBitBtnCopy;
  QPushButton* sBitBtnPreviewRemove;
  QLabel* sLabelScale;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildHeader();
  void BuildContent();
  void BuildInfoBar();
  void LayoutHeader();
  void LayoutContent();
  void PlaceScaleLabel();
  void FailureSteps();
  void HighlightChanged(std::optional<int> row) override;

  imagelist::ImageListModel& list_;
  PreviewHost host_;
  std::string previewFilePath_;
  conversion::BitmapPtr previewDib_;
  int previewBitsPerPixel_ = 0;
};

}  // namespace preview
