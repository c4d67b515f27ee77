#pragma once
// The drawing framework's own error objects, in the domain "QuellinErrorDomain".
//
// Codes in use:
//   2  pasteboard data of card objects is not a list
//   3  a TIFF was asked for card objects whose drawing bounds are empty

#include <QString>

extern const QString QLNErrorDomain;  // "QuellinErrorDomain"

struct QLNError {
  QString domain;
  int code = 0;
  QString localizedDescription;
  QString localizedFailureReason;
};

// An error of the domain with `code`. Its texts come from the translation context
// "QLNError" under the keys "description<code>" and "failureReason<code>"; without a
// translation they are "Quellin could not complete the operation because an unknown
// error occurred." and "An unknown error occurred.".
QLNError QLNErrorWithCode(int code);
