#pragma once
// What the two-dimensional barcode tests share: symbols as module rows, and reading many
// symbol images with few reader processes, several at a time.

#include <QImage>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A symbol as rows of modules (true dark), row 0 at the top.
using ModuleRows = std::vector<std::vector<bool>>;

// Reads every image (one symbol each) with ZXingReader limited to `format`: one reader
// process per batch of images, a few processes at a time. For each image the text of the
// symbol found, taken as Latin-1 between the quotes the reader prints (so texts must not
// hold quotes, backslashes or line breaks); an empty string where none was found.
QStringList readEachWithZXing(const std::vector<QImage> &images, const QString &format);
// dmtxread on every image (one symbol each), a few processes at a time; as above.
QStringList readEachWithDmtx(const std::vector<QImage> &images);
// zbarimg on every image (one symbol each), a few processes at a time; texts as UTF-8.
QStringList readEachWithZbar(const std::vector<QImage> &images);
