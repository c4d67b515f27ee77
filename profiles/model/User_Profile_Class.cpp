#include "profiles/model/User_Profile_Class.h"

namespace {

struct FixedIds {
  const char *id;
  const char *labelId;
};

// In field order. The spellings are the ids card objects carry in saved designs.
constexpr FixedIds kFixedIds[User_Profile_Class::FieldCount] = {
    {"Fup_Name", "Fup_lbl_Name"},
    {"Fup_Title", "Fup_lbl_Title"},
    {"Fup_Company", "Fup_lbl_Company"},
    {"Fup_CompanySlogan", "Fup_lbl_CompanySlogan"},
    {"Fup_Address", "Fup_lbl_Address"},
    {"Fup_PhoneNO", "Fup_lbl_PhoneNO"},
    {"Fup_FaxNo", "Fup_lbl_FaxNo"},
    {"Fup_EmailID", "Fup_lbl_EmailID"},
    {"Fup_Website", "Fup_lbl_Website"},
    {"Fup_UniqueNo", "Fup_lbl_UniqueNo"},
    {"Fup_Photo", "Fup_lbl_Photo"},
};

}  // namespace

QString User_Profile_Class::fixedId(int field) {
  return inRange(field) ? QString::fromLatin1(kFixedIds[field].id) : QString();
}

QString User_Profile_Class::fixedLabelId(int field) {
  return inRange(field) ? QString::fromLatin1(kFixedIds[field].labelId) : QString();
}

void User_Profile_Class::Reset_All_Values() {
  for (int field = 0; field < FieldCount; ++field) {
    m_id[field] = fixedId(field);
    m_label_id[field] = fixedLabelId(field);
  }
  m_Fill_User_Profile_Enable = false;
  m_Excel_Binding = false;
  for (int field = 0; field < FieldCount; ++field) {
    m_value[field] = QStringLiteral("");
    m_ds[field] = false;
    m_ds_name[field] = QStringLiteral("");
    m_xl[field] = false;
    m_ds_indx[field] = 0;
    m_xl_col_indx[field] = 0;
    settle(field);
  }
}

User_Profile_Class::Settled User_Profile_Class::current(int field) const {
  return {m_value[field], m_ds[field], m_ds_name[field], m_ds_indx[field], m_xl[field], m_xl_col_indx[field]};
}

bool User_Profile_Class::pending(int field) const {
  return inRange(field) && (m_entered[field] || !(current(field) == m_settled[field]));
}

void User_Profile_Class::setPending(int field, bool value) {
  if (!inRange(field))
    return;
  if (value)
    m_entered[field] = true;
  else
    settle(field);
}

void User_Profile_Class::settle(int field) {
  if (!inRange(field))
    return;
  m_settled[field] = current(field);
  m_entered[field] = false;
}

bool User_Profile_Class::anyPending() const {
  for (int field = 0; field < FieldCount; ++field) {
    if (pending(field))
      return true;
  }
  return false;
}

bool User_Profile_Class::ds(int field) const { return inRange(field) && m_ds[field]; }
void User_Profile_Class::setDs(int field, bool value) {
  if (inRange(field))
    m_ds[field] = value;
}

bool User_Profile_Class::xl(int field) const { return inRange(field) && m_xl[field]; }
void User_Profile_Class::setXl(int field, bool value) {
  if (inRange(field))
    m_xl[field] = value;
}

qint32 User_Profile_Class::dsIndex(int field) const { return inRange(field) ? m_ds_indx[field] : 0; }
void User_Profile_Class::setDsIndex(int field, qint32 value) {
  if (inRange(field))
    m_ds_indx[field] = value;
}

qint32 User_Profile_Class::xlColumnIndex(int field) const {
  return inRange(field) ? m_xl_col_indx[field] : 0;
}
void User_Profile_Class::setXlColumnIndex(int field, qint32 value) {
  if (inRange(field))
    m_xl_col_indx[field] = value;
}

QString User_Profile_Class::id(int field) const { return inRange(field) ? m_id[field] : QString(); }
void User_Profile_Class::setId(int field, const QString &value) {
  if (inRange(field))
    m_id[field] = value;
}

QString User_Profile_Class::value(int field) const {
  return inRange(field) ? m_value[field] : QString();
}
void User_Profile_Class::setValue(int field, const QString &value) {
  if (inRange(field))
    m_value[field] = value;
}

QString User_Profile_Class::dsName(int field) const {
  return inRange(field) ? m_ds_name[field] : QString();
}
void User_Profile_Class::setDsName(int field, const QString &value) {
  if (inRange(field))
    m_ds_name[field] = value;
}

QString User_Profile_Class::labelId(int field) const {
  return inRange(field) ? m_label_id[field] : QString();
}
void User_Profile_Class::setLabelId(int field, const QString &value) {
  if (inRange(field))
    m_label_id[field] = value;
}
