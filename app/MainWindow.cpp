#include "app/MainWindow.h"

#include <FreeImage.h>

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

#include "app/Dialogs.h"
#include "app/Glyphs.h"
#include "app/RunControl.h"
#include "app/Skin.h"
#include "app/TempCleanup.h"
#include "app/uCommon.h"
#include "imagelist/ListOperations.h"
#include "online/OnlineServices.h"
#include "online/WebLinks.h"
#include "platform/NamedWidgets.h"
#include "platform/ShellOpen.h"
#include "platform/uConst.h"
#include "preview/PreviewPane.h"

namespace app {

namespace {

constexpr int kTitleStripHeight = 30;
constexpr int kTopStripHeight = 66;
constexpr int kLeftPanelWidth = 540;
constexpr int kRightPanelMinWidth = 450;
constexpr int kSplitterWidth = 6;
constexpr int kOperationsBlockHeight = 98;  // a 10-high spacer and the group
constexpr int kPanelBottomHeight = 156;
constexpr int kHintMilliseconds = 15000;

QString ProductName() { return QString::fromStdString(platform::Texts().productName); }

// The splitter handle shows a column of grip dots.
class TGripHandle : public QSplitterHandle {
 public:
  using QSplitterHandle::QSplitterHandle;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QSplitterHandle::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x6f, 0x95, 0xc4));
    const double x = width() / 2.0;
    for (int i = -3; i <= 3; ++i) painter.drawEllipse(QPointF(x, height() / 2.0 + i * 5), 1.2, 1.2);
  }
};

// A split button: the skin leaves the drop-down part plain, so the arrow is drawn here.
class TSplitButton : public QToolButton {
 public:
  using QToolButton::QToolButton;

 protected:
  void paintEvent(QPaintEvent* event) override {
    QToolButton::paintEvent(event);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(isEnabled() ? QColor(0x24, 0x56, 0x8f) : QColor(0x8a, 0x99, 0xaa));
    const QPointF centre(width() - 9.0, height() / 2.0 + 1);
    const QPointF arrow[] = {centre + QPointF(-3.5, -2), centre + QPointF(3.5, -2), centre + QPointF(0, 2.5)};
    painter.drawPolygon(arrow, 3);
  }
};

class TGripSplitter : public QSplitter {
 public:
  using QSplitter::QSplitter;

 protected:
  QSplitterHandle* createHandle() override { return new TGripHandle(orientation(), this); }
};

using platform::Named;
using platform::Panel;

QPushButton* Button(const char* name, const QString& caption, QRect geometry, QWidget* parent) {
  QPushButton* button = Named(new QPushButton(caption, parent), name);
  button->setGeometry(geometry);
  return button;
}

QLineEdit* Edit(const char* name, QRect geometry, QWidget* parent) {
  QLineEdit* edit = Named(new QLineEdit(parent), name);
  edit->setGeometry(geometry);
  return edit;
}

void Caption(const QString& text, QPoint at, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->move(at);
  label->adjustSize();
}

bool AnsweredYes(const std::string& title, const std::string& line1, const std::string& line2) {
  return AskYesNo(QString::fromStdString(title), QString::fromStdString(line1), QString::fromStdString(line2)) ==
         QStringLiteral("yes");
}

}  // namespace

TMainForm::TMainForm(std::string tempFolder) : tempFolder_(std::move(tempFolder)) {
  setObjectName(QStringLiteral("TMainForm"));
  setAttribute(Qt::WA_StyledBackground);
  QFont font(QStringLiteral("Segoe UI"));
  font.setPixelSize(11);
  setFont(font);
  setStyleSheet(BlueSkinStyleSheet());
  setWindowIcon(QIcon(ApplicationGlyph(64)));

  BuildTitleStrip();
  BuildTopStrip();
  sSplitter1 = Named(new TGripSplitter(Qt::Horizontal, this), "sSplitter1");
  sSplitter1->setHandleWidth(kSplitterWidth);
  sSplitter1->setChildrenCollapsible(false);
  sSplitter1->addWidget(BuildLeftPanel());
  sSplitter1->addWidget(BuildRightPanel());
  ConnectListOperations();
  sSplitter1->setStretchFactor(0, 0);
  sSplitter1->setStretchFactor(1, 1);
  BuildStatusBar();
  BuildTimers();

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(sPanelTitle);
  layout->addWidget(sPanelTop);
  layout->addWidget(sSplitter1, 1);
  layout->addWidget(sStatusBar1);

  setMinimumSize(kStartSize);
  resize(kStartSize);
  sSplitter1->setSizes({kLeftPanelWidth, kStartSize.width() - kLeftPanelWidth - kSplitterWidth});
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->availableGeometry().center() - QPoint(kStartSize.width() / 2, kStartSize.height() / 2));

  // FormShortCut: Control+W takes the normal close path, so the exit question comes first.
  auto* closeShortcut = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this);
  connect(closeShortcut, &QShortcut::activated, this, &QWidget::close);

  FormCreate();
  RunControl = new TRunControl(*this, tempFolder_);
}

