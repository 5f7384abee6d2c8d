#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <functional>

#include "online/UnitAboutDialog.h"
#include "online/UnitDonateDialog.h"
#include "online/WebLinks.h"
#include "platform/uConst.h"

namespace online {
namespace {

// Acts on the modal dialog that the next call opens, once it is shown.
void WhenModalShown(std::function<void(QWidget*)> action) {
  QTimer::singleShot(0, [action] {
    QWidget* dialog = QApplication::activeModalWidget();
    ASSERT_NE(dialog, nullptr);
    action(dialog);
  });
}

template <typename T>
T* Child(QWidget* dialog, const char* name) {
  T* child = dialog->findChild<T*>(QString::fromLatin1(name));
  EXPECT_NE(child, nullptr) << name;
  return child;
}

struct Opened {
  std::vector<std::string> targets;
  std::function<void(const std::string&)> Open() {
    return [this](const std::string& target) { targets.push_back(target); };
  }
};

TEST(AboutDialog, ClickingAnyTextOrTheLogoOpensTheWebPageButOkAndEscapeDoNot) {
  const platform::BuiltInTexts& t = platform::Texts();
  QWidget window;
  window.show();
  const struct {
    const char* element;  // what is clicked; empty: OK button; "Escape"
    bool opens;
  } cases[] = {{"ImageLogo", true},      {"sLabelName", true}, {"sLabelRights", true}, {"sLabelWebpage", true},
               {"sLabelDescription", true}, {"sButtonOK", false}, {"Escape", false}};
  for (const auto& c : cases) {
    Opened opened;
    WhenModalShown([&c](QWidget* dialog) {
      EXPECT_EQ(dialog->size(), QSize(390, 197));
      if (std::string(c.element) == "Escape")
        QTest::keyClick(dialog, Qt::Key_Escape);
      else
        QTest::mouseClick(Child<QWidget>(dialog, c.element), Qt::LeftButton);
    });
    ShowAboutBox(&window, opened.Open());
    EXPECT_EQ(opened.targets, c.opens ? std::vector<std::string>{t.productWebPage} : std::vector<std::string>{})
        << c.element;
  }
}

TEST(AboutDialog, ShowsTheProductAndTheDescriptionInLines) {
  TAboutDialog dialog(nullptr);
  const platform::BuiltInTexts& t = platform::Texts();
  EXPECT_EQ(dialog.windowTitle().toStdString(), "About " + t.productName);
  EXPECT_EQ(dialog.sLabelName->text().toStdString(), t.productName + " " + t.productVersion);
  EXPECT_EQ(dialog.sLabelWebpage->text().toStdString(), t.productWebPage);
  EXPECT_EQ(AboutDescription().find('|'), std::string::npos);
  EXPECT_NE(AboutDescription().find("\r\n"), std::string::npos);
  EXPECT_TRUE(dialog.DialogResultText.empty());
  for (QLabel* label : {dialog.ImageLogo, dialog.sLabelName, dialog.sLabelRights, dialog.sLabelDescription})
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
}

TEST(DonateDialog, EverythingAndEscapeGoToTheDonationPageButTheCloseBoxDoesNot) {
  const platform::BuiltInTexts& t = platform::Texts();
  QWidget window;
  window.show();
  const struct {
    const char* element;
    bool opens;
  } cases[] = {{"ImageLogo", true},   {"sLabelName", true}, {"sLabelFirst", true}, {"sLabelSecond", true},
               {"sButtonDonation", true}, {"Escape", true},  {"close box", false}};
  for (const auto& c : cases) {
    Opened opened;
    WhenModalShown([&c](QWidget* dialog) {
      const std::string element = c.element;
      if (element == "Escape")
        QTest::keyClick(dialog, Qt::Key_Escape);
      else if (element == "close box")
        dialog->close();
      else
        QTest::mouseClick(Child<QWidget>(dialog, c.element), Qt::LeftButton);
    });
    ShowDonateBox(&window, opened.Open());
    EXPECT_EQ(opened.targets, c.opens ? std::vector<std::string>{t.donationPage} : std::vector<std::string>{})
        << c.element;
  }
}

TEST(DonateDialog, CentresTheDonationButtonWhenShown) {
  const platform::BuiltInTexts& t = platform::Texts();
  TDonateDialog dialog;
  EXPECT_EQ(dialog.windowTitle().toStdString(), "Donate " + t.productName);
  EXPECT_EQ(dialog.sLabelFirst->text(), QStringLiteral("Donate this free software!"));
  EXPECT_EQ(dialog.sLabelSecond->text().toStdString(), "If you like " + t.productName +
                                                           " you may like to\ndonate the very small sum on PayPal to "
                                                           "help us keep\ndeveloping and updating. Thank you!");
  dialog.show();
  EXPECT_EQ(dialog.sLabelName->text().toStdString(), t.productName + " " + t.productVersion);
  EXPECT_EQ(dialog.size(), QSize(450, 234));
  EXPECT_EQ(dialog.sButtonDonation->pos(), QPoint(170, 234 - dialog.sButtonDonation->height() - 42));
  EXPECT_TRUE(dialog.DialogResultText.empty());

  EXPECT_EQ(CentredLeft(451, 110), 170);  // 170.5 goes to the even neighbour
  EXPECT_EQ(CentredLeft(453, 110), 172);  // 171.5 as well
  EXPECT_EQ(CentredLeft(452, 110), 171);
}

TEST(WebLinks, HelpFooterAndShareLinksOpenTheirAddresses) {
  const platform::BuiltInTexts& t = platform::Texts();
  QWidget window;
  QPushButton help(&window);
  QLabel footer(&window);
  QToolButton titleFacebook(&window);
  QToolButton titleTwitter(&window);
  QLabel imageFacebook(&window);
  QLabel imageTwitter(&window);
  for (QWidget* widget : std::initializer_list<QWidget*>{&footer, &titleFacebook, &titleTwitter, &imageFacebook, &imageTwitter})
    widget->resize(16, 16);
  window.show();
  WebLinkParts parts;
  parts.mainWindow = &window;
  parts.sBitBtnHelp = &help;
  parts.sLabelFXWebpage = &footer;
  parts.TsTitleButtonFB = &titleFacebook;
  parts.TsTitleButtonTW = &titleTwitter;
  parts.ImageFB = &imageFacebook;
  parts.ImageTW = &imageTwitter;
  Opened opened;
  TWebLinks links(parts, opened.Open());

  QTest::mouseClick(&help, Qt::LeftButton);
  QTest::mouseClick(&footer, Qt::LeftButton);
  QTest::mouseClick(&titleFacebook, Qt::RightButton);  // any button of the title-bar buttons
  QTest::mouseClick(&titleTwitter, Qt::MiddleButton);
  QTest::mouseClick(&imageFacebook, Qt::LeftButton);
  QTest::mouseClick(&imageTwitter, Qt::LeftButton);
  const std::string facebook = t.productWebPage + t.facebookShareSuffix;
  const std::string twitter = t.productWebPage + t.twitterShareSuffix;
  EXPECT_EQ(opened.targets,
            (std::vector<std::string>{t.productWebPage, t.productWebPage, facebook, twitter, facebook, twitter}));
  EXPECT_EQ(FacebookShareAddress(), facebook);
  EXPECT_EQ(imageFacebook.toolTip(), QStringLiteral("Share on Facebook"));
}

}  // namespace
}  // namespace online
