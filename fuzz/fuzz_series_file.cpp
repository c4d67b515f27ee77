// A Batch Processing Series file (dataseries/model/SeriesStore): the bytes are a series
// file in the data folder. Each reader's rule must hold for whatever is read, and the
// values the series manager's editor shows must save and read back as the save and the
// read trim them.

#include "FuzzSupport.h"

#include "core/Utilities.h"
#include "dataseries/model/SeriesStore.h"

namespace {

void writeSeeds(const QString &folder) {
  fuzz::writeSeed(folder, QStringLiteral("names"), "Ann\nBob\nCy\n");
  fuzz::writeSeed(folder, QStringLiteral("blank_lines"), "\n\n5\n\n7\n\n");
  fuzz::writeSeed(folder, QStringLiteral("utf8"), "\xC3\xA9t\xC3\xA9\n\xE2\x9C\x89 mail\r\n  padded  \n");
  // A series as long as the ones people keep: a couple of thousand names.
  QStringList many;
  for (int i = 0; i < 2000; ++i)
    many.append(QStringLiteral("Guest %1").arg(i));
  fuzz::writeSeed(folder, QStringLiteral("many_values"), SeriesStore::encode(many, SeriesStore::EmptyValues::Skip));
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_series_file", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  const bool text = SeriesStore::decode(bytes).has_value();

  const QStringList values = SeriesStore::editorValues(bytes);
  for (const QString &value : values)
    if (value.contains(QLatin1Char('\n')))
      fuzz::fail(QStringLiteral("the editor shows a value that holds a line break"), value);

  const std::optional<QStringList> rows = SeriesStore::bindingRows(bytes);
  if (rows.has_value() != text)
    fuzz::fail(QStringLiteral("the binding reads text the editor refuses, or the other way round"));
  if (rows && rows->isEmpty())
    fuzz::fail(QStringLiteral("a readable series gives the binding no row at all"));
  if (rows && !bytes.isEmpty() && rows->size() != values.size())
    fuzz::fail(QStringLiteral("the editor shows another number of rows than the cards take"));
  if (!text && !SeriesStore::firstValue(bytes).isEmpty())
    fuzz::fail(QStringLiteral("a first value was read from bytes that are not text"));

  // What the editor shows is saved and read again: the same rows, each trimmed once
  // more by the save and by the read (a trim takes blanks, then control characters, off
  // the ends once, so it can leave blanks that a second trim takes).
  QStringList expected;
  for (const QString &value : values)
    expected.append(Trim_Str(Trim_Str(value)));
  const QByteArray saved = SeriesStore::encode(values, SeriesStore::EmptyValues::KeepAsEmptyLines);
  if (!saved.isEmpty() && !saved.endsWith('\n'))
    fuzz::fail(QStringLiteral("a saved series does not end its last value with a line feed"));
  if (SeriesStore::editorValues(saved) != expected)
    fuzz::fail(QStringLiteral("a saved series reads back with other values"));

  // Kept empty values are rows of the binding, one line per value.
  const QByteArray cells = SeriesStore::encode(
      QStringList{QStringLiteral("x")} + values + QStringList{QString(), QStringLiteral("x")},
      SeriesStore::EmptyValues::KeepAsEmptyLines);
  if (SeriesStore::bindingRows(cells)->size() != values.size() + 3)
    fuzz::fail(QStringLiteral("a series with empty cells gives the binding another number of rows"));
  return 0;
}