TMainForm::~TMainForm() { FormDestroy(); }

void TMainForm::BuildTitleStrip() {
  sPanelTitle = Panel("sPanelTitle", this);
  sPanelTitle->setFixedHeight(kTitleStripHeight);
  auto* glyph = new QLabel(sPanelTitle);
  glyph->setPixmap(ApplicationGlyph(20));
  TacTitleBarItemTitle = Named(new QLabel(sPanelTitle), "TacTitleBarItemTitle");
  TacTitleBarItemNewVersion = Named(new QLabel(QStringLiteral(" New version available! "), sPanelTitle),
                                    "TacTitleBarItemNewVersion");
  TacTitleBarItemNewVersion->hide();
  sTitleButtonShareFacebook = Named(new QToolButton(sPanelTitle), "sTitleButtonShareFacebook");
  sTitleButtonShareFacebook->setText(QStringLiteral("Share on Facebook"));
  sTitleButtonShareTwitter = Named(new QToolButton(sPanelTitle), "sTitleButtonShareTwitter");
  sTitleButtonShareTwitter->setText(QStringLiteral("Share on Twitter"));

  auto* row = new QHBoxLayout(sPanelTitle);
  row->setContentsMargins(8, 0, 8, 0);
  row->setSpacing(8);
  row->addWidget(glyph);
  row->addWidget(TacTitleBarItemTitle);
  row->addWidget(TacTitleBarItemNewVersion);
  row->addStretch(1);
  row->addWidget(sTitleButtonShareFacebook);
  row->addWidget(sTitleButtonShareTwitter);
}

void TMainForm::BuildTopStrip() {
  sPanelTop = Panel("sPanelTop", this);
  sPanelTop->setFixedHeight(kTopStripHeight);
  sBitBtnAddImage = Button("sBitBtnAddImage", QStringLiteral("Add image"), {8, 8, 120, 48}, sPanelTop);
  sBitBtnAddFolder = Button("sBitBtnAddFolder", QStringLiteral("Add folder"), {132, 8, 120, 48}, sPanelTop);
  sBitBtnRemove = Button("sBitBtnRemove", QStringLiteral("Remove"), {256, 8, 106, 48}, sPanelTop);
  sBitBtnDonate = Button("sBitBtnDonate", QStringLiteral("Donate"), {366, 8, 100, 48}, sPanelTop);
  sBitBtnHelp = Button("sBitBtnHelp", QStringLiteral("Help"), {470, 8, 90, 48}, sPanelTop);
  sBitBtnAbout = Button("sBitBtnAbout", QStringLiteral("About"), {564, 8, 94, 48}, sPanelTop);
  sImageBanner = Named(new QLabel(sPanelTop), "sImageBanner");
  sImageBanner->setGeometry(kStartSize.width() - 300 - 24, 9, 300, 48);
  sImageBanner->hide();
}

