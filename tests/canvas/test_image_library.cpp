// The image library window: categories and pictures as they are on disk, the two
// modes, choosing with OK and Cancel across openings, and the order the user drags
// the pictures into.

#include "canvas/Image_Library.h"

#include "core/Globals.h"
#include "platform/Paths.h"
#include "tests/common/TestSupport.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>

namespace {

class ImageLibraryTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_savedResourcePath = Resource_Path;
    Resource_Path = m_dir.path();
    lib = Image_Library::defaultInstance();
    ASSERT_NE(lib, nullptr);
    lib->control_or_BG = QStringLiteral("C");
    lib->selected_image = QStringLiteral("");
    lib->images.clear();
    lib->imageBrowser->reloadData();
  }
  void TearDown() override { Resource_Path = m_savedResourcePath; }

  QString path(const QString &relative) const { return QDir(m_dir.path()).filePath(relative); }
  QString picture(const QString &relative) {
    QDir().mkpath(QFileInfo(path(relative)).absolutePath());
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(Qt::blue);
    // Saved by content, whatever the name says (a.PNG, c.jpeg ...).
    EXPECT_TRUE(image.save(path(relative), "PNG"));
    return path(relative);
  }
  void folder(const QString &relative) { ASSERT_TRUE(QDir().mkpath(path(relative))); }

  QStringList shownNames() const {
    QStringList names;
    for (const auto &item : lib->images)
      names << item->image_Name;
    return names;
  }
  QStringList browserOrder() const {
    QStringList uids;
    for (int i = 0; i < lib->imageBrowser->numberOfItems(); ++i)
      uids << lib->imageBrowser->itemUID(i);
    return uids;
  }
  QStringList categories() const {
    QStringList texts;
    for (int i = 0; i < lib->cat_cmbo_bx->count(); ++i)
      texts << lib->cat_cmbo_bx->itemText(i);
    return texts;
  }
  // Opens the library; `inside` runs while it is open and returns the window's code,
  // and may see `alerts` alerts.
  int open(const std::function<int(QDialog *)> &inside, int alerts = 0) {
    ui.answerModal(inside);
    for (int i = 0; i < alerts; ++i)
      ui.expectAlert();
    return lib->Open_Library_Window();
  }
  void select(int index) { lib->imageBrowser->setSelectionIndexes({index}); }

  QTemporaryDir m_dir;
  QString m_savedResourcePath;
  Image_Library *lib = nullptr;
  ScopedScriptedUi ui;
};

// ---- What the library lists --------------------------------------------------------------------

TEST_F(ImageLibraryTest, CategoriesAreShownCapitalisedAndReadFromTheirFoldersOnDisk) {
  picture(QStringLiteral("LibraryImage/flowers/rose.png"));
  picture(QStringLiteral("LibraryImage/flowers/Daisy.jpg"));
  picture(QStringLiteral("LibraryImage/my pictures/me.png"));
  picture(QStringLiteral("LibraryImage/ZEBRA stripes/z.png"));
  picture(QStringLiteral("LibraryImage/loose.png"));  // a file is no category
  folder(QStringLiteral("LibraryImage/Animals"));     // an empty category

  QStringList firstShown, secondShown;
  QString firstPath;
  const int code = open([&](QDialog *dialog) {
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Image Library"));
    EXPECT_FALSE(lib->cat_cmbo_bx->isHidden());
    EXPECT_FALSE(lib->category_label->isHidden());
    EXPECT_EQ(categories(), QStringList({QStringLiteral("Animals"), QStringLiteral("Flowers"),
                                         QStringLiteral("My Pictures"), QStringLiteral("Zebra Stripes")}));
    EXPECT_EQ(lib->cat_cmbo_bx->currentIndex(), 0);
    EXPECT_TRUE(lib->images.isEmpty());  // the first category is empty
    lib->cat_cmbo_bx->setCurrentIndex(1);
    firstShown = shownNames();
    firstPath = lib->images.isEmpty() ? QString() : lib->images.front()->path;
    lib->cat_cmbo_bx->setCurrentIndex(2);
    secondShown = shownNames();
    return 0;
  });
  EXPECT_EQ(code, 0);
  EXPECT_EQ(firstShown, QStringList({QStringLiteral("Daisy.jpg"), QStringLiteral("rose.png")}));
  EXPECT_EQ(firstPath, path(QStringLiteral("LibraryImage/flowers/Daisy.jpg")));
  EXPECT_EQ(secondShown, QStringList({QStringLiteral("me.png")}));
  EXPECT_EQ(browserOrder(), secondShown);
}

