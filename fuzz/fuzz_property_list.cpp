// Property lists (platform/PropertyList): the bytes are read as a binary or XML property
// list; whatever reads is written in both forms by the program's own writers, and each
// form must read back as the same value: exactly from the binary form, and from the XML
// form with dates to the second and the characters XML cannot hold as U+FFFD. Writing
// the value read back must give the same bytes again.

#include "FuzzSupport.h"
#include "SeedDesigns.h"

#include "platform/PropertyList.h"

namespace {

// Values the writers are documented to refuse: dates outside the years 1 to 9999 in
// both forms, UIDs above 2^32 - 1 in the binary form.
bool holdsUnwritable(const PlistValue &value, bool binary) {
  switch (value.type()) {
  case PlistValue::Type::Date: {
    const QDateTime date = value.toDate();
    return !date.isValid() || date.date().year() < 1 || date.date().year() > 9999;
  }
  case PlistValue::Type::Uid:
    return binary && value.toUid() > 0xFFFFFFFFull;
  case PlistValue::Type::Array:
  case PlistValue::Type::Dict:
    for (const PlistValue &item : value.items())
      if (holdsUnwritable(item, binary))
        return true;
    return false;
  default:
    return false;
  }
}

void checkWrittenForm(const PlistValue &value, bool binary) {
  const char *form = binary ? "binary" : "XML";
  const QByteArray written = binary ? toBinaryPropertyList(value) : toXmlPropertyList(value);
  if (written.isEmpty()) {
    if (!holdsUnwritable(value, binary))
      fuzz::fail(QStringLiteral("the %1 writer refuses a value that was read").arg(QLatin1String(form)));
    return;
  }
  QString error;
  const std::optional<PlistValue> reread = parsePropertyList(written, &error);
  if (!reread)
    fuzz::fail(QStringLiteral("the %1 form the program wrote does not read back").arg(QLatin1String(form)), error);
  // The binary form holds every value; the XML form what XML can hold (see xmlSafe).
  QString where;
  if (!fuzz::samePropertyList(binary ? value : fuzz::xmlSafe(value), *reread, !binary, &where))
    fuzz::fail(QStringLiteral("a value changed on its way through the %1 form").arg(QLatin1String(form)), where);
  const QByteArray again = binary ? toBinaryPropertyList(*reread) : toXmlPropertyList(*reread);
  if (again != written)
    fuzz::fail(QStringLiteral("writing the value read back gave other %1 bytes").arg(QLatin1String(form)),
               QStringLiteral("%1 bytes, then %2 bytes").arg(written.size()).arg(again.size()));
}

void writeSeeds(const QString &folder) {
  for (const auto &[name, value] : fuzz::seeds::propertyLists()) {
    fuzz::writeSeed(folder, name + QStringLiteral(".bplist"), toBinaryPropertyList(value));
    fuzz::writeSeed(folder, name + QStringLiteral(".plist"), toXmlPropertyList(value));
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv) {
  fuzz::initialize(argc, argv, "fuzz_property_list", writeSeeds);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const QByteArray bytes = fuzz::bytesOf(data, size);
  QString error;
  const std::optional<PlistValue> value = parsePropertyList(bytes, &error);
  if (!value) {
    if (error.isEmpty())
      fuzz::fail(QStringLiteral("a property list was refused without a reason"));
    return 0;
  }
  checkWrittenForm(*value, true);
  checkWrittenForm(*value, false);
  return 0;
}