QWidget* TMainForm::BuildLeftPanel() {
  sPanelLeft = Panel("sPanelLeft", nullptr);
  sPanelLeft->setMinimumWidth(kLeftPanelWidth);
  sListViewImages = new TImageListView(list_, kListBackground, sPanelLeft);
  connect(sListViewImages->ListModel(), &TImageListTableModel::ListChanged, this, &TMainForm::UpdateListCounts);

  QGroupBox* group = sGroupBoxOperations = Named(new QGroupBox(QStringLiteral("Operations"), sPanelLeft),
                                                 "sGroupBoxOperations");
  sCheckBoxShowFullPath = Named(new QCheckBox(QStringLiteral("Show full path"), group), "sCheckBoxShowFullPath");
  sCheckBoxShowFullPath->setGeometry(8, 23, 110, 20);
  connect(sCheckBoxShowFullPath, &QCheckBox::toggled, this, &TMainForm::sCheckBoxShowFullPathClick);
  sButtonSelect = Named(new TSplitButton(group), "sButtonSelect");
  sButtonSelect->setText(QStringLiteral("Select options"));
  sButtonSelect->setPopupMode(QToolButton::MenuButtonPopup);
  sButtonSelect->setGeometry(122, 20, 116, 26);
  sButtonMoveUp = Named(new QToolButton(group), "sButtonMoveUp");
  sButtonMoveUp->setArrowType(Qt::UpArrow);
  sButtonMoveUp->setToolTip(QStringLiteral("Move up selected images"));
  sButtonMoveUp->setGeometry(242, 20, 28, 26);
  sButtonMoveDown = Named(new QToolButton(group), "sButtonMoveDown");
  sButtonMoveDown->setArrowType(Qt::DownArrow);
  sButtonMoveDown->setToolTip(QStringLiteral("Move down selected images"));
  sButtonMoveDown->setGeometry(274, 20, 28, 26);
  sButtonRemoveDuplications =
      Button("sButtonRemoveDuplications", QStringLiteral("Remove duplications"), {306, 20, 150, 26}, group);

  sLabelListInfo = Named(new QLabel(group), "sLabelListInfo");
  QFont bold = sLabelListInfo->font();
  bold.setBold(true);
  sLabelListInfo->setFont(bold);
  sLabelListInfo->setToolTip(QStringLiteral("Selected / All images"));
  sLabelListInfo->move(0, 25);

  sCheckBoxOutputPDF = Named(new QCheckBox(QStringLiteral("Output PDF:"), group), "sCheckBoxOutputPDF");
  sCheckBoxOutputPDF->setGeometry(8, 57, 96, 20);
  sCheckBoxOutputPDF->setChecked(true);
  sFilenameEditOutputPDF = Edit("sFilenameEditOutputPDF", {108, 55, 342, 24}, group);
  sBitBtnOpen = Button("sBitBtnOpen", QStringLiteral("Open"), {459, 54, 75, 26}, group);

  sPanelLeft->installEventFilter(this);
  return sPanelLeft;
}

QWidget* TMainForm::BuildRightPanel() {
  sPanelRight = Panel("sPanelRight", nullptr);
  sPanelRight->setMinimumWidth(kRightPanelMinWidth);
  BuildPreviewArea();
  BuildPdfProperties();
  sPanelRight->installEventFilter(this);
  sPanelBottom->installEventFilter(this);
  return sPanelRight;
}

void TMainForm::BuildPreviewArea() {
  preview::PreviewHost host;
  host.updateListCounts = [this] { UpdateListCounts(); };
  host.showNotice = [](const std::string& title, const std::string& text, int kind) {
    ShowNotice(QString::fromStdString(title), QString::fromStdString(text), static_cast<NoticeKind>(kind));
  };
  host.askYesNo = AnsweredYes;
  host.openInShell = platform::OpenInShell;
  host.bringToFront = [this] {
    raise();
    activateWindow();
  };
  PreviewPane = new preview::TPreviewPane(list_, std::move(host), sPanelRight);
  sPanelPreview = PreviewPane;
  sPanelAboveImage = PreviewPane->sPanelAboveImage;
  LabelPreviewImage = PreviewPane->LabelPreviewImage;
  sPanelContent = PreviewPane->sPanelContent;
}

