// Picture paths that come from design files and the clipboard may name anything: a
// named pipe, a device or a folder must give an object without a picture, promptly,
// never a program that waits for ever.

#include "tests/common/TestSupport.h"
#include "tests/core/special_files.h"
#include "tests/core/test_card_object_helpers.h"

#include "core/CardDrawing.h"
#include "core/Globals.h"
#include "platform/Images.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace cardtest;
using namespace specialfiles;

namespace {

// A temporary folder holding a named pipe, a folder and a link to the pipe, each named
// like a picture, and the resource folder pointed at it for the life of the object.
class SpecialPicturePaths : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    m_savedResourcePath = Resource_Path;
    fifo = m_dir.filePath(QStringLiteral("photo.png"));
    ASSERT_TRUE(makeFifo(fifo));
    folder = m_dir.filePath(QStringLiteral("album.png"));
    ASSERT_TRUE(QDir().mkpath(folder));
    link = m_dir.filePath(QStringLiteral("link.png"));
    ASSERT_TRUE(QFile::link(fifo, link));
    paths = {fifo, folder, link};
    if (haveDevZero())
      paths.append(QStringLiteral("/dev/zero"));
  }
  void TearDown() override { Resource_Path = m_savedResourcePath; }

  QString path(const QString &name) const { return m_dir.filePath(name); }

  QTemporaryDir m_dir;
  QString fifo, folder, link;
  QStringList paths;

private:
  QString m_savedResourcePath;
};

}  // namespace

TEST_F(SpecialPicturePaths, AnImageObjectGetsNoPicture) {
  for (const QString &p : paths) {
    SCOPED_TRACE(p.toStdString());
    auto image = std::make_shared<QLNImage>();
    image->_contents = PointImage{smallPicture(), QSizeF(4, 3)};
    const auto loaded = withinDeadline(
        [image, p] {
          image->setFilePath(p);
          return image->_contents.isNull();
        },
        {fifo});
    ASSERT_TRUE(loaded.has_value()) << "the picture load did not return";
    EXPECT_TRUE(*loaded);
    EXPECT_EQ(image->FilePath(), p);  // the path stays, as for any picture that cannot be read
  }
}

TEST_F(SpecialPicturePaths, ASignatureGetsNoPicture) {
  for (const QString &p : paths) {
    SCOPED_TRACE(p.toStdString());
    auto signature = std::make_shared<QLNSignature>();
    const auto loaded = withinDeadline(
        [signature, p] {
          signature->setFilePath(p);
          return signature->_contents_img.isNull();
        },
        {fifo});
    ASSERT_TRUE(loaded.has_value()) << "the picture load did not return";
    EXPECT_TRUE(*loaded);
  }
}

TEST_F(SpecialPicturePaths, ASampleBarcodeOrPatternThatIsNotAFileIsLeftOut) {
  // The resource folder is the user's: its sample picture and patterns may be anything.
  ASSERT_TRUE(makeFifo(path(QStringLiteral("barcode_sample.png"))));
  ASSERT_TRUE(QDir().mkpath(path(QStringLiteral("Fill_Style_Image"))));
  ASSERT_TRUE(makeFifo(path(QStringLiteral("Fill_Style_Image/Stripes.png"))));
  Resource_Path = m_dir.path();
  const QStringList fifos = {path(QStringLiteral("barcode_sample.png")),
                             path(QStringLiteral("Fill_Style_Image/Stripes.png"))};

  auto barcode = std::make_shared<QLNBarcode>();
  const auto sample = withinDeadline(
      [barcode] {
        barcode->barcode_image_var_assign();
        return barcode->_contents.isNull();
      },
      fifos);
  ASSERT_TRUE(sample.has_value()) << "the sample load did not return";
  EXPECT_TRUE(*sample);

  const auto pattern = withinDeadline(
      [dir = m_dir.path()] { return CardDrawing::loadPatternImage(dir, QStringLiteral("Stripes")).isNull(); },
      fifos);
  ASSERT_TRUE(pattern.has_value()) << "the pattern load did not return";
  EXPECT_TRUE(*pattern);
}

TEST_F(SpecialPicturePaths, PastedImageObjectsComeWithoutAPicture) {
  QList<QByteArray> blocks;
  for (const QString &p : paths) {
    auto image = std::make_shared<QLNImage>();
    image->_file_path = p;
    image->ctrl_is_visible = true;
    blocks.append(archiveGraphic(*image));
  }
  const auto pasted = withinDeadline([blocks] { return QLNGraphic::graphicsWithProperties(blocks); }, {fifo});
  ASSERT_TRUE(pasted.has_value()) << "pasting did not return";
  ASSERT_EQ(pasted->size(), paths.size());
  for (qsizetype i = 0; i < pasted->size(); ++i) {
    SCOPED_TRACE(paths.at(i).toStdString());
    const auto *image = dynamic_cast<const QLNImage *>(pasted->at(i).get());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->FilePath(), paths.at(i));
    EXPECT_TRUE(image->_contents.isNull());
  }
}