TEST_F(ImageLibraryTest, PicturesArePngAndJpgInAnyCaseInNameOrder) {
  for (const char *name : {"b.jpg", "a.PNG", "C.png", "e.Jpg", "c.jpeg", "d.gif", "noext", "png", "f.png.txt"})
    picture(QStringLiteral("LibraryImage/mixed/") + QLatin1String(name));
  folder(QStringLiteral("LibraryImage/mixed/inner.png"));  // a folder is no picture
  picture(QStringLiteral("LibraryImage/mixed/inner.png/deep.png"));

  open([&](QDialog *) { return 0; });
  EXPECT_EQ(categories(), QStringList({QStringLiteral("Mixed")}));
  EXPECT_EQ(shownNames(), QStringList({QStringLiteral("a.PNG"), QStringLiteral("b.jpg"), QStringLiteral("C.png"),
                                       QStringLiteral("e.Jpg")}));
  for (const auto &item : lib->images) {
    EXPECT_EQ(item->path, path(QStringLiteral("LibraryImage/mixed/") + item->image_Name));
    EXPECT_EQ(item->image_UID, item->image_Name);
    EXPECT_EQ(item->imageSubtitle(), item->image_Name);
  }
}

TEST_F(ImageLibraryTest, MissingFoldersGiveAnEmptyLibrary) {
  // No "LibraryImage" at all, then one that is a file.
  EXPECT_EQ(open([&](QDialog *) { return 0; }), 0);
  EXPECT_TRUE(categories().isEmpty());
  EXPECT_TRUE(lib->images.isEmpty());
  QFile(path(QStringLiteral("LibraryImage"))).open(QIODevice::WriteOnly);
  open([&](QDialog *) { return 0; });
  EXPECT_TRUE(categories().isEmpty());

  // No "Background".
  lib->control_or_BG = QStringLiteral("B");
  open([&](QDialog *) { return 0; });
  EXPECT_TRUE(lib->images.isEmpty());
  EXPECT_EQ(lib->imageBrowser->numberOfItems(), 0);
}

TEST_F(ImageLibraryTest, AnyModeButCShowsTheBackgroundsWithoutCategories) {
  picture(QStringLiteral("Background/Sky.jpg"));
  picture(QStringLiteral("Background/autumn.png"));
  picture(QStringLiteral("LibraryImage/hearts/h.png"));
  for (const QString &mode : {QStringLiteral("B"), QStringLiteral("c"), QStringLiteral("")}) {
    lib->control_or_BG = mode;
    open([&](QDialog *dialog) {
      EXPECT_EQ(dialog->windowTitle(), QStringLiteral("Background Image Library")) << mode.toStdString();
      EXPECT_TRUE(lib->cat_cmbo_bx->isHidden());
      EXPECT_TRUE(lib->category_label->isHidden());
      return 0;
    });
    EXPECT_EQ(shownNames(), QStringList({QStringLiteral("autumn.png"), QStringLiteral("Sky.jpg")}));
  }
  // Back to "C": the category list is shown again.
  lib->control_or_BG = QStringLiteral("C");
  open([&](QDialog *) {
    EXPECT_FALSE(lib->cat_cmbo_bx->isHidden());
    return 0;
  });
  EXPECT_EQ(shownNames(), QStringList({QStringLiteral("h.png")}));
}

TEST_F(ImageLibraryTest, ACategoryFolderGoneLeavesThePicturesShown) {
  picture(QStringLiteral("LibraryImage/one/a.png"));
  picture(QStringLiteral("LibraryImage/two/b.png"));
  open([&](QDialog *) {
    QDir(path(QStringLiteral("LibraryImage/two"))).removeRecursively();
    lib->cat_cmbo_bx->setCurrentIndex(1);
    return 0;
  });
  EXPECT_EQ(shownNames(), QStringList({QStringLiteral("a.png")}));
}

// ---- Choosing --------------------------------------------------------------------------------------