void TMainForm::ConnectListOperations() {
  connect(sButtonMoveUp, &QToolButton::clicked, this, [this] { imagelist::MoveUp(list_, *PreviewPane); });
  connect(sButtonMoveDown, &QToolButton::clicked, this, [this] { imagelist::MoveDown(list_, *PreviewPane); });
  connect(sButtonRemoveDuplications, &QPushButton::clicked, this,
          [this] { imagelist::RemoveDuplications(list_, *PreviewPane); });
  connect(sBitBtnRemove, &QPushButton::clicked, this, [this] { imagelist::RemoveSelected(list_, *PreviewPane); });

  PopupMenuSelectStatus = Named(new QMenu(this), "PopupMenuSelectStatus");
  for (const imagelist::SelectMenuItem& item : imagelist::kSelectMenuItems) {
    if (item.option == imagelist::SelectOption::SelectAll) PopupMenuSelectStatus->addSeparator();
    QAction* action = PopupMenuSelectStatus->addAction(QString::fromLatin1(item.caption));
    action->setObjectName(QString::fromLatin1(item.name));
    if (item.icon) action->setIcon(StatusIconPixmap(*item.icon));
    const imagelist::SelectOption option = item.option;
    connect(action, &QAction::triggered, this, [this, option] { imagelist::SelectRows(list_, option, *PreviewPane); });
  }
  sButtonSelect->setMenu(PopupMenuSelectStatus);
  // The button's main part opens the same menu, its top-left at the button's bottom-left.
  connect(sButtonSelect, &QToolButton::clicked, this, [this] {
    PopupMenuSelectStatus->popup(sButtonSelect->mapToGlobal(QPoint(0, sButtonSelect->height())));
  });
}

void TMainForm::BuildPdfProperties() {
  sPanelBottom = Panel("sPanelBottom", sPanelRight);
  QGroupBox* group = sGroupBoxPDFProperties =
      Named(new QGroupBox(QStringLiteral("PDF properties"), sPanelBottom), "sGroupBoxPDFProperties");
  const char* names[] = {"sEditTextTitle", "sEditSubject", "sEditAuthor", "sEditKeywords"};
  const QString captions[] = {QStringLiteral("Title:"), QStringLiteral("Subject:"), QStringLiteral("Author:"),
                              QStringLiteral("Keywords:")};
  QLineEdit* edits[4];
  for (int row = 0; row < 4; ++row) {
    const int top = 24 + 30 * row;
    Caption(captions[row], {10, top + 4}, group);
    edits[row] = Edit(names[row], {74, top, 300, 24}, group);
  }
  sEditTextTitle = edits[0];
  sEditSubject = edits[1];
  sEditAuthor = edits[2];
  sEditKeywords = edits[3];
  sBitBtnStart = Button("sBitBtnStart", QStringLiteral("Start"), {344, 84, 110, 54}, group);
  QFont bold = sBitBtnStart->font();
  bold.setBold(true);
  bold.setPixelSize(14);
  sBitBtnStart->setFont(bold);
}

void TMainForm::BuildStatusBar() {
  sStatusBar1 = new TStatusBar({52, 235, 500, 50}, this);
  ImageTW = Named(new QLabel(sStatusBar1), "ImageTW");
  ImageTW->setPixmap(ShareBadge(QLatin1Char('t'), QColor(0x1d, 0x9b, 0xf0)));
  ImageTW->setGeometry(6, 4, 16, 16);
  ImageTW->setCursor(Qt::PointingHandCursor);
  ImageFB = Named(new QLabel(sStatusBar1), "ImageFB");
  ImageFB->setPixmap(ShareBadge(QLatin1Char('f'), QColor(0x3b, 0x59, 0x98)));
  ImageFB->setGeometry(28, 4, 16, 16);
  ImageFB->setCursor(Qt::PointingHandCursor);

  sGaugeProcess = Named(new QProgressBar(sStatusBar1), "sGaugeProcess");
  sGaugeProcess->setGeometry(sStatusBar1->PanelLeft(1) + 6, 5, 235 - 12, 14);
  sGaugeProcess->setRange(0, 100);
  sGaugeProcess->setValue(0);
  sGaugeProcess->setTextVisible(false);

  sLabelFXProcessing = Named(new QLabel(QStringLiteral("Processing:"), sStatusBar1), "sLabelFXProcessing");
  sLabelFXProcessing->move(sStatusBar1->PanelLeft(2) + 6, 5);
  sLabelFXProcessing->adjustSize();
  sLabelFXProcessing->hide();
  sLabelFXCurrentImage = Named(new QLabel(sStatusBar1), "sLabelFXCurrentImage");
  sLabelFXCurrentImage->move(sLabelFXProcessing->geometry().right() + 6, 5);
  sLabelFXCurrentImage->hide();

  sLabelFXWebpage = Named(new QLabel(sStatusBar1), "sLabelFXWebpage");
  QFont footer(QStringLiteral("Tahoma"));
  footer.setPixelSize(11);
  footer.setBold(true);
  sLabelFXWebpage->setFont(footer);
  sLabelFXWebpage->setCursor(Qt::PointingHandCursor);
  sLabelFXWebpage->move(0, 5);
}

