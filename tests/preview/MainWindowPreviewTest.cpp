#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>
#include <QTest>

#include "PreviewImages.h"
#include "ScriptedDialogs.h"
#include "app/MainWindow.h"
#include "preview/PreviewPane.h"

namespace app {
namespace {

using preview_test::Fixture;

// The pane and the list commands as the window wires them: a click previews, the commands keep
// the preview on its row, and removing everything empties it.
TEST(MainWindowPreviewTest, ClickPreviewsAndTheListCommandsKeepThePreview) {
  QTemporaryDir temp;
  ScriptedDialogs dialogs;
  TMainForm form(temp.path().toStdString());
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  imagelist::ImageListModel& list = form.ImageList();
  for (const char* file : {"png24.png", "bmp24_300dpi.bmp", "pcx24.pcx"})
    list.Append(imagelist::MakeEntry({"64 x 48", "PNG", "72", "1 KB", Fixture(file)}, false));

  TImageListView* view = form.sListViewImages;
  QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(view->model()->index(2, 1)).center());
  EXPECT_EQ(list.Highlighted(), 2);
  EXPECT_EQ(form.PreviewPane->PreviewFilePath(), Fixture("pcx24.pcx"));
  EXPECT_EQ(form.LabelPreviewImage->toolTip().toStdString(), Fixture("pcx24.pcx"));
  EXPECT_TRUE(form.PreviewPane->tImage32Preview->isVisible());

  list.SetTick(1, false);
  form.sButtonMoveUp->click();
  EXPECT_EQ(list.Row(1).fullPath(), Fixture("pcx24.pcx"));
  EXPECT_EQ(list.Highlighted(), 1);
  EXPECT_EQ(view->currentIndex().row(), 1);

  form.findChild<QAction*>(QStringLiteral("MenuItemDeselectAll"))->trigger();
  EXPECT_EQ(form.sLabelListInfo->text(), "0 / 3");
  form.findChild<QAction*>(QStringLiteral("MenuItemSelectWaiting"))->trigger();
  EXPECT_EQ(form.sLabelListInfo->text(), "3 / 3");

  dialogs.answers = {QStringLiteral("yes")};
  form.sBitBtnRemove->click();
  EXPECT_EQ(dialogs.asked.back(),
            "Remove selected images|Are you sure you want to remove all|selected images from the list?|0|yesNo");
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(form.sLabelListInfo->text(), "0 / 0");
  EXPECT_EQ(form.LabelPreviewImage->text(), "Preview image");
  EXPECT_EQ(form.sPanelContent->text(), "Click on the list to preview an image");
  EXPECT_FALSE(form.PreviewPane->tImage32Preview->isVisible());
  EXPECT_FALSE(form.PreviewPane->sBitBtnCopy->isEnabled());
  form.hide();  // a plain destroy, without the exit question
}

}  // namespace
}  // namespace app