TEST_F(ImageLibraryTest, OKReturnsTheSelectedPictureAndKeepsItForTheNextOpening) {
  picture(QStringLiteral("LibraryImage/hearts/a.png"));
  const QString b = picture(QStringLiteral("LibraryImage/hearts/b.png"));
  const QString c = picture(QStringLiteral("LibraryImage/hearts/c.png"));

  EXPECT_EQ(open([&](QDialog *dialog) {
              lib->imageBrowser->setSelectionIndexes({2, 1});  // the lowest index counts
              lib->OK_btn->click();
              return dialog->result();
            }),
            1);
  EXPECT_EQ(lib->selected_image, b);

  // Opened again, the same picture is shown selected and OK at once returns it.
  EXPECT_EQ(open([&](QDialog *dialog) {
              EXPECT_EQ(lib->imageBrowser->selectionIndexes(), QList<int>{1});
              lib->OK_btn->click();
              return dialog->result();
            }),
            1);
  EXPECT_EQ(lib->selected_image, b);

  // Another picture replaces it; with the selection emptied again OK takes nothing.
  open(
      [&](QDialog *dialog) {
        select(2);
        lib->imageBrowser->setSelectionIndexes({});
        EXPECT_EQ(lib->selected_image, c);
        lib->OK_btn->click();
        EXPECT_TRUE(dialog->isVisible());
        select(2);
        lib->OK_btn->click();
        return dialog->result();
      },
      1);
  EXPECT_EQ(lib->selected_image, c);
}

TEST_F(ImageLibraryTest, AfterCancelOKAsksForAPictureAndTheWindowStaysOpen) {
  const QString a = picture(QStringLiteral("LibraryImage/hearts/a.png"));
  open([&](QDialog *dialog) {
    select(0);
    lib->OK_btn->click();
    return dialog->result();
  });
  EXPECT_EQ(open([&](QDialog *dialog) {
              select(0);
              lib->Cancel_btn->click();
              return dialog->result();
            }),
            0);
  EXPECT_EQ(lib->selected_image, QStringLiteral(""));

  EXPECT_EQ(open(
                [&](QDialog *dialog) {
                  lib->OK_btn->click();
                  EXPECT_TRUE(dialog->isVisible());  // still open
                  select(0);
                  lib->OK_btn->click();
                  EXPECT_FALSE(dialog->isVisible());
                  return dialog->result();
                },
                1),
            1);
  EXPECT_EQ(ui.alertTexts(), QStringList({QStringLiteral("\nPlease select image.")}));
  EXPECT_EQ(lib->selected_image, a);

  // Escape (or the window's close control) cancels as the button does.
  open([&](QDialog *dialog) {
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(dialog, &escape);
    return dialog->result();
  });
  EXPECT_EQ(lib->selected_image, QStringLiteral(""));
}

TEST_F(ImageLibraryTest, APictureDeletedBeforeOKIsNotReturned) {
  const QString a = picture(QStringLiteral("LibraryImage/hearts/a.png"));
  folder(QStringLiteral("LibraryImage/hearts/b.png"));
  EXPECT_EQ(open(
                [&](QDialog *dialog) {
                  select(0);
                  QFile::remove(a);
                  lib->OK_btn->click();
                  EXPECT_TRUE(dialog->isVisible());
                  // A folder in the picture's place is no picture either.
                  QDir().mkpath(a);
                  lib->OK_btn->click();
                  EXPECT_TRUE(dialog->isVisible());
                  return 0;
                },
                2),
            0);
  EXPECT_EQ(ui.alertTexts(),
            QStringList({QStringLiteral("\nPlease select image."), QStringLiteral("\nPlease select image.")}));
}

// ---- The browser's items ------------------------------------------------------------------------

TEST_F(ImageLibraryTest, MovedPicturesTakeTheGapTheyWereDroppedIn) {
  auto fill = [&] {
    lib->images.clear();
    for (int i = 0; i < 5; ++i)
      lib->addImageWithPath(QStringLiteral("/pictures/%1.png").arg(i), QString::number(i), QString::number(i));
  };
  auto order = [&] {
    QString digits;
    for (const auto &item : lib->images)
      digits += item->image_UID;
    return digits;
  };
  auto move = [&](const QList<int> &indexes, int to) {
    fill();
    lib->imageBrowser_moveItemsAtIndexes_toIndex(lib->imageBrowser, indexes, to);
    EXPECT_EQ(browserOrder().join(QString()), order());  // the browser shows the new order
    return order();
  };
  EXPECT_EQ(move({0, 1}, 4), QStringLiteral("23014"));
  EXPECT_EQ(move({3, 4}, 0), QStringLiteral("34012"));
  EXPECT_EQ(move({0, 2, 4}, 2), QStringLiteral("10243"));
  EXPECT_EQ(move({1, 3}, 5), QStringLiteral("02413"));
  EXPECT_EQ(move({2}, 2), QStringLiteral("01234"));
  EXPECT_EQ(move({2}, 3), QStringLiteral("01234"));
  EXPECT_EQ(move({1, 9, -1}, 99), QStringLiteral("02341"));  // out of range: held to the list
}