void TMainForm::BuildTimers() {
  const std::pair<QTimer**, std::pair<const char*, int>> timers[] = {
      {&TimerSmallBanner, {"TimerSmallBanner", 500}},
      {&TimerBannerRefresh, {"TimerBannerRefresh", 5000}},
      {&TimerNewVersionBlinker, {"TimerNewVersionBlinker", 500}},
  };
  for (const auto& [timer, setup] : timers) {
    *timer = Named(new QTimer(this), setup.first);
    (*timer)->setInterval(setup.second);
  }
}

void TMainForm::FormCreate() {
  FreeImage_Initialise(FALSE);
  setWindowTitle(ProductName());
  TacTitleBarItemTitle->setText(windowTitle());
  SetNotifyWindow(this);
  ReadingRunning = false;
  ConversionRunning = false;
  sLabelListInfo->setText(QStringLiteral("0 / 0"));
  sLabelListInfo->adjustSize();
  sPanelContent->setText(QStringLiteral("Click on the list to preview an image"));
  sLabelFXWebpage->setText(QStringLiteral("\u00a9 ") + QString::fromStdString(platform::Texts().makerName));
  sLabelFXWebpage->adjustSize();
  BlinkCount = -1;
  for (QWidget* child : findChildren<QWidget*>()) child->setToolTipDuration(kHintMilliseconds);
  UpdateListCounts();
  ResizeMainForm();
}

void TMainForm::AttachOnline(online::THttpClient& sharedClient) {
  if (onlineServices_ != nullptr) return;
  online::OnlineDialogs dialogs;
  dialogs.askYesNo = AnsweredYes;
  dialogs.openInShell = platform::OpenInShell;

  online::OnlineSetup setup = online::OnlineSetup::Default();
  setup.postLog = PostLog;
  setup.notify = SendNotify;

  online::OnlineWindowParts parts;
  parts.TimerSmallBanner = TimerSmallBanner;
  parts.TimerBannerRefresh = TimerBannerRefresh;
  parts.TimerNewVersionBlinker = TimerNewVersionBlinker;
  parts.sImageBanner = sImageBanner;
  parts.TacTitleBarItemNewVersion = TacTitleBarItemNewVersion;
  parts.resizeMainForm = [this] { ResizeMainForm(); };
  onlineServices_ = new online::TOnlineServices(parts, dialogs, std::move(setup), sharedClient, this);
  SetNotificationHandler(NextBanner, [this] { onlineServices_->NextBanner(); });
  SetNotificationHandler(BannersReady, [this] { onlineServices_->BannersReady(); });
  SetNotificationHandler(VersionReplyReady, [this] { onlineServices_->VersionReplyReady(); });

  online::WebLinkParts links;
  links.mainWindow = this;
  links.sBitBtnAbout = sBitBtnAbout;
  links.sBitBtnDonate = sBitBtnDonate;
  links.sBitBtnHelp = sBitBtnHelp;
  links.sLabelFXWebpage = sLabelFXWebpage;
  links.TsTitleButtonFB = sTitleButtonShareFacebook;
  links.TsTitleButtonTW = sTitleButtonShareTwitter;
  links.ImageFB = ImageFB;
  links.ImageTW = ImageTW;
  webLinks_ = new online::TWebLinks(links, platform::OpenInShell, this);

  // The first banner download, 500 ms after start.
  TimerSmallBanner->start();
}

void TMainForm::FormDestroy() {
  // The workers end before the list, the preview and the controls they use go away.
  if (RunControl != nullptr) RunControl->StopWorkers();
  // The online workers stop (serving their last notifications) before anything they use goes
  // away; the services go now, not among the children, as their destructors reach the timers.
  delete onlineServices_;
  onlineServices_ = nullptr;
  delete webLinks_;
  webLinks_ = nullptr;
  for (QTimer* timer : {TimerSmallBanner, TimerBannerRefresh, TimerNewVersionBlinker}) timer->stop();
  // The view leaves the list before the list, a member, goes away ahead of the widgets.
  delete sListViewImages;
  sListViewImages = nullptr;
  delete PreviewPane;  // it watches the list too
  PreviewPane = nullptr;
  sPanelPreview = nullptr;
  if (NotifyWindow() == this) SetNotifyWindow(nullptr);
  FreeImage_DeInitialise();
  DeletePlainFiles(tempFolder_);
}

