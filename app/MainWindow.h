// The application's only main window: its regions, how they follow resizes, the worker
// notifications, the close question and the clean-up when it goes away.
#pragma once

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QToolButton>
#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "app/ImageListView.h"
#include "app/StatusBar.h"
#include "imagelist/ImageListModel.h"

namespace app {
class TRunControl;
}  // namespace app

namespace preview {
class TPreviewPane;
}  // namespace preview

class QMenu;

namespace online {
class THttpClient;
class TOnlineServices;
class TWebLinks;
}  // namespace online

namespace app {

// Notification codes of Notify(): what the workers and timers report.
enum NotifyCode : int { LogLine = 1, NextBanner = 2, BannersReady = 3, VersionReplyReady = 4 };

class TMainForm : public QWidget {
  Q_OBJECT
 public:
  // The plain files of tempFolder are deleted when the window is destroyed.
  explicit TMainForm(std::string tempFolder);
  ~TMainForm() override;

  static constexpr QSize kStartSize{1010, 640};

  imagelist::ImageListModel& ImageList() { return list_; }

  // Connects the banners, the version check and the web links, and starts the banner timer.
  // Without it the window stays offline (as in tests). The client must outlive the window.
  void AttachOnline(online::THttpClient& sharedClient);
  online::TOnlineServices* OnlineServices() const { return onlineServices_; }

  // A worker's or timer's report; the result is always 1. Code 1 (a log line) and unknown
  // codes change nothing.
  Q_INVOKABLE int Notify(int code);
  // Sets what codes 2 to 4 do; other codes are refused.
  void SetNotificationHandler(int code, std::function<void()> handler);

  void UpdateListCounts();
  void ResizeMainForm();
  void sPanelLeftResize();
  void sCheckBoxShowFullPathClick();

  bool ReadingRunning = false;
  bool ConversionRunning = false;
  int BlinkCount = -1;
  // Adding images, the workers and Start/Stop; a child of the window.
  TRunControl* RunControl = nullptr;

  // Controls, named as everywhere in the program; owned by the window as Qt children.
  QWidget* sPanelTitle;
  QLabel* TacTitleBarItemTitle;
  QLabel* TacTitleBarItemNewVersion;
  QToolButton* sTitleButtonShareFacebook;
  QToolButton* sTitleButtonShareTwitter;

  QWidget* sPanelTop;
  QPushButton* sBitBtnAddImage;
  QPushButton* sBitBtnAddFolder;
  QPushButton* sBitBtnRemove;
  QPushButton* sBitBtnDonate;
  QPushButton* sBitBtnHelp;
  QPushButton* sBitBtnAbout;
  QLabel* sImageBanner;

  QSplitter* sSplitter1;
  QWidget* sPanelLeft;
  TImageListView* sListViewImages;
  QGroupBox* sGroupBoxOperations;
  QLabel* sLabelListInfo;
  QCheckBox* sCheckBoxShowFullPath;
  QToolButton* sButtonSelect;
  QToolButton* sButtonMoveUp;
  QToolButton* sButtonMoveDown;
  QPushButton* sButtonRemoveDuplications;
  QMenu* PopupMenuSelectStatus;
  QCheckBox* sCheckBoxOutputPDF;
  QLineEdit* sFilenameEditOutputPDF;
  QPushButton* sBitBtnOpen;

  QWidget* sPanelRight;
  QWidget* sPanelPreview;
  QWidget* sPanelAboveImage;
  QLabel* LabelPreviewImage;
  QLabel* sPanelContent;
  preview::TPreviewPane* PreviewPane;  // sPanelPreview
  QWidget* sPanelBottom;
  QGroupBox* sGroupBoxPDFProperties;
  QLineEdit* sEditTextTitle;
  QLineEdit* sEditSubject;
  QLineEdit* sEditAuthor;
  QLineEdit* sEditKeywords;
  QPushButton* sBitBtnStart;

  TStatusBar* sStatusBar1;
  QLabel* ImageTW;
  QLabel* ImageFB;
  QProgressBar* sGaugeProcess;
  QLabel* sLabelFXProcessing;
  QLabel* sLabelFXCurrentImage;
  QLabel* sLabelFXWebpage;

  QTimer* TimerSmallBanner;
  QTimer* TimerBannerRefresh;
  QTimer* TimerNewVersionBlinker;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  // FormCloseQuery: the window closes only after "yes" to the exit question.
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildTitleStrip();
  void BuildTopStrip();
  QWidget* BuildLeftPanel();
  QWidget* BuildRightPanel();
  void BuildPreviewArea();
  void ConnectListOperations();
  void BuildPdfProperties();
  void BuildStatusBar();
  void BuildTimers();
  void FormCreate();
  void FormDestroy();
  void LayoutLeftPanel();
  void LayoutRightPanel();
  void LayoutPanelBottom();

  imagelist::ImageListModel list_;
  std::string tempFolder_;
  online::TOnlineServices* onlineServices_ = nullptr;  // a child of the window
  online::TWebLinks* webLinks_ = nullptr;              // a child of the window
  std::map<int, std::function<void()>> handlers_;
};

}  // namespace app