TEST_F(ImageLibraryTest, DeleteRemovesNoPictureAndEmptyPathsAreNotAdded) {
  lib->addImageWithPath(QStringLiteral("  /pictures/a.png\n"), QStringLiteral("a.png"), QStringLiteral("a"));
  lib->addImageWithPath(QStringLiteral(""), QStringLiteral("e"), QStringLiteral("e"));
  lib->addImageWithPath(QStringLiteral(" \t\r\n"), QStringLiteral("w"), QStringLiteral("w"));
  lib->addImageWithPath(QStringLiteral("/pictures/b.png"), QStringLiteral("b.png"), QStringLiteral("b"));
  ASSERT_EQ(lib->images.size(), 2);
  EXPECT_EQ(lib->images[0]->path, QStringLiteral("/pictures/a.png"));
  EXPECT_EQ(browserOrder(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));

  select(1);
  QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
  QCoreApplication::sendEvent(lib->imageBrowser, &del);
  EXPECT_EQ(lib->images.size(), 2);
  EXPECT_EQ(browserOrder(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
  EXPECT_EQ(lib->imageBrowser->selectionIndexes(), QList<int>({1}));
}

TEST_F(ImageLibraryTest, ZoomStartsAtFourTenthsAtEveryOpening) {
  open([&](QDialog *) {
    EXPECT_DOUBLE_EQ(lib->imageBrowser->zoomValue(), 0.4);
    lib->_zoom_slider->setValue(90);
    EXPECT_DOUBLE_EQ(lib->imageBrowser->zoomValue(), 0.9);
    return 0;
  });
  open([&](QDialog *) {
    EXPECT_EQ(lib->_zoom_slider->value(), 40);
    EXPECT_DOUBLE_EQ(lib->imageBrowser->zoomValue(), 0.4);
    return 0;
  });
  // Every control a user acts on is named for assistive tools.
  for (QWidget *control : std::initializer_list<QWidget *>{lib->imageBrowser, lib->_zoom_slider, lib->cat_cmbo_bx,
                                                           lib->OK_btn, lib->Cancel_btn}) {
    EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
    EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
  }
  EXPECT_EQ(Image_Library::defaultInstance(), lib);
  EXPECT_EQ(Image_Library_DefaultInstance, lib);
}

// The pictures shipped with the program reach a new user's resource folder, and each
// is listed and shows its thumbnail.
TEST_F(ImageLibraryTest, ShippedPicturesFillTheLibraryWorker) {
  const QString shipped = Paths::shippedResourcesFolder();
  ASSERT_FALSE(shipped.isEmpty());
  QString error;
  ASSERT_TRUE(Paths::seedFolder(shipped, m_dir.path(), &error)) << error.toStdString();

  int categoriesWithPictures = 0;
  open([&](QDialog *) {
    EXPECT_GE(lib->cat_cmbo_bx->count(), 2);
    for (int i = 0; i < lib->cat_cmbo_bx->count(); ++i) {
      lib->cat_cmbo_bx->setCurrentIndex(i);
      if (lib->images.isEmpty())
        continue;
      ++categoriesWithPictures;
      ImageBrowser *browser = lib->imageBrowser;
      browser->viewport()->update();
      const bool shown = spinUntil([&] {
        for (int k = 0; k < browser->numberOfItems(); ++k)
          if (browser->thumbnailState(k) != ImageBrowser::ThumbnailState::Ready)
            return false;
        return true;
      });
      EXPECT_TRUE(shown) << lib->cat_cmbo_bx->itemText(i).toStdString();
    }
    return 0;
  });
  EXPECT_EQ(categoriesWithPictures, lib->cat_cmbo_bx->count());
  lib->control_or_BG = QStringLiteral("B");
  open([&](QDialog *) { return 0; });
  EXPECT_FALSE(lib->images.isEmpty());
}

}  // namespace