int TMainForm::Notify(int code) {
  const auto handler = handlers_.find(code);
  if (handler != handlers_.end() && handler->second) handler->second();
  return 1;
}

void TMainForm::SetNotificationHandler(int code, std::function<void()> handler) {
  if (code < NextBanner || code > VersionReplyReady) return;
  handlers_[code] = std::move(handler);
}

void TMainForm::UpdateListCounts() {
  if (sListViewImages == nullptr) return;
  sListViewImages->setShowGrid(!list_.Empty());
  sLabelListInfo->setText(QString::fromStdString(imagelist::CountsText(list_)));
  sLabelListInfo->adjustSize();
  sLabelListInfo->move(sPanelLeft->width() - sLabelListInfo->width() - 6, sLabelListInfo->y());
}

void TMainForm::ResizeMainForm() {
  const int w = width();
  sImageBanner->move(w - sImageBanner->width() - 24, sImageBanner->y());
  sLabelFXWebpage->move(w - sLabelFXWebpage->width() - 32, sLabelFXWebpage->y());
  sStatusBar1->SetPanelWidth(2, w - 454);
  LayoutPanelBottom();
  if (PreviewPane != nullptr) PreviewPane->ShowPreviewHeader();
}

void TMainForm::LayoutPanelBottom() {
  const int bottom = sPanelBottom->width();
  sEditTextTitle->resize(bottom - sEditTextTitle->x() - 10, sEditTextTitle->height());
  sEditSubject->resize(sEditTextTitle->width(), sEditSubject->height());
  sEditAuthor->resize(bottom - (sEditAuthor->x() + sBitBtnStart->width()) - 22, sEditAuthor->height());
  sEditKeywords->resize(sEditAuthor->width(), sEditKeywords->height());
  sBitBtnStart->move(bottom - sBitBtnStart->width() - 10, sBitBtnStart->y());
}

void TMainForm::sPanelLeftResize() {
  const int l = sPanelLeft->width();
  sLabelListInfo->move(l - sLabelListInfo->width() - 6, sLabelListInfo->y());
  sFilenameEditOutputPDF->resize(l - (sCheckBoxOutputPDF->width() + sBitBtnOpen->width()) - 27,
                                 sFilenameEditOutputPDF->height());
  sBitBtnOpen->move(l - sBitBtnOpen->width() - 6, sBitBtnOpen->y());
}

void TMainForm::sCheckBoxShowFullPathClick() { list_.ShowFullPath(sCheckBoxShowFullPath->isChecked()); }

void TMainForm::LayoutLeftPanel() {
  const QSize size = sPanelLeft->size();
  sListViewImages->setGeometry(0, 0, size.width(), size.height() - kOperationsBlockHeight);
  sGroupBoxOperations->setGeometry(0, size.height() - kOperationsBlockHeight + 10, size.width(),
                                   kOperationsBlockHeight - 10);
  sPanelLeftResize();
}

void TMainForm::LayoutRightPanel() {
  const QSize size = sPanelRight->size();
  sPanelPreview->setGeometry(0, 0, size.width(), size.height() - kPanelBottomHeight);
  sPanelBottom->setGeometry(0, size.height() - kPanelBottomHeight, size.width(), kPanelBottomHeight);
  sGroupBoxPDFProperties->setGeometry(0, 0, size.width(), kPanelBottomHeight);
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ResizeMainForm();
}

void TMainForm::closeEvent(QCloseEvent* event) {
  const QString answer = AskYesNo(QStringLiteral("Exiting software"), QStringLiteral("Are you sure you want to exit from"),
                                  ProductName() + QStringLiteral("?"), QuestionIcon::Question, true);
  if (answer == QStringLiteral("yes")) {
    if (RunControl != nullptr) RunControl->StopWorkers();
    event->accept();
  } else {
    event->ignore();
  }
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == sPanelLeft) LayoutLeftPanel();
    if (watched == sPanelRight) LayoutRightPanel();
    // The properties follow the panel's own width too, so that a splitter move never leaves
    // Start outside the panel.
    if (watched == sPanelBottom) LayoutPanelBottom();
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace app
